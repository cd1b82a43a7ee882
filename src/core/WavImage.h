#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

// A complete canonical PCM RIFF/WAVE file image in memory: the 44-byte header
// followed by the samples, mono, little-endian.
class WavImage {
public:
    static constexpr size_t kHeaderSize = 44;
    using Header = std::array<uint8_t, kHeaderSize>;

    WavImage() = default;

    // The header of a sound with one copy of dataSize bytes.
    static Header makeHeader(uint32_t sampleRate, uint16_t bitsPerSample, uint32_t dataSize);

    // The header with its two size fields rewritten for `repeats` copies of the
    // samples, then the samples that many times. Empty when memory is lacking
    // or the image would not fit a WAV file's 32-bit sizes.
    static WavImage build(const Header& header, const uint8_t* samples, size_t dataSize, int repeats);

    bool empty() const { return bytes_.empty(); }
    const std::vector<uint8_t>& bytes() const { return bytes_; }
    const uint8_t* data() const { return bytes_.data(); }
    size_t size() const { return bytes_.size(); }

    // Fields read back from the header (0 for an empty image).
    uint32_t sampleRate() const;
    uint16_t bitsPerSample() const;
    uint32_t dataSize() const;
    const uint8_t* sampleData() const { return bytes_.data() + kHeaderSize; }

    // Parses a canonical PCM WAVE image (as we write and as files usually are:
    // RIFF, fmt, data, other chunks skipped); empty image when it is not one.
    static WavImage parse(const std::vector<uint8_t>& bytes);

private:
    std::vector<uint8_t> bytes_;
};

// Little-endian field access, shared by the header code and the file formats.
namespace le {
inline void put16(uint8_t* p, uint16_t v) { p[0] = uint8_t(v); p[1] = uint8_t(v >> 8); }
inline void put32(uint8_t* p, uint32_t v) {
    p[0] = uint8_t(v); p[1] = uint8_t(v >> 8); p[2] = uint8_t(v >> 16); p[3] = uint8_t(v >> 24);
}
inline uint16_t get16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }
inline uint32_t get32(const uint8_t* p) {
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}
}  // namespace le
