#include "core/WavImage.h"

#include <cstring>
#include <limits>
#include <new>

WavImage::Header WavImage::makeHeader(uint32_t sampleRate, uint16_t bitsPerSample, uint32_t dataSize) {
    Header h{};
    uint8_t* p = h.data();
    std::memcpy(p + 0, "RIFF", 4);
    le::put32(p + 4, dataSize + 36);
    std::memcpy(p + 8, "WAVE", 4);
    std::memcpy(p + 12, "fmt ", 4);
    le::put32(p + 16, 16);  // format chunk size
    le::put16(p + 20, 1);   // PCM
    le::put16(p + 22, 1);   // mono
    const uint16_t blockAlign = static_cast<uint16_t>(bitsPerSample / 8);
    le::put32(p + 24, sampleRate);
    le::put32(p + 28, sampleRate * blockAlign);
    le::put16(p + 32, blockAlign);
    le::put16(p + 34, bitsPerSample);
    std::memcpy(p + 36, "data", 4);
    le::put32(p + 40, dataSize);
    return h;
}

WavImage WavImage::build(const Header& header, const uint8_t* samples, size_t dataSize, int repeats) {
    WavImage image;
    if (repeats < 1) return image;
    const size_t limit = std::numeric_limits<uint32_t>::max() - 36;
    if (dataSize > limit / size_t(repeats)) return image;
    const size_t total = dataSize * size_t(repeats);
    try {
        image.bytes_.resize(kHeaderSize + total);
    } catch (const std::bad_alloc&) {
        return WavImage();
    }
    uint8_t* p = image.bytes_.data();
    std::memcpy(p, header.data(), kHeaderSize);
    le::put32(p + size_t(wav_header::Field::RiffSize), static_cast<uint32_t>(total + 36));
    le::put32(p + size_t(wav_header::Field::DataSize), static_cast<uint32_t>(total));
    for (int r = 0; r < repeats && dataSize > 0; ++r)
        std::memcpy(p + kHeaderSize + size_t(r) * dataSize, samples, dataSize);
    return image;
}

uint32_t WavImage::sampleRate() const {
    return empty() ? 0 : le::get32(&bytes_[size_t(wav_header::Field::SampleRate)]);
}
uint16_t WavImage::bitsPerSample() const {
    return empty() ? 0 : le::get16(&bytes_[size_t(wav_header::Field::BitsPerSample)]);
}
uint32_t WavImage::dataSize() const { return empty() ? 0 : le::get32(&bytes_[size_t(wav_header::Field::DataSize)]); }

WavImage WavImage::parse(const std::vector<uint8_t>& bytes) {
    const size_t size = bytes.size();
    if (size < 12 || std::memcmp(bytes.data(), "RIFF", 4) != 0 || std::memcmp(bytes.data() + 8, "WAVE", 4) != 0)
        return WavImage();
    uint32_t rate = 0;
    uint16_t format = 0, channels = 0, bits = 0;
    bool haveFormat = false;
    size_t pos = 12;
    while (pos + 8 <= size) {
        const uint8_t* chunk = bytes.data() + pos;
        const size_t chunkSize = le::get32(chunk + 4);
        const size_t body = pos + 8;
        if (std::memcmp(chunk, "fmt ", 4) == 0) {
            if (chunkSize < 16 || body + 16 > size) return WavImage();
            format = le::get16(bytes.data() + body);
            channels = le::get16(bytes.data() + body + 2);
            rate = le::get32(bytes.data() + body + 4);
            bits = le::get16(bytes.data() + body + 14);
            haveFormat = true;
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            if (!haveFormat || format != 1 || channels != 1 || (bits != 8 && bits != 16) || rate == 0)
                return WavImage();
            // A data size running past the end (a file still being written) is cut to what is there.
            const size_t available = size - body;
            size_t dataSize = chunkSize < available ? chunkSize : available;
            dataSize -= dataSize % (bits / 8);
            const Header header = makeHeader(rate, bits, static_cast<uint32_t>(dataSize));
            return build(header, bytes.data() + body, dataSize, 1);
        }
        if (chunkSize > size - body) return WavImage();
        pos = body + chunkSize + (chunkSize & 1);
    }
    return WavImage();
}
