#include "core/SampleRender.h"

#include "core/EchoTail.h"
#include "core/Envelope.h"
#include "core/PhaseRun.h"
#include "core/RenderHelper.h"
#include "core/SampleFormat.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

namespace sample_render {
namespace {

using sample_format::Format;

// Samples per pass over envelopes, phases and output: small enough for the
// scratch arrays to stay in L1.
constexpr int32_t kBlock = 256;

// Slope of segment i, stored as a float. A segment of zero (or, in a broken
// curve, negative) duration has slope 0, so a first segment of zero duration
// gives the first point's value instead of NaN; later such segments are
// passed over before they are used anyway. So has a segment too short for
// its slope to be a float (a point a subnormal time after the first): the
// one sample it can hold lies at its start, where a finite slope adds nothing
// either.
inline float slopeOf(const float* times, const float* values, int i) {
    const double dt = double(times[i + 1]) - double(times[i]);
    if (!(dt > 0.0)) return 0.0f;
    const float slope = static_cast<float>((double(values[i + 1]) - double(values[i])) / dt);
    return std::isfinite(slope) ? slope : 0.0f;
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

// The first m in [from, to) whose time m / W lies beyond `end`, else `to`:
// where the per-sample search would next move a segment index. Those times
// never decrease with m, so a guess from end x W is corrected by a few exact
// comparisons, the same ones the search makes.
int32_t firstBeyond(double end, int32_t from, int32_t to, double W) {
    if (!(end < 1.0)) return to;  // every m / W < 1 (also: NaN never compares true)
    const double guess = std::floor(end * W);
    int32_t m = guess <= double(from) ? from : guess >= double(to) ? to : static_cast<int32_t>(guess);
    while (m > from && double(m - 1) / W > end) --m;
    while (m < to && !(double(m) / W > end)) ++m;
    return m;
}

// The table entry each phase reads; a phase that rounded up to 360.0 (or
// garbage from a broken setting) reads entry 0. In loops of their own, which
// vectorise.
void tableIndexes(const float* phases, int32_t len, int32_t* index) {
    float inRange[kBlock];
    for (int32_t i = 0; i < len; ++i) {
        const float p = phases[i];
        const float below = p < 360.0f ? p : 0.0f;  // NaN too
        inRange[i] = 0.0f <= below ? below : 0.0f;
    }
    for (int32_t i = 0; i < len; ++i) index[i] = static_cast<int32_t>(inRange[i]);
}

// The frequency values of the main part and their cheap phase increments,
// made on a helper thread ahead of the render and handed over through a ring:
// the values the render would make itself, by the same formula at the same
// samples (the frequency curve's segments are found the same way), and
// increments within the phase step's margin, which is all the phase chain
// asks of them. The render never waits: what is not made yet when it gets
// there it makes itself, and the helper skips ahead past it. A helper kept
// off its core costs nothing but its help.
class FrequencyAhead {
public:
    FrequencyAhead(const Input& in, int32_t end) : in_(in), end_(end) {}

    // The helper's part: the samples of the main part in order from where
    // the render is, waiting for room in the ring, until the end or stop().
    void produce();
    // Samples [n, n + len) when they are made (in the ring, or copied into
    // the arrays given when they wrap round it), else false. Either way the
    // render calls release(n + len) once it is past them. In order.
    bool take(int32_t n, int32_t len, const float*& freqs, const double*& incs, float* freqCopy, double* incCopy);
    void release(int32_t end) { used_.store(end, std::memory_order_release); }
    void stop() { stop_.store(true, std::memory_order_release); }

    // The helper pays from about this many samples on.
    static constexpr int32_t kWorthIt = 1 << 16;

private:
    static constexpr int32_t kRing = 1 << 14;  // samples held at once, a multiple of kBlock
    static constexpr int32_t slot(int32_t n) { return n & (kRing - 1); }

    const Input& in_;
    const int32_t end_;
    std::vector<float> freqs_ = std::vector<float>(size_t(kRing));
    std::vector<double> incs_ = std::vector<double>(size_t(kRing));
    std::atomic<int32_t> made_{0}, used_{0};
    std::atomic<bool> stop_{false};
};

void FrequencyAhead::produce() {
    const float* Ft = in_.frequency->times().data();
    const float* Fv = in_.frequency->values().data();
    const int nF = in_.frequency->pointCount();
    const double W = double(in_.W);
    const double rate = double(in_.rate);
    int sF = 0;
    float slopeF = nF >= 2 ? slopeOf(Ft, Fv, 0) : 0.0f;
    double times[kBlock];
    int32_t m = 0;
    while (nF >= 2 && m < end_ && !stop_.load(std::memory_order_acquire)) {
        if (!seek(double(m) / W, Ft, Fv, nF, sF, slopeF)) break;
        const int32_t runEnd = firstBeyond(double(Ft[sF + 1]), m + 1, end_, W);
        const double f0 = Fv[sF], tf = Ft[sF], kf = slopeF;
        while (m < runEnd && !stop_.load(std::memory_order_acquire)) {
            // Past what the render has made itself.
            const int32_t at = used_.load(std::memory_order_acquire);
            if (at > m) {
                m = at;
                made_.store(m, std::memory_order_release);
                if (m >= runEnd) break;  // on to the segment there
            }
            // Blocks never cross a multiple of kBlock, so never the ring's end.
            const int32_t len = std::min(kBlock - m % kBlock, runEnd - m);
            while (m + len - used_.load(std::memory_order_acquire) > kRing) {
                if (stop_.load(std::memory_order_acquire)) return;
                std::this_thread::yield();
            }
            if (kf != 0.0) {
                // In loops of their own, which vectorise, as the render's.
                float* freqs = freqs_.data() + slot(m);
                for (int32_t i = 0; i < len; ++i) times[i] = double(m + i) / W;
                for (int32_t i = 0; i < len; ++i) freqs[i] = static_cast<float>(f0 + (times[i] - tf) * kf);
                phase_step::approxIncrements(freqs, len, rate, incs_.data() + slot(m));
            }
            m += len;
            made_.store(m, std::memory_order_release);
        }
    }
}

bool FrequencyAhead::take(int32_t n, int32_t len, const float*& freqs, const double*& incs, float* freqCopy,
                          double* incCopy) {
    if (made_.load(std::memory_order_acquire) < n + len) return false;
    const int32_t at = slot(n);
    const int32_t first = std::min(len, kRing - at);
    freqs = freqs_.data() + at;
    incs = incs_.data() + at;
    if (first < len) {
        std::memcpy(freqCopy, freqs, size_t(first) * sizeof(float));
        std::memcpy(freqCopy + first, freqs_.data(), size_t(len - first) * sizeof(float));
        std::memcpy(incCopy, incs, size_t(first) * sizeof(double));
        std::memcpy(incCopy + first, incs_.data(), size_t(len - first) * sizeof(double));
        freqs = freqCopy;
        incs = incCopy;
    }
    return true;
}

struct Effects {
    double S;        // full scale
    double X, keep;  // clip level and make-up divisor, when distorting
    bool distort;
    bool echo;
    int32_t d;  // echo offset in samples, when echoing
    double echoGain;
};

// Hard clipping at X, then the make-up gain. X >= 0, so clipping from above
// never lands below -X; NaN passes through. Free of branches, to vectorise.
inline double distorted(double y, const Effects& fx) {
    y = fx.X < y ? fx.X : y;
    y = y < -fx.X ? -fx.X : y;
    return y / fx.keep;
}

// What a block of samples holds on its way to the output: amplitude x table
// value (to be scaled, and distorted when distorting), or that value scaled
// and distorted already (taken from a table for a constant amplitude).
enum class Stage { Dry, Shaped };

// Full scale and distortion: a dry value shaped.
inline double shaped(double dry, const Effects& fx) {
    const double y = dry * fx.S;
    return fx.distort ? distorted(y, fx) : y;
}

template <Stage In, bool Distort>
inline double shapedAt(const double* v, int32_t i, const Effects& fx) {
    if (In == Stage::Shaped) return v[i];
    const double y = v[i] * fx.S;
    return Distort ? distorted(y, fx) : y;
}

// Distortion, echo and store for one block of samples.
template <int Bits, Stage In, bool Distort, bool Echo>
void output(uint8_t* out, int32_t n0, int32_t len, const double* v, const Effects& fx) {
    using F = Format<Bits>;
    typename F::Raw raw[kBlock];
    if (Echo) F::loadBlock(out, n0 - fx.d, len, raw);  // len <= d: all stored before n0
    for (int32_t i = 0; i < len; ++i) {
        double y = shapedAt<In, Distort>(v, i, fx);
        if (Echo) y = y + double(F::value(raw[i])) * fx.echoGain * 0.5;
        raw[i] = F::fromDouble(y);
    }
    F::storeBlock(out, n0, len, raw);
}

// The same with an echo shorter than the block: each sample may read one
// written moments before, so strictly in order.
template <int Bits, Stage In, bool Distort>
void outputShortEcho(uint8_t* out, int32_t n0, int32_t len, const double* v, const Effects& fx) {
    using F = Format<Bits>;
    for (int32_t i = 0; i < len; ++i) {
        double y = shapedAt<In, Distort>(v, i, fx);
        y = y + double(F::load(out, n0 + i - fx.d)) * fx.echoGain * 0.5;
        F::store(out, n0 + i, y);
    }
}

template <int Bits, Stage In, bool Distort>
void outputBlock(uint8_t* out, int32_t n0, int32_t len, const double* v, const Effects& fx) {
    const bool echo = fx.echo && n0 >= fx.d;  // blocks never straddle d
    if (echo && fx.d < len)
        outputShortEcho<Bits, In, Distort>(out, n0, len, v, fx);
    else if (echo)
        output<Bits, In, Distort, true>(out, n0, len, v, fx);
    else
        output<Bits, In, Distort, false>(out, n0, len, v, fx);
}

template <int Bits, Stage In>
void outputBlock(uint8_t* out, int32_t n0, int32_t len, const double* v, const Effects& fx) {
    if (In == Stage::Dry && fx.distort)
        outputBlock<Bits, In, true>(out, n0, len, v, fx);
    else
        outputBlock<Bits, In, false>(out, n0, len, v, fx);
}

// The main part, where the envelopes run. Returns the first sample not
// written (W, or earlier where a broken curve ends).
template <int Bits>
int32_t renderMain(uint8_t* out, const Input& in, const Effects& fx, FrequencyAhead* ahead) {
    using F = Format<Bits>;
    const float* At = in.amplitude->times().data();
    const float* Av = in.amplitude->values().data();
    const float* Ft = in.frequency->times().data();
    const float* Fv = in.frequency->values().data();
    const int nA = in.amplitude->pointCount();
    const int nF = in.frequency->pointCount();
    if (nA < 2 || nF < 2 || in.W <= 0) return 0;

    const double W = double(in.W);
    const int32_t end = std::min(in.W, in.N);
    int sA = 0, sF = 0;
    float slopeA = slopeOf(At, Av, 0);
    float slopeF = slopeOf(Ft, Fv, 0);
    PhaseRun phase(in.rate);
    const float* table = in.table;

    float freqs[kBlock], phases[kBlock];
    double times[kBlock], amps[kBlock], incs[kBlock];
    int32_t index[kBlock];
    // The shaped value of each table entry at the constant amplitude lutAmp:
    // every sample of a flat stretch is one of those 360 (a zero's sign
    // aside, which no output shows).
    double lut[360];
    typename F::Raw rawLut[360], raw[kBlock];
    double lutAmp = 0.0;
    bool haveLut = false;
    int32_t n = 0;
    while (n < end) {
        // A run of samples over which neither segment index moves.
        if (!seek(double(n) / W, At, Av, nA, sA, slopeA) || !seek(double(n) / W, Ft, Fv, nF, sF, slopeF)) break;
        int32_t runEnd =
            std::min(firstBeyond(double(At[sA + 1]), n + 1, end, W), firstBeyond(double(Ft[sF + 1]), n + 1, end, W));
        if (fx.echo && n < fx.d) runEnd = std::min(runEnd, fx.d);
        const double a0 = Av[sA], ta = At[sA], ka = slopeA;
        const double f0 = Fv[sF], tf = Ft[sF], kf = slopeF;
        for (; n < runEnd;) {
            const int32_t len = std::min(kBlock, runEnd - n);
            // A flat segment gives every sample the value of the first (up to
            // the sign of a zero, which no output shows): no time needed.
            const double t0 = double(n) / W;
            // The frequency values and their steps from the helper, when
            // there is one: the values it made are these.
            const float* aheadFreqs = nullptr;
            const double* aheadIncs = nullptr;
            const bool fromAhead = ahead && ahead->take(n, len, aheadFreqs, aheadIncs, freqs, incs) && kf != 0.0;
            // The times, shared by both curves: a division each.
            if (ka != 0.0 || (kf != 0.0 && !fromAhead)) {
                for (int32_t i = 0; i < len; ++i) times[i] = double(n + i) / W;
            }
            const double flatAmp = a0 + (t0 - ta) * ka;
            // The table of shaped values pays from some hundreds of samples on.
            const bool sameLut = haveLut && flatAmp == lutAmp;
            const bool fromLut = ka == 0.0 && (sameLut || runEnd - n >= 1024);
            if (fromLut && !sameLut) {
                for (int j = 0; j < 360; ++j) lut[j] = shaped(flatAmp * double(table[j]), fx);
                for (int j = 0; j < 360; ++j) rawLut[j] = F::fromDouble(lut[j]);
                lutAmp = flatAmp;
                haveLut = true;
            }
            if (ka != 0.0) {
                for (int32_t i = 0; i < len; ++i) amps[i] = a0 + (times[i] - ta) * ka;
            } else if (!fromLut) {
                std::fill(amps, amps + len, flatAmp);
            }
            if (kf == 0.0) {
                phase.steady(static_cast<float>(f0 + (t0 - tf) * kf), len, phases);
            } else if (fromAhead) {
                phase.advance(aheadFreqs, aheadIncs, len, phases);
            } else {
                for (int32_t i = 0; i < len; ++i) freqs[i] = static_cast<float>(f0 + (times[i] - tf) * kf);
                phase.advance(freqs, len, phases);
            }
            if (ahead) ahead->release(n + len);
            tableIndexes(phases, len, index);
            if (fromLut && !(fx.echo && n >= fx.d)) {
                // No echo to add: the stored samples come from the table too.
                for (int32_t i = 0; i < len; ++i) raw[i] = rawLut[index[i]];
                F::storeBlock(out, n, len, raw);
            } else if (fromLut) {
                for (int32_t i = 0; i < len; ++i) amps[i] = lut[index[i]];
                outputBlock<Bits, Stage::Shaped>(out, n, len, amps, fx);
            } else {
                for (int32_t i = 0; i < len; ++i) amps[i] = amps[i] * double(table[index[i]]);
                outputBlock<Bits, Stage::Dry>(out, n, len, amps, fx);
            }
            n += len;
        }
    }
    return n;
}

template <int Bits>
Effects effectsOf(const Input& in) {
    using F = Format<Bits>;
    Effects fx{};
    fx.S = F::kFullScale;

    float c = in.distort;
    if (c > 0.99f) c = 0.99f;
    fx.distort = c > 0.0f;
    double peak = 0.0;
    for (float v : in.amplitude->values()) peak = std::max(peak, double(v));
    const float keep = static_cast<float>(1.0 - double(c));
    fx.keep = double(keep);
    fx.X = double(static_cast<float>(double(keep) * peak * fx.S));

    // The echo source lies trunc(W x b) samples back. Less than one sample
    // would mean reading the sample being made, so such a delay has no echo;
    // a delay beyond the sound's end never reaches back into it.
    const float a = in.echoVolume;
    const double delayProduct = double(in.W) * double(in.echoDelay);
    fx.echo = a > 0.0f && in.echoDelay > 0.0f && delayProduct >= 1.0 && delayProduct < double(in.N);
    fx.d = fx.echo ? static_cast<int32_t>(delayProduct) : 0;
    fx.echoGain = double(a);
    return fx;
}

// From `from` on the dry signal is silent for good (distortion keeps 0 at
// 0): only echoes of what was stored sound. Each tail sample depends on
// earlier ones alone, so the tail may be written in pieces.
template <int Bits>
void tailSamples(uint8_t* out, const Input& in, const Effects& fx, int32_t from, int32_t to) {
    if (from >= to) return;
    if (fx.echo)
        echo_tail::render(out, Bits, from, to, fx.d, in.echoVolume);
    else
        Format<Bits>::silence(out, from, to);
}

template <int Bits>
void renderSamples(uint8_t* out, const Input& in) {
    const Effects fx = effectsOf<Bits>(in);
    const int32_t mainEnd = std::min(in.W, in.N);
    std::unique_ptr<FrequencyAhead> ahead;
    // A flat frequency curve leaves the helper nothing to do.
    const std::vector<float>* values = in.frequency ? &in.frequency->values() : nullptr;
    const bool varies =
        values && std::adjacent_find(values->begin(), values->end(), std::not_equal_to<float>()) != values->end();
    if (in.helper && varies && mainEnd >= FrequencyAhead::kWorthIt) {
        ahead = std::make_unique<FrequencyAhead>(in, mainEnd);
        in.helper->start([&ahead] { ahead->produce(); });
    }
    const int32_t n = renderMain<Bits>(out, in, fx, ahead.get());
    if (ahead) {
        ahead->stop();
        in.helper->wait();
    }
    // Stopping early leaves the samples before it exact.
    tailSamples<Bits>(out, in, fx, n, std::min(in.N, std::max(n, in.stopAt)));
}

}  // namespace

void render(uint8_t* out, int bits, const Input& in) {
    if (in.N < 1) return;
    if (bits == 16)
        renderSamples<16>(out, in);
    else if (bits == 8)
        renderSamples<8>(out, in);
}

void renderTail(uint8_t* out, int bits, const Input& in, int32_t from, int32_t to) {
    from = std::max(from, std::min(in.W, in.N));
    to = std::min(to, in.N);
    if (bits == 16)
        tailSamples<16>(out, in, effectsOf<16>(in), from, to);
    else if (bits == 8)
        tailSamples<8>(out, in, effectsOf<8>(in), from, to);
}

}  // namespace sample_render
