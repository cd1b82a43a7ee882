#pragma once

#include "formats/DecodeResult.h"

#include <cstddef>
#include <cstdint>

// The library's reader: sound bytes of any format the library knows, the
// format given or detected, through the same decoders the editor uses.
namespace sound_reader {

enum class Format { Auto, Zdl, Efc, Json, Unknown };

// The format the bytes are in (never Auto); Unknown when none fits. The rule
// is documented at zindle_sound_read: a .zdl written by Zindle (version 1000
// or 1001) is always taken for one, whatever its length.
Format detect(const uint8_t* data, size_t size);

// Decodes the bytes as `format` (Auto: as detect() says). A failure carries
// a reason fit for the caller's error buffer.
DecodeResult read(const uint8_t* data, size_t size, Format format);

}  // namespace sound_reader
