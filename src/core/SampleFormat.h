#pragma once

#include "core/WavImage.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

// Reading and storing PCM samples of each width as the renderer does:
// truncation toward zero, 8-bit bytes 1..255, 16-bit samples -32767..32767,
// NaN stored as silence. The block forms copy whole runs of samples between
// the buffer and plain arrays, so that loops over those arrays vectorise.
namespace sample_format {

template <int Bits>
struct Format;

template <>
struct Format<8> {
    using Raw = uint8_t;
    static constexpr double kFullScale = 128.0;
    static int value(Raw r) { return int(r) - 128; }
    // Branch-free so that it vectorises: below -127 gives byte 1, NaN 128.
    static Raw fromDouble(double y) {
        y = (y == y) ? y : 0.0;
        y = std::min(127.0, std::max(-127.0, y));
        return static_cast<Raw>(static_cast<int>(y) + 128);
    }
    // The same for a y known to lie within -127..127.
    static Raw fromInRange(double y) { return static_cast<Raw>(static_cast<int>(y) + 128); }
    static int load(const uint8_t* s, int32_t n) { return value(s[n]); }
    static void store(uint8_t* s, int32_t n, double y) { s[n] = fromDouble(y); }
    static void loadBlock(const uint8_t* s, int32_t n, int32_t count, Raw* v) { std::memcpy(v, s + n, size_t(count)); }
    static void storeBlock(uint8_t* s, int32_t n, int32_t count, const Raw* v) { std::memcpy(s + n, v, size_t(count)); }
    static void silence(uint8_t* s, int32_t from, int32_t to) { std::memset(s + from, 128, size_t(to - from)); }
};

template <>
struct Format<16> {
    using Raw = int16_t;
    static constexpr double kFullScale = 32768.0;
    static int value(Raw r) { return r; }
    static Raw fromDouble(double y) {
        y = (y == y) ? y : 0.0;
        y = std::min(32767.0, std::max(-32767.0, y));
        return static_cast<Raw>(static_cast<int>(y));
    }
    static Raw fromInRange(double y) { return static_cast<Raw>(static_cast<int>(y)); }
    static int load(const uint8_t* s, int32_t n) { return int16_t(le::get16(s + 2 * size_t(n))); }
    static void store(uint8_t* s, int32_t n, double y) {
        le::put16(s + 2 * size_t(n), static_cast<uint16_t>(fromDouble(y)));
    }
    static void loadBlock(const uint8_t* s, int32_t n, int32_t count, Raw* v) {
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
        std::memcpy(v, s + 2 * size_t(n), 2 * size_t(count));
#else
        for (int32_t i = 0; i < count; ++i) v[i] = Raw(le::get16(s + 2 * size_t(n + i)));
#endif
    }
    static void storeBlock(uint8_t* s, int32_t n, int32_t count, const Raw* v) {
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
        std::memcpy(s + 2 * size_t(n), v, 2 * size_t(count));
#else
        for (int32_t i = 0; i < count; ++i) le::put16(s + 2 * size_t(n + i), uint16_t(v[i]));
#endif
    }
    static void silence(uint8_t* s, int32_t from, int32_t to) {
        std::memset(s + 2 * size_t(from), 0, 2 * size_t(to - from));
    }
};

}  // namespace sample_format
