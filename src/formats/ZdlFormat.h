#pragma once

#include "formats/DecodeResult.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// Zindle's own sound file: one flat little-endian record of the settings, no
// samples. Every constant here is the file format: changing one makes the
// files already saved unreadable or wrongly read.
namespace zdl {

// The only version ever written; it adds the sample-width field.
constexpr int32_t kVersion = 1001;
// The older layout, still read: no width field, always 8 bit.
constexpr int32_t kVersionWithoutWidth = 1000;
// Version field plus two point counts, waveform, four positions, repeats,
// width (2 bytes) and rate: a version 1001 file is this plus 8 per point.
constexpr int kFixedBytes = 42;
// Each point is a float time and a float value.
constexpr int kPointBytes = 8;
// No one draws more points than this; millions would only freeze the editor.
constexpr int32_t kMaxPoints = 65536;
// Far above the largest file of kMaxPoints per curve; a larger file is refused
// before it is parsed.
constexpr int64_t kMaxFileBytes = 64 * 1024 * 1024;

// The version 1001 record of the settings, width and rate included.
std::vector<uint8_t> encode(const SoundSettings& settings);
// Parses a record of any version (1000 with its own layout, every other with
// that of 1001) from the `size` bytes at `data`; trailing bytes are ignored.
DecodeResult decode(const uint8_t* data, size_t size);
inline DecodeResult decode(const std::vector<uint8_t>& bytes) { return decode(bytes.data(), bytes.size()); }

}  // namespace zdl
