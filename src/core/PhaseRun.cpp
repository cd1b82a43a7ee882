#include "core/PhaseRun.h"

#include <algorithm>

void PhaseRun::advance(const float* freqs, int32_t len, float* phases) {
    if (len < 1) return;
    const float f = freqs[0];
    if (std::all_of(freqs, freqs + len, [f](float v) { return v == f; }))
        steady(f, len, phases);
    else
        varying(freqs, len, phases);
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
    // Kept in locals: the loop is the serial chain of a sweep, and the
    // bracket of each new value must overlap it rather than wait on stores.
    const double rate = rate_;
    float p = phase_, f = incFreq_;
    phase_step::Bracket b = inc_;
    bool have = haveInc_;
    for (int32_t i = 0; i < len; ++i) {
        if (!have || !(freqs[i] == f)) {
            f = freqs[i];
            b = phase_step::bracket(f, rate);
            have = true;
        }
        phases[i] = p;
        float n;
        p = phase_step::tryStep(p, b, n) ? n : phase_step::step(p, f, rate, b);
    }
    phase_ = p;
    incFreq_ = f;
    inc_ = b;
    haveInc_ = have;
}
