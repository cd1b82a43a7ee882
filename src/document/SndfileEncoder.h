#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

// libsndfile encoding into memory rather than onto disk, so that the bytes
// reach the disk through fileio::writeAtomically like every other file: a
// failure half-way never leaves a partial file or harms an existing one.
class SndfileEncoder {
public:
    // What an encoding hands back: the file's bytes, or the reason it failed.
    struct Result {
        QByteArray bytes;
        QString error;  // empty on success
    };

    // `format` is libsndfile's (major type | encoding); the file is mono at
    // `sampleRate`. `vbrQuality`, when given, is set before any sample.
    SndfileEncoder(int format, int sampleRate, std::optional<double> vbrQuality)
        : format_(format), sampleRate_(sampleRate), vbrQuality_(vbrQuality) {}

    // Encodes `frames` (16-bit values) `repeats` times in a row.
    Result encode(const std::vector<short>& frames, int repeats) const;

private:
    int format_;
    int sampleRate_;
    std::optional<double> vbrQuality_;
};
