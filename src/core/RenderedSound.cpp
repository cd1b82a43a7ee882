#include "core/RenderedSound.h"

#include "core/RenderSizes.h"
#include "core/SampleFormat.h"
#include "core/SampleRender.h"
#include "core/SoundQuality.h"
#include "core/WaveformTable.h"

#include <algorithm>
#include <cstring>
#include <new>

RenderedSound::RenderedSound() : header_(WavImage::makeHeader(11025, 8, 0)) {
    reallocate();
    lengthSamples_ = 0;
}

using wav_header::Field;

bool RenderedSound::reallocate() {
    const RenderSizes sizes = render_sizes::of(sampleRate(), bits(), lengthMs_, totalMs_);
    lengthSamples_ = sizes.mainSamples;
    bool ok = sizes.fits;
    std::vector<uint8_t>().swap(samples_);
    if (ok) {
        try {
            samples_.resize(size_t(sizes.dataBytes));
        } catch (const std::bad_alloc&) {
            ok = false;
        }
    }
    if (!ok) lengthSamples_ = 0;
    const uint32_t size = static_cast<uint32_t>(samples_.size());
    wav_header::put32(header_, Field::RiffSize, size + 36);
    wav_header::put32(header_, Field::DataSize, size);
    return ok;
}

bool RenderedSound::setLength(float lengthMs, float echoDelay) {
    lengthMs_ = lengthMs;
    totalMs_ = render_sizes::totalMs(lengthMs, echoDelay);
    return reallocate();
}

bool RenderedSound::setSampleRate(int32_t rate) {
    wav_header::put32(header_, Field::SampleRate, static_cast<uint32_t>(rate));
    wav_header::put32(header_, Field::ByteRate,
                      static_cast<uint32_t>(rate) * wav_header::get16(header_, Field::BlockAlign));
    return reallocate();
}

bool RenderedSound::setBits(int bits) {
    const uint16_t blockAlign = static_cast<uint16_t>(bits / 8);
    wav_header::put16(header_, Field::BitsPerSample, static_cast<uint16_t>(bits));
    wav_header::put16(header_, Field::BlockAlign, blockAlign);
    wav_header::put32(header_, Field::ByteRate, wav_header::sampleRate(header_) * blockAlign);
    return reallocate();
}

int32_t RenderedSound::sampleCount() const {
    const int bytesPerSample = bits() / 8;
    return bytesPerSample > 0 ? static_cast<int32_t>(samples_.size() / size_t(bytesPerSample)) : 0;
}

int RenderedSound::sampleAt(int32_t n) const {
    using sample_format::Format;
    return bits() == 16 ? Format<16>::load(samples_.data(), n) : Format<8>::load(samples_.data(), n);
}

int32_t RenderedSound::clippedCount() const {
    const int limit = bits() == 16 ? 32767 : 127;
    const int32_t n = sampleCount();
    int32_t clipped = 0;
    for (int32_t i = 0; i < n; ++i) {
        const int s = sampleAt(i);
        if (s >= limit || s <= -limit) ++clipped;
    }
    return clipped;
}

void RenderedSound::render(const WaveformTable& table, const Envelope& amplitude, const Envelope& frequency,
                           float echoVolume, float echoDelay, float distort, RenderHelper* helper,
                           sample_render::PhaseMemory* memory) {
    renderUpTo(sampleCount(), table, amplitude, frequency, echoVolume, echoDelay, distort, helper, memory);
}

void RenderedSound::renderMainPart(const WaveformTable& table, const Envelope& amplitude, const Envelope& frequency,
                                   float echoVolume, float echoDelay, float distort, RenderHelper* helper,
                                   sample_render::PhaseMemory* memory) {
    renderUpTo(lengthSamples_, table, amplitude, frequency, echoVolume, echoDelay, distort, helper, memory);
}

void RenderedSound::renderUpTo(int32_t stopAt, const WaveformTable& table, const Envelope& amplitude,
                               const Envelope& frequency, float echoVolume, float echoDelay, float distort,
                               RenderHelper* helper, sample_render::PhaseMemory* memory) {
    sample_render::Input in{table.values().data(), &amplitude,     &frequency,   echoVolume, echoDelay, distort,
                            sampleRate(),          lengthSamples_, sampleCount()};
    in.stopAt = stopAt;
    in.helper = helper;
    in.memory = memory;
    sample_render::render(samples_.data(), bits(), in);
}

