#include "formats/Base64Url.h"

namespace base64url {

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";

int valueOf(char c) {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '-') return 62;
    if (c == '_') return 63;
    return -1;
}

std::string describe(char c) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (u > 0x20 && u < 0x7F) return std::string("'") + c + "'";
    static const char digits[] = "0123456789ABCDEF";
    return std::string("byte 0x") + digits[u >> 4] + digits[u & 0xF];
}

}  // namespace

std::string encode(const uint8_t* data, size_t size) {
    std::string out;
    out.reserve((size * 4 + 2) / 3);
    size_t i = 0;
    for (; i + 3 <= size; i += 3) {
        const uint32_t group = uint32_t(data[i]) << 16 | uint32_t(data[i + 1]) << 8 | data[i + 2];
        for (int shift = 18; shift >= 0; shift -= 6) out += kAlphabet[(group >> shift) & 63];
    }
    if (size - i == 1) {
        const uint32_t group = uint32_t(data[i]) << 16;
        out += kAlphabet[(group >> 18) & 63];
        out += kAlphabet[(group >> 12) & 63];
    } else if (size - i == 2) {
        const uint32_t group = uint32_t(data[i]) << 16 | uint32_t(data[i + 1]) << 8;
        for (int shift = 18; shift >= 6; shift -= 6) out += kAlphabet[(group >> shift) & 63];
    }
    return out;
}

bool decode(std::string_view text, std::vector<uint8_t>& bytes, std::string& reason) {
    size_t length = text.size();
    size_t padding = 0;
    while (padding < 2 && length > 0 && text[length - 1] == '=') {
        --length;
        ++padding;
    }
    for (size_t i = 0; i < length; ++i) {
        if (valueOf(text[i]) < 0) {
            reason = describe(text[i]) + " at character " + std::to_string(i + 1) +
                     " is not one of the code's characters (A-Z, a-z, 0-9, - and _)";
            return false;
        }
    }
    if (length % 4 == 1) {
        reason = "it is cut short (its length cannot be a whole number of bytes)";
        return false;
    }
    if (padding > 0 && (length + padding) % 4 != 0) {
        reason = "its '=' padding does not fill the last group of four characters";
        return false;
    }
    bytes.clear();
    bytes.reserve(length * 3 / 4);
    uint32_t group = 0;
    int bits = 0;
    for (size_t i = 0; i < length; ++i) {
        group = group << 6 | uint32_t(valueOf(text[i]));
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            bytes.push_back(uint8_t(group >> bits));
            group &= (1u << bits) - 1;
        }
    }
    return true;
}

}  // namespace base64url
