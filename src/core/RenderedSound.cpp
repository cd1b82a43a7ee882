#include "core/RenderedSound.h"

#include "core/SampleFormat.h"
#include "core/SampleRender.h"
#include "core/SoundPlayer.h"
#include "core/SoundQuality.h"
#include "core/WaveformTable.h"

#include <limits>
#include <new>

namespace {

// The millisecond factor as a float: a hair above 0.001, so that products such
// as 11025 Hz x 1000 ms land just above the whole number and never lose a
// sample to truncation. Every sample count ever rendered depends on it.
constexpr float kMsFactor = 0.001f;

// Ten copies of the largest sound must still fit a WAV file's 32-bit sizes.
constexpr double kMaxDataBytes = double((std::numeric_limits<uint32_t>::max() - 36u) / 10u);

// trunc(rate x ms x 0.001), limited to what a buffer can be; NaN and
// negatives give 0 samples.
double sampleProduct(int32_t rate, float ms) { return double(rate) * double(ms) * double(kMsFactor); }

int32_t truncToSamples(double product) {
    if (!(product >= 1.0)) return 0;
    if (product >= double(std::numeric_limits<int32_t>::max())) return std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(product);
}

}  // namespace

RenderedSound::RenderedSound(SoundPlayer* player) : player_(player), header_(WavImage::makeHeader(11025, 8, 0)) {
    reallocate();
    lengthSamples_ = 0;
}

RenderedSound::~RenderedSound() {
    // The player may still be reading the image: silence it before it goes.
    if (player_ && !playImage_.empty()) player_->stop();
}

using wav_header::Field;

bool RenderedSound::reallocate() {
    const int bytesPerSample = bits() / 8;
    lengthSamples_ = truncToSamples(sampleProduct(sampleRate(), lengthMs_));
    const double total = sampleProduct(sampleRate(), totalMs_);
    const int32_t count = truncToSamples(total);
    const double bytes = double(count) * bytesPerSample;
    bool ok = bytes <= kMaxDataBytes;
    std::vector<uint8_t>().swap(samples_);
    if (ok) {
        try {
            samples_.resize(size_t(bytes));
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
    totalMs_ = static_cast<float>(double(lengthMs) * (3.0 * double(echoDelay) + 1.0));
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
                           float echoVolume, float echoDelay, float distort) {
    const sample_render::Input in{table.values().data(), &amplitude,     &frequency,   echoVolume, echoDelay, distort,
                                  sampleRate(),          lengthSamples_, sampleCount()};
    sample_render::render(samples_.data(), bits(), in);
}

void RenderedSound::renderMainPart(const WaveformTable& table, const Envelope& amplitude, const Envelope& frequency,
                                   float echoVolume, float echoDelay, float distort) {
    sample_render::Input in{table.values().data(), &amplitude,     &frequency,   echoVolume, echoDelay, distort,
                            sampleRate(),          lengthSamples_, sampleCount()};
    in.stopAt = lengthSamples_;
    sample_render::render(samples_.data(), bits(), in);
}

WavImage RenderedSound::wavImage(int repeats) const {
    if (samples_.empty()) return WavImage();
    return WavImage::build(header_, samples_.data(), samples_.size(), sound_quality::limitRepeats(repeats));
}

bool RenderedSound::play(int repeats) {
    if (player_) player_->stop();
    playImage_ = WavImage();  // the old image goes first: never two in memory
    playImage_ = wavImage(repeats);
    if (playImage_.empty()) return false;
    if (player_) player_->playImage(playImage_);
    return true;
}
