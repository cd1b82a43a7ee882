#include "TestBytes.h"

#include "formats/JsonFormat.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace testfiles {

SoundSettings newSound() {
    SoundSettings s;
    s.resetToNew();
    s.bitsPerSample = 8;
    return s;
}

DecodeResult decodeJson(const std::string& text) {
    return soundjson::decode(reinterpret_cast<const uint8_t*>(text.data()), text.size());
}

const char kNewSoundZdl[] =
    "E9030000 06000000"
    " 00000000 0000403F CDCC4C3E 0000403F CDCCCC3E 0000403F 9A99193F 0000403F CDCC4C3F 0000403F 0000803F 00000000"
    " 06000000"
    " 00000000 0000003F CDCC4C3E 0000003F CDCCCC3E 0000003F 9A99193F 0000003F CDCC4C3F 0000003F 0000803F 0000003F"
    " 64000000 CDCC4C3E 00000000 00000000 00000000 01000000 0800 112B0000";

Bytes hex(const char* text) {
    Bytes out;
    int high = -1;
    for (const char* p = text; *p; ++p) {
        if (!std::isxdigit(static_cast<unsigned char>(*p))) continue;
        const int digit = std::isdigit(static_cast<unsigned char>(*p)) ? *p - '0' : std::tolower(*p) - 'a' + 10;
        if (high < 0) {
            high = digit;
        } else {
            out.push_back(uint8_t(high * 16 + digit));
            high = -1;
        }
    }
    return out;
}

std::string toHex(const Bytes& bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string text;
    for (uint8_t b : bytes) {
        if (!text.empty()) text += ' ';
        text += digits[b >> 4];
        text += digits[b & 0x0F];
    }
    return text;
}

Bytes slice(const Bytes& bytes, size_t at, size_t count) {
    if (at >= bytes.size()) return Bytes();
    return Bytes(bytes.begin() + std::ptrdiff_t(at),
                 bytes.begin() + std::ptrdiff_t(std::min(bytes.size(), at + count)));
}

void put32(Bytes& bytes, size_t at, uint32_t value) {
    for (size_t i = 0; i < 4; ++i) bytes[at + i] = uint8_t((value >> (8 * i)) & 0xFF);
}

SoundSettings settingsWith(const char* amplitude, const char* frequency) {
    SoundSettings s;
    s.resetToNew();
    s.amplitude.fromText(amplitude);
    s.frequency.fromText(frequency);
    return s;
}

namespace {
void put16(Bytes& b, size_t at, int16_t v) {
    b[at] = uint8_t(v & 0xFF);
    b[at + 1] = uint8_t((uint16_t(v) >> 8) & 0xFF);
}
void putPoints(Bytes& b, size_t at, const std::vector<std::pair<int16_t, int16_t>>& points) {
    for (size_t i = 0; i < points.size() && i < 12; ++i) {
        put16(b, at + i * 4, points[i].first);
        put16(b, at + i * 4 + 2, points[i].second);
    }
}
}  // namespace

Bytes EfcRecord::bytes() const {
    Bytes b(1578, 0);
    put16(b, 4, amplitudeCount.value_or(int16_t(amplitude.size())));
    put16(b, 6, frequencyCount.value_or(int16_t(frequency.size())));
    putPoints(b, 8, amplitude);
    putPoints(b, 56, frequency);
    uint32_t entryBits;
    std::memcpy(&entryBits, &cycleEntry20, 4);
    put32(b, 104 + 4 * 20, entryBits);
    put16(b, 1544, echoVolume);
    put16(b, 1546, echoDelay);
    put16(b, 1548, distort);
    put32(b, 1560, uint32_t(sampleRate));
    put32(b, 1568, sampleCount);
    put16(b, 1576, repeatCount);
    return b;
}

std::vector<OtherFile> otherFiles(size_t size) {
    const auto file = [size](const char* name, const char* kind, const std::string& start, uint8_t fill) {
        Bytes b(start.begin(), start.end());
        b.resize(std::max(size, b.size()), fill);
        return OtherFile{name, kind, b};
    };
    using namespace std::string_literals;
    const std::string text = "Sounds to make:\n- a laser, short\n- an explosion (long), with echo\n";
    return {
        file("WAV", "a WAV file", "RIFF\x24\x08\0\0WAVEfmt \x10\0\0\0\x01\0\x01\0"s, 0),
        file("FLAC", "a FLAC file", "fLaC\0\0\0\x22\x10\0\x10\0"s, 0),
        file("Ogg", "an Ogg file", "OggS\0\x02\0\0\0\0\0\0\0\0"s, 0),
        file("PNG", "a PNG image", "\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR"s, 0),
        file("text", "a text file", text, ' '),
        file("UTF-8 text", "a text file",
             "Gr\xc3\xbc\xc3\x9f"
             "e, \xe2\x80\x9cZindle\xe2\x80\x9d\n",
             '.'),
    };
}

}  // namespace testfiles
