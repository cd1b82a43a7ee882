#include "RenderedSound.h"

#include "Envelope.h"
#include "FrequencyScale.h"
#include "SoundPlayer.h"
#include "WaveformTable.h"

#include <algorithm>
#include <cmath>
#include <cstring>
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

// Slope of segment i, stored as a float. A segment of zero (or, in a broken
// curve, negative) duration has slope 0, so a first segment of zero duration
// gives the first point's value instead of NaN; later such segments are
// passed over before they are used anyway.
inline float slopeOf(const float* times, const float* values, int i) {
    const double dt = double(times[i + 1]) - double(times[i]);
    if (!(dt > 0.0)) return 0.0f;
    return static_cast<float>((double(values[i + 1]) - double(values[i])) / dt);
}

// Advances segment index s while t lies beyond the segment's end. Returns
// false when the curve ends before t (only a broken curve does that).
inline bool seek(double t, const float* times, const float* values, int count, int& s, float& slope) {
    while (t > double(times[s + 1])) {
        if (s + 2 > count - 1) {
            s = count - 1;
            return false;
        }
        slope = slopeOf(times, values, s + 1);
        ++s;
    }
    return true;
}

// phase + inc reduced below 360: for 0 <= x < 720 this is exactly what fmod
// gives (x - 360 is exact there), at a fraction of the cost.
inline float wrapPhase(double x) {
    if (x < 360.0) return static_cast<float>(x);
    if (x < 720.0) return static_cast<float>(x - 360.0);
    return static_cast<float>(std::fmod(x, 360.0));
}

// Table index of a phase; a phase that rounded up to 360.0 (or garbage from a
// broken setting) reads entry 0.
inline int tableIndex(float phase) {
    return (phase >= 0.0f && phase < 360.0f) ? std::min(static_cast<int>(phase), 359) : 0;
}

template <int Bits>
struct Format;

template <>
struct Format<8> {
    static constexpr double kFullScale = 128.0;
    static int load(const uint8_t* s, int32_t n) { return int(s[n]) - 128; }
    static void store(uint8_t* s, int32_t n, double y) {
        if (y < -127.0) {
            s[n] = 1;
        } else {
            if (!(y <= 127.0)) y = (y != y) ? 0.0 : 127.0;
            s[n] = static_cast<uint8_t>(static_cast<int>(y) + 128);
        }
    }
    static void silence(uint8_t* s, int32_t from, int32_t to) { std::memset(s + from, 128, size_t(to - from)); }
};

template <>
struct Format<16> {
    static constexpr double kFullScale = 32768.0;
    static int load(const uint8_t* s, int32_t n) { return int16_t(le::get16(s + 2 * size_t(n))); }
    static void store(uint8_t* s, int32_t n, double y) {
        if (y != y) y = 0.0;
        y = std::min(32767.0, std::max(-32767.0, y));
        le::put16(s + 2 * size_t(n), static_cast<uint16_t>(static_cast<int16_t>(y)));
    }
    static void silence(uint8_t* s, int32_t from, int32_t to) { std::memset(s + 2 * size_t(from), 0, 2 * size_t(to - from)); }
};

struct RenderInput {
    const float* table;
    const Envelope* amplitude;
    const Envelope* frequency;
    float echoVolume, echoDelay, distort;
    int32_t rate, W, N;
};

