#pragma once

#include "core/SoundSettings.h"
#include "formats/DecodeResult.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// Building blocks for format tests, free of Qt: byte strings written as hex,
// settings written as curve text, and old-style records with chosen fields.
namespace testfiles {

using Bytes = std::vector<uint8_t>;

// The settings of a new 8-bit sound as a .zdl record, for hex().
extern const char kNewSoundZdl[];

// The settings of a new sound with an 8-bit width (New keeps the width).
SoundSettings newSound();
// The JSON text decoded as a sound.
DecodeResult decodeJson(const std::string& text);

// "E9 03 00 00" (blanks, commas and line breaks ignored) as bytes.
Bytes hex(const char* text);
// The bytes as lower-case hex pairs separated by blanks, for readable failures.
std::string toHex(const Bytes& bytes);
// `count` bytes from `at` on.
Bytes slice(const Bytes& bytes, size_t at, size_t count);
// A little-endian 32-bit value over the four bytes at `at`.
void put32(Bytes& bytes, size_t at, uint32_t value);

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

    Bytes bytes() const;
};

// A file of another kind that people open by mistake: its first bytes (the
// rest filled up to the size asked for) and the kind a refusal names.
struct OtherFile {
    const char* name;  // "WAV"
    const char* kind;  // "a WAV file"
    Bytes bytes;
};
// WAV, FLAC, Ogg, PNG and text files of `size` bytes (at least 64).
std::vector<OtherFile> otherFiles(size_t size);

}  // namespace testfiles
