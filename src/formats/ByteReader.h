#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

// Little-endian fields read in order from a byte buffer. A read past the end
// yields 0 and sets failed(), so a parser can read a record through and ask
// once whether the file was long enough.
class ByteReader {
public:
    ByteReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    size_t position() const { return pos_; }
    size_t remaining() const { return pos_ < size_ ? size_ - pos_ : 0; }
    bool failed() const { return failed_; }
    void seek(size_t pos) { pos_ = pos; }

    int16_t i16() { return static_cast<int16_t>(u16()); }
    int32_t i32() { return static_cast<int32_t>(u32()); }

    uint16_t u16() {
        const uint8_t* p = take(2);
        return p ? uint16_t(p[0] | (p[1] << 8)) : 0;
    }

    uint32_t u32() {
        const uint8_t* p = take(4);
        return p ? uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24) : 0;
    }

    // IEEE 754 single precision, bit for bit.
    float f32() {
        const uint32_t bits = u32();
        float value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }

private:
    const uint8_t* take(size_t n) {
        if (failed_ || remaining() < n) {
            failed_ = true;
            return nullptr;
        }
        const uint8_t* p = data_ + pos_;
        pos_ += n;
        return p;
    }

    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
    bool failed_ = false;
};
