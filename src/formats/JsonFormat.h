#pragma once

#include "formats/DecodeResult.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// A sound as JSON text, for people who keep sounds under version control:
// the same settings as a .zdl record, every key in a fixed order and one
// curve point per line, so that a changed sound is a small diff. Floats are
// written as the shortest decimal that reads back to the same float, so a
// sound survives a round trip bit for bit.
namespace soundjson {

constexpr char kFormatName[] = "zindle-sound";
constexpr int kVersion = 1;

// The text of the settings: 2-space indent, a trailing newline. A code
// without a label is written as its number.
std::string encode(const SoundSettings& settings);
// Parses the text (strict JSON, at most zdl::kMaxFileBytes) and hands the
// settings to the same checks and repairs as the binary readers. Every key
// is required and no other is allowed; a failure names the line and column.
DecodeResult decode(const uint8_t* data, size_t size);
inline DecodeResult decode(const std::vector<uint8_t>& bytes) { return decode(bytes.data(), bytes.size()); }
// True when the first byte after whitespace (and a byte order mark) is '{',
// which no .zdl or .efc file starts with.
bool looksLikeJson(const uint8_t* data, size_t size);

}  // namespace soundjson
