#pragma once

#include <cstddef>
#include <cstdint>

// Files that are not sounds Zindle reads but that people open by mistake,
// told by their first bytes, so that a refusal can say what they are.
namespace otherfiles {

// "a WAV file", "a PNG image", "a text file"...; null when the bytes look
// like nothing known.
const char* kindOf(const uint8_t* data, size_t size);

}  // namespace otherfiles
