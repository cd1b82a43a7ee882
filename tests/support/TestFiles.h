#pragma once

#include "SoundSettings.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

// Building blocks for file tests: byte strings written as hex, settings
// written as curve text, and old-style records with chosen fields.
namespace testfiles {

// "E9 03 00 00" (blanks and commas ignored) as bytes.
QByteArray hex(const char* text);

// New-sound settings with the curves replaced by "t:v ..." text (percent).
SoundSettings settingsWith(const char* amplitude, const char* frequency);

// The fields of an old-style record that the tests vary.
struct EfcRecord {
    std::vector<std::pair<int16_t, int16_t>> amplitude{{0, 192}, {64, 192}, {256, 0}};
    std::vector<std::pair<int16_t, int16_t>> frequency{{0, 128}, {256, 128}};
    // The stored counts, when not the number of points given.
    std::optional<int16_t> amplitudeCount, frequencyCount;
    float cycleEntry20 = 0.34202015f;  // sin 20 degrees: Sine
    int16_t echoVolume = 0, echoDelay = 0, distort = 0;
    int32_t sampleRate = 11025;
    uint32_t sampleCount = 4410;
    int16_t repeatCount = 1;

    QByteArray bytes() const;
};

// Writes bytes to a file; false when that fails.
bool writeFile(const QString& path, const QByteArray& bytes);
QByteArray readFile(const QString& path);

}  // namespace testfiles
