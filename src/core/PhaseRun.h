#pragma once

#include "core/PhaseStep.h"

#include <cstdint>

// The oscillator phase through one render, handed out block by block: the
// phase each sample reads, stepped exactly as the plain per-sample formula
// steps it. Constant pitch goes mostly in stretches of equal steps; a
// changing pitch goes step by step with a bracketed increment.
class PhaseRun {
public:
    explicit PhaseRun(int32_t rate) : rate_(double(rate)) {}

    // phases[i] = the phase read by the i-th of `len` samples whose frequency
    // values are freqs[i]; the phase after them is kept for the next call.
    void advance(const float* freqs, int32_t len, float* phases);
    // The same given the cheap increments of those values (as
    // phase_step::approxIncrements makes them, in any grouping).
    void advance(const float* freqs, const double* incs, int32_t len, float* phases);
    // The same for `len` samples all at frequency value f.
    void steady(float f, int32_t len, float* phases);

    float phase() const { return phase_; }
    // Goes on from a phase kept from an earlier run: the one this run would
    // have reached by now.
    void resume(float phase) { phase_ = phase; }

private:
    void useBracket(float f);
    float next(float p, float f) const;
    void varying(const float* freqs, int32_t len, float* phases);
    void glide(const float* freqs, const double* incs, int32_t count, float* phases);

    double rate_;
    float phase_ = 0.0f;
    float incFreq_ = 0.0f;
    phase_step::Bracket inc_{0.0, 0.0};
    bool haveInc_ = false;
};
