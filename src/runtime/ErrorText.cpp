#include "ErrorText.h"

#include <cstring>

namespace error_text {

void write(char* buffer, size_t size, const std::string& reason) noexcept {
    if (!buffer || size == 0) return;
    size_t length = reason.size() < size - 1 ? reason.size() : size - 1;
    // A cut sequence would make the whole reason invalid UTF-8 for the caller.
    if (length < reason.size())
        while (length > 0 && (static_cast<unsigned char>(reason[length]) & 0xC0) == 0x80) --length;
    std::memcpy(buffer, reason.data(), length);
    buffer[length] = '\0';
}

}  // namespace error_text
