#include "libzindle/ErrorText.h"

#include <cstring>

namespace error_text {

namespace {

void writeBytes(char* buffer, size_t size, const char* reason, size_t reasonLength) noexcept {
    if (!buffer || size == 0) return;
    size_t length = reasonLength < size - 1 ? reasonLength : size - 1;
    // A cut sequence would make the whole reason invalid UTF-8 for the caller.
    if (length < reasonLength)
        while (length > 0 && (static_cast<unsigned char>(reason[length]) & 0xC0) == 0x80) --length;
    std::memcpy(buffer, reason, length);
    buffer[length] = '\0';
}

}  // namespace

void write(char* buffer, size_t size, const std::string& reason) noexcept {
    writeBytes(buffer, size, reason.data(), reason.size());
}

void write(char* buffer, size_t size, const char* reason) noexcept {
    writeBytes(buffer, size, reason, reason ? std::strlen(reason) : 0);
}

}  // namespace error_text
