#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <vector>

// A sound file as libsndfile reads it back, to check what an export wrote
// without trusting the code that wrote it.
struct DecodedSound {
    QString error;  // empty when the file was read to the end
    QString type;   // "wav", "flac", "ogg" or "other"
    int bits = 0;   // 8 or 16 for PCM, 0 for Vorbis
    int sampleRate = 0;
    int channels = 0;
    int64_t frames = 0;          // as the file says
    std::vector<short> samples;  // every frame read, as 16-bit values

    static DecodedSound read(const QString& path);

    // The samples as a WAV file holds them: unsigned bytes at 8 bits (empty
    // when a value is not a whole 8-bit step), little-endian words at 16.
    QByteArray wavBytes() const;
};
