#pragma once

#include <cstddef>
#include <string>

namespace error_text {

// Copies `reason` into the caller's buffer of `size` bytes, cut so that it is
// always NUL-terminated (and never in the middle of a UTF-8 sequence). No-op
// for a NULL buffer or size 0.
void write(char* buffer, size_t size, const std::string& reason) noexcept;
void write(char* buffer, size_t size, const char* reason) noexcept;

}  // namespace error_text
