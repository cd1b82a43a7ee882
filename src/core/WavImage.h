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
inline void put16(uint8_t* p, uint16_t v) {
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}
inline void put32(uint8_t* p, uint32_t v) {
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
    p[2] = uint8_t(v >> 16);
    p[3] = uint8_t(v >> 24);
}
inline uint16_t get16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }
inline uint32_t get32(const uint8_t* p) {
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}
}  // namespace le

// The fields of the 44-byte header by name: where each lives and its width
// are the format's, written down once here.
namespace wav_header {
enum class Field : size_t {
    RiffSize = 4,
    SampleRate = 24,
    ByteRate = 28,
    BlockAlign = 32,
    BitsPerSample = 34,
    DataSize = 40
};

inline uint32_t get32(const WavImage::Header& h, Field f) { return le::get32(h.data() + size_t(f)); }
inline uint16_t get16(const WavImage::Header& h, Field f) { return le::get16(h.data() + size_t(f)); }
inline void put32(WavImage::Header& h, Field f, uint32_t v) { le::put32(h.data() + size_t(f), v); }
inline void put16(WavImage::Header& h, Field f, uint16_t v) { le::put16(h.data() + size_t(f), v); }

inline uint32_t sampleRate(const WavImage::Header& h) { return get32(h, Field::SampleRate); }
inline uint16_t bitsPerSample(const WavImage::Header& h) { return get16(h, Field::BitsPerSample); }
inline uint32_t dataSize(const WavImage::Header& h) { return get32(h, Field::DataSize); }
}  // namespace wav_header