void RenderedSound::renderTail(const Envelope& amplitude, float echoVolume, float echoDelay, float distort,
                               int32_t from, int32_t to) {
    // The tail reads only the stored samples, the amplitude's peak and the echo.
    sample_render::Input in{nullptr, &amplitude,   nullptr,        echoVolume,   echoDelay,
                            distort, sampleRate(), lengthSamples_, sampleCount()};
    sample_render::renderTail(samples_.data(), bits(), in, from, to);
}

std::vector<uint8_t> RenderedSound::tail() const {
    const size_t bytes = std::min(samples_.size(), size_t(lengthSamples_) * size_t(bits() / 8));
    return std::vector<uint8_t>(samples_.begin() + long(bytes), samples_.end());
}

bool RenderedSound::setTail(const std::vector<uint8_t>& bytes) {
    const size_t mainBytes = size_t(lengthSamples_) * size_t(bits() / 8);
    if (mainBytes > samples_.size() || bytes.size() != samples_.size() - mainBytes) return false;
    std::copy(bytes.begin(), bytes.end(), samples_.begin() + long(mainBytes));
    return true;
}

std::vector<uint8_t> RenderedSound::mainPart() const {
    const size_t bytes = std::min(samples_.size(), size_t(lengthSamples_) * size_t(bits() / 8));
    return std::vector<uint8_t>(samples_.begin(), samples_.begin() + long(bytes));
}

bool RenderedSound::setMainPart(const std::vector<uint8_t>& bytes) {
    if (bytes.size() != size_t(lengthSamples_) * size_t(bits() / 8) || bytes.size() > samples_.size()) return false;
    std::copy(bytes.begin(), bytes.end(), samples_.begin());
    return true;
}

bool RenderedSound::setSamples(const std::vector<uint8_t>& bytes) {
    if (bytes.size() != samples_.size()) return false;
    samples_ = bytes;
    return true;
}

RenderedSound::Span RenderedSound::mainPartChanges(const std::vector<uint8_t>& bytes) const {
    const size_t width = size_t(bits() / 8);
    if (bytes.size() != size_t(lengthSamples_) * width) return {0, lengthSamples_};
    return mainPartChanges(bytes.data(), bytes.size());
}

bool RenderedSound::swapSamples(std::vector<uint8_t>& other) {
    if (other.size() != samples_.size()) return false;
    samples_.swap(other);
    return true;
}

RenderedSound::Span RenderedSound::mainPartChanges(const uint8_t* bytes, size_t size) const {
    const size_t width = size_t(bits() / 8);
    if (width == 0 || size < size_t(lengthSamples_) * width || size_t(lengthSamples_) * width > samples_.size())
        return {0, lengthSamples_};
    // Whole blocks first (memcmp is vectorised), then byte by byte.
    constexpr size_t kBlock = 256;
    const uint8_t* theirs = bytes;
    const uint8_t* mine = samples_.data();
    const size_t n = size_t(lengthSamples_) * width;
    size_t head = 0;
    while (head + kBlock <= n && std::memcmp(theirs + head, mine + head, kBlock) == 0) head += kBlock;
    while (head < n && theirs[head] == mine[head]) ++head;
    if (head == n) return {0, 0};
    size_t tail = n;
    while (tail - head >= kBlock && std::memcmp(theirs + tail - kBlock, mine + tail - kBlock, kBlock) == 0)
        tail -= kBlock;
    while (tail > head && theirs[tail - 1] == mine[tail - 1]) --tail;
    return {int32_t(head / width), int32_t((tail + width - 1) / width)};
}

bool RenderedSound::setMainPart(const std::vector<uint8_t>& bytes, Span changed) {
    const size_t width = size_t(bits() / 8);
    if (bytes.size() != size_t(lengthSamples_) * width || bytes.size() > samples_.size()) return false;
    const size_t from = std::min(bytes.size(), size_t(std::max(0, changed.first)) * width);
    const size_t to = std::min(bytes.size(), size_t(std::max(0, changed.end)) * width);
    if (from < to) std::copy(bytes.begin() + long(from), bytes.begin() + long(to), samples_.begin() + long(from));
    return true;
}

WavImage RenderedSound::wavImage(int repeats) const {
    if (samples_.empty()) return WavImage();
    return WavImage::build(header_, samples_.data(), samples_.size(), sound_quality::limitRepeats(repeats));
}