template <int Bits>
void renderSamples(uint8_t* out, const RenderInput& in) {
    using F = Format<Bits>;
    const int32_t N = in.N;
    const int32_t W = in.W;
    const double S = F::kFullScale;

    float c = in.distort;
    if (c > 0.99f) c = 0.99f;
    const bool distort = c > 0.0f;
    double peak = 0.0;
    for (float v : in.amplitude->values()) peak = std::max(peak, double(v));
    const float keep = static_cast<float>(1.0 - double(c));
    const float X = static_cast<float>(double(keep) * peak * S);

    // The echo source lies trunc(W x b) samples back. Less than one sample
    // would mean reading the sample being made, so such a delay has no echo;
    // a delay beyond the sound's end never reaches back into it.
    const float a = in.echoVolume;
    const double delayProduct = double(W) * double(in.echoDelay);
    const bool echo = a > 0.0f && in.echoDelay > 0.0f && delayProduct >= 1.0 && delayProduct < double(N);
    const int32_t d = echo ? static_cast<int32_t>(delayProduct) : 0;
    const double echoGain = double(a);

    const auto finish = [&](int32_t n, double y) {
        if (distort) {
            if (y > double(X))
                y = double(X);
            else if (y < -double(X))
                y = -double(X);
            y = y / double(keep);
        }
        if (echo && n >= d) y = y + double(F::load(out, n - d)) * echoGain * 0.5;
        F::store(out, n, y);
    };

    // Main part: envelopes and waveform.
    const float* At = in.amplitude->times().data();
    const float* Av = in.amplitude->values().data();
    const float* Ft = in.frequency->times().data();
    const float* Fv = in.frequency->values().data();
    const int nA = in.amplitude->pointCount();
    const int nF = in.frequency->pointCount();
    int32_t n = 0;
    if (nA >= 2 && nF >= 2 && W > 0) {
        int sA = 0, sF = 0;
        float slopeA = slopeOf(At, Av, 0);
        float slopeF = slopeOf(Ft, Fv, 0);
        float freq = Fv[0];
        float phase = 0.0f;
        // The phase increment changes only when the frequency value does.
        uint32_t incFreqBits = 0;
        double inc = 0.0;
        bool haveInc = false;
        const double rate = double(in.rate);
        const int32_t end = std::min(W, N);
        for (; n < end; ++n) {
            const double t = double(n) / double(W);
            if (!seek(t, At, Av, nA, sA, slopeA) || !seek(t, Ft, Fv, nF, sF, slopeF)) break;
            freq = static_cast<float>(double(Fv[sF]) + (t - double(Ft[sF])) * double(slopeF));
            const double amp = double(Av[sA]) + (t - double(At[sA])) * double(slopeA);
            const double y = amp * double(in.table[tableIndex(phase)]) * S;
            finish(n, y);
            uint32_t bits;
            std::memcpy(&bits, &freq, sizeof bits);
            if (!haveInc || bits != incFreqBits) {
                inc = std::pow(10.0, double(freq) * double(frequency_scale::kLog484)) * 3600.0 / rate;
                incFreqBits = bits;
                haveInc = true;
            }
            phase = wrapPhase(double(phase) + inc);
        }
    }

    // From here on the dry signal is silent for good (the phase no longer
    // matters): only echoes of what was stored sound.
    if (!echo) {
        F::silence(out, n, N);
        return;
    }
    for (; n < N && n < d; ++n) finish(n, 0.0);
    for (; n < N; ++n) finish(n, 0.0);
}

}  // namespace

RenderedSound::RenderedSound(SoundPlayer* player)
    : player_(player), header_(WavImage::makeHeader(11025, 8, 0)) {
    reallocate();
    lengthSamples_ = 0;
}

RenderedSound::~RenderedSound() {
    // The player may still be reading the image: silence it before it goes.
    if (player_ && !playImage_.empty()) player_->stop();
}

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
    le::put32(&header_[4], size + 36);
    le::put32(&header_[40], size);
    return ok;
}

bool RenderedSound::setLength(float lengthMs, float echoDelay) {
    lengthMs_ = lengthMs;
    totalMs_ = static_cast<float>(double(lengthMs) * (3.0 * double(echoDelay) + 1.0));
    return reallocate();
}

bool RenderedSound::setSampleRate(int32_t rate) {
    le::put32(&header_[24], static_cast<uint32_t>(rate));
    le::put32(&header_[28], static_cast<uint32_t>(rate) * le::get16(&header_[32]));
    return reallocate();
}

bool RenderedSound::setBits(int bits) {
    const uint16_t blockAlign = static_cast<uint16_t>(bits / 8);
    le::put16(&header_[34], static_cast<uint16_t>(bits));
    le::put16(&header_[32], blockAlign);
    le::put32(&header_[28], le::get32(&header_[24]) * blockAlign);
    return reallocate();
}

int32_t RenderedSound::sampleCount() const {
    const int bytesPerSample = bits() / 8;
    return bytesPerSample > 0 ? static_cast<int32_t>(samples_.size() / size_t(bytesPerSample)) : 0;
}

int RenderedSound::sampleAt(int32_t n) const {
    return bits() == 16 ? Format<16>::load(samples_.data(), n) : Format<8>::load(samples_.data(), n);
}

void RenderedSound::render(const WaveformTable& table, const Envelope& amplitude, const Envelope& frequency,
                           float echoVolume, float echoDelay, float distort) {
    const RenderInput in{table.values().data(), &amplitude, &frequency, echoVolume, echoDelay, distort,
                         sampleRate(), lengthSamples_, sampleCount()};
    if (in.N < 1) return;
    if (bits() == 16)
        renderSamples<16>(samples_.data(), in);
    else if (bits() == 8)
        renderSamples<8>(samples_.data(), in);
}

bool RenderedSound::play(int repeats) {
    repeats = std::min(10, std::max(1, repeats));
    if (player_) player_->stop();
    playImage_ = WavImage();
    if (samples_.empty()) return false;
    playImage_ = WavImage::build(header_, samples_.data(), samples_.size(), repeats);
    if (playImage_.empty()) return false;
    if (player_) player_->playImage(playImage_);
    return true;
}
