#pragma once

#include "formats/DecodeResult.h"

#include <cstddef>
#include <cstdint>

// The library's reader: sound bytes of any format the library knows, the
// format given or told by the bytes (formats/SoundFormats.h, the same table
// the editor and the command line read through).
namespace sound_reader {

enum class Format { Auto, Zdl, Efc, Json };

// Decodes the bytes as `format` (Auto: as the bytes say). A failure carries
// a reason fit for the caller's error buffer.
DecodeResult read(const uint8_t* data, size_t size, Format format);

}  // namespace sound_reader
