#include "core/PhaseRun.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// Samples whose cheap increments are made ahead of the phases.
constexpr int32_t kChunk = 256;

double doubleOf(uint64_t bits) {
    double d;
    std::memcpy(&d, &bits, sizeof d);
    return d;
}

// Steps the phase from sample i on while each step provably gives what the
// plain formula gives, and returns the first sample not stepped.
//
// Within the binade [2^k, 2^(k+1)) of the phase, floats lie g apart. Held as
// P = C + phase with C = 1.5 x 2^52 x g (exact), one double addition
// P + inc rounds phase + inc to a multiple of g, as the store to float does:
// the serial chain is that one addition. The plain formula rounds twice
// (to double, then to float) and uses the exact increment; both agree with
// the single rounding whenever the sum lies farther from a halfway point
// than the cheap increment's error plus half a double's spacing. The
// rounding error of P + inc is exact by Fast2Sum (|P| >= inc), so that is
// checked at every step. A sum reaching the next binade or the wrap takes
// one step decided by a bracket around the cheap increment; a phase below 1
// or a step too close to call ends the glide.
int32_t glideWhileCertain(float& phase, const double* incs, int32_t i, int32_t count, float* phases) {
    float p = phase;
    while (i < count && p >= 1.0f && p < 360.0f) {
        // 2^k <= p < 2^(k+1), 0 <= k <= 8: the powers of two come straight
        // from the float's exponent, e = k + 127, as that is the chain.
        uint32_t bits;
        std::memcpy(&bits, &p, sizeof bits);
        const uint64_t e = bits >> 23;
        const double top = doubleOf((e + 897) << 52);                        // 2^(k+1)
        const double g = doubleOf((e + 873) << 52);                          // 2^(k-23)
        const double C = doubleOf(((e + 925) << 52) | (uint64_t(1) << 51));  // 1.5 x 2^(k+29)
        const double end = C + std::min(top, 360.0);                         // exact: a multiple of g below 2^53 g
        // Half the spacing, less half a double's spacing below 512 (2^-45)
        // and then some for the roundings of this very test, less the cheap
        // increment's error: an increment of `top` or more leaves the binade,
        // so below that the error is below top x kMargin.
        const double near = 0.5 * g - 0x1p-43 - top * phase_step::kMargin;
        double P = C + double(p);
        for (; i < count; ++i) {
            const double inc = incs[i];
            const double next = P + inc;
            const double err = inc - (next - P);
            if (!(next < end) | !(std::fabs(err) < near)) break;
            phases[i] = static_cast<float>(P - C);
            P = next;
        }
        const double exact = P - C;  // the phase, a float's value
        p = static_cast<float>(exact);
        if (i == count) break;
        const double inc = incs[i];
        float n;
        if (!phase_step::tryStep(exact, {inc * (1.0 - phase_step::kMargin), inc * (1.0 + phase_step::kMargin)}, n))
            break;
        phases[i++] = p;
        p = n;
    }
    phase = p;
    return i;
}

}  // namespace

void PhaseRun::advance(const float* freqs, int32_t len, float* phases) {
    if (len < 1) return;
    const float f = freqs[0];
    if (std::all_of(freqs, freqs + len, [f](float v) { return v == f; }))
        steady(f, len, phases);
    else
        varying(freqs, len, phases);
}

void PhaseRun::advance(const float* freqs, const double* incs, int32_t len, float* phases) {
    if (len < 1) return;
    const float f = freqs[0];
    if (std::all_of(freqs, freqs + len, [f](float v) { return v == f; }))
        steady(f, len, phases);
    else
        glide(freqs, incs, len, phases);
}

// The increment changes only when the frequency value does (+0 and -0 step
// alike).
void PhaseRun::useBracket(float f) {
    if (haveInc_ && f == incFreq_) return;
    inc_ = phase_step::bracket(f, rate_);
    incFreq_ = f;
    haveInc_ = true;
}

float PhaseRun::next(float p, float f) const {
    float n;
    return phase_step::tryStep(p, inc_, n) ? n : phase_step::step(p, f, rate_, inc_);
}

void PhaseRun::steady(float f, int32_t len, float* phases) {
    useBracket(f);
    float p = phase_;
    // A stretch cut short ends where the step crosses a power of two or the
    // wrap: that one step goes singly, without asking again. Below four
    // increments the binades are too narrow for stretches to pay.
    const double floor = 4.0 * inc_.hi;
    bool ask = true;
    for (int32_t i = 0; i < len;) {
        const phase_step::Stretch st =
            ask && double(p) >= floor ? phase_step::stretch(p, inc_, len - i) : phase_step::Stretch{0, 0.0};
        if (st.count > 0) {
            const double base = p;
            for (int32_t j = 0; j < st.count; ++j) phases[i + j] = static_cast<float>(base + double(j) * st.delta);
            p = static_cast<float>(base + double(st.count) * st.delta);
            i += st.count;
            ask = false;
        } else {
            phases[i++] = p;
            p = next(p, f);
            ask = true;
        }
    }
    phase_ = p;
}

void PhaseRun::varying(const float* freqs, int32_t len, float* phases) {
    double incs[kChunk];
    for (int32_t from = 0; from < len; from += kChunk) {
        const int32_t count = std::min(kChunk, len - from);
        // Off the serial chain, so these overlap freely.
        phase_step::approxIncrements(freqs + from, count, rate_, incs);
        glide(freqs + from, incs, count, phases + from);
    }
}

void PhaseRun::glide(const float* freqs, const double* incs, int32_t count, float* phases) {
    float p = phase_;
    for (int32_t i = 0; i < count;) {
        i = glideWhileCertain(p, incs, i, count, phases);
        if (i == count) break;
        const float f = freqs[i];
        useBracket(f);
        phases[i] = p;
        p = next(p, f);
        ++i;
    }
    phase_ = p;
}
