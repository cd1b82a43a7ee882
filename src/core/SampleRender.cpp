#include "core/SampleRender.h"

#include "core/CurveWalk.h"
#include "core/EchoTail.h"
#include "core/Envelope.h"
#include "core/FrequencyAhead.h"
#include "core/PhaseMemory.h"
#include "core/PhaseRun.h"
#include "core/RenderHelper.h"
#include "core/SampleFormat.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <vector>

namespace sample_render {
namespace {

using curve_walk::firstBeyond;
using curve_walk::seek;
using curve_walk::slopeOf;
using sample_format::Format;

// Samples per pass over envelopes, phases and output: small enough for the
// scratch arrays to stay in L1.
constexpr int32_t kBlock = 256;

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

// What an earlier render's oscillator read: the table entries of the first
// `known` samples are there already, and the rest go there too, with the
// phase at every mark (none kept: no arrays at all).
struct KeptPhases {
    uint16_t* index = nullptr;
    float* marks = nullptr;
    int32_t known = 0;
};

// The main part, where the envelopes run. Returns the first sample not
// written (W, or earlier where a broken curve ends).
template <int Bits>
int32_t renderMain(uint8_t* out, const Input& in, const Effects& fx, FrequencyAhead* ahead, KeptPhases kept) {
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
    if (kept.known > 0 && kept.known < end) phase.resume(kept.marks[kept.known / PhaseMemory::kMark]);
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
        if (n < kept.known) runEnd = std::min(runEnd, kept.known);  // blocks never straddle it
        const double a0 = Av[sA], ta = At[sA], ka = slopeA;
        const double f0 = Fv[sF], tf = Ft[sF], kf = slopeF;
        for (; n < runEnd;) {
            const int32_t len = std::min(kBlock, runEnd - n);
            // A flat segment gives every sample the value of the first (up to
            // the sign of a zero, which no output shows): no time needed.
            const double t0 = double(n) / W;
            const bool known = n < kept.known;
            // The frequency values and their steps from the helper, when
            // there is one: the values it made are these.
            const float* aheadFreqs = nullptr;
            const double* aheadIncs = nullptr;
            const bool fromAhead =
                !known && ahead && ahead->take(n, len, aheadFreqs, aheadIncs, freqs, incs) && kf != 0.0;
            // The times, shared by both curves: a division each.
            if (ka != 0.0 || (kf != 0.0 && !fromAhead && !known)) {
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
            if (known) {
                for (int32_t i = 0; i < len; ++i) index[i] = kept.index[n + i];
            } else if (kf == 0.0) {
                phase.steady(static_cast<float>(f0 + (t0 - tf) * kf), len, phases);
            } else if (fromAhead) {
                phase.advance(aheadFreqs, aheadIncs, len, phases);
            } else {
                for (int32_t i = 0; i < len; ++i) freqs[i] = static_cast<float>(f0 + (times[i] - tf) * kf);
                phase.advance(freqs, len, phases);
            }
            if (ahead && !known) ahead->release(n + len);
            if (!known) {
                tableIndexes(phases, len, index);
                if (kept.index) {
                    for (int32_t i = 0; i < len; ++i) kept.index[n + i] = static_cast<uint16_t>(index[i]);
                    constexpr int32_t kMark = PhaseMemory::kMark;
                    for (int32_t m = (n + kMark - 1) / kMark * kMark; m < n + len; m += kMark)
                        kept.marks[m / kMark] = phases[m - n];
                }
            }
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
    KeptPhases kept;
    if (in.memory) {
        const int32_t known = in.memory->reusable(in, mainEnd);
        if (in.memory->begin(in, mainEnd, known)) kept = {in.memory->indexes(), in.memory->marks(), known};
    }
    std::unique_ptr<FrequencyAhead> ahead;
    // A flat frequency curve leaves the helper nothing to do.
    const std::vector<float>* values = in.frequency ? &in.frequency->values() : nullptr;
    const bool varies =
        values && std::adjacent_find(values->begin(), values->end(), std::not_equal_to<float>()) != values->end();
    if (in.helper && varies && mainEnd - kept.known >= FrequencyAhead::kWorthIt) {
        ahead = std::make_unique<FrequencyAhead>(in, kept.known, mainEnd);
        in.helper->start([&ahead] { ahead->produce(); });
    }
    const int32_t n = renderMain<Bits>(out, in, fx, ahead.get(), kept);
    if (ahead) {
        ahead->stop();
        in.helper->wait();
    }
    if (kept.index) in.memory->finish(n);
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
