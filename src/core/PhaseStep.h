#pragma once

#include "core/FrequencyScale.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

// One step of the oscillator: phase + pow(10, freq x kLog484) x 3600 / rate
// degrees, reduced below 360 and stored as a float. Every rendered sample
// depends on these exact bits, so the step must match that formula to the last
// bit; std::pow, though, is the most expensive thing in a rendered sweep.
//
// The way around it: a cheap 10^x whose error is known to be far below a
// margin, widened by that margin into a pair of increments that surely
// enclose the exact one. Addition, the wrap and the rounding to float are all
// monotone, so when both ends of the pair give the same float phase (and the
// same side of the wrap), so does the exact increment; only when they differ
// is the exact increment computed after all.
namespace phase_step {

// Relative margin around the cheap increment. The cheap power's error is
// below 4e-15 (see pow10Approx), std::pow's within one unit in the last place
// (2.2e-16), the roundings on the way to the increment below 5.6e-16 (see
// bracket); the margin is some 190 times their sum, so a libm a few ulps
// worse is still safe.
constexpr double kMargin = 0x1p-40;

// 2^(j/64), j = 0..63, each the nearest double.
inline constexpr double kExp2Table[64] = {
    0x1.0000000000000p+0, 0x1.02c9a3e778061p+0, 0x1.059b0d3158574p+0, 0x1.0874518759bc8p+0, 0x1.0b5586cf9890fp+0,
    0x1.0e3ec32d3d1a2p+0, 0x1.11301d0125b51p+0, 0x1.1429aaea92de0p+0, 0x1.172b83c7d517bp+0, 0x1.1a35beb6fcb75p+0,
    0x1.1d4873168b9aap+0, 0x1.2063b88628cd6p+0, 0x1.2387a6e756238p+0, 0x1.26b4565e27cddp+0, 0x1.29e9df51fdee1p+0,
    0x1.2d285a6e4030bp+0, 0x1.306fe0a31b715p+0, 0x1.33c08b26416ffp+0, 0x1.371a7373aa9cbp+0, 0x1.3a7db34e59ff7p+0,
    0x1.3dea64c123422p+0, 0x1.4160a21f72e2ap+0, 0x1.44e086061892dp+0, 0x1.486a2b5c13cd0p+0, 0x1.4bfdad5362a27p+0,
    0x1.4f9b2769d2ca7p+0, 0x1.5342b569d4f82p+0, 0x1.56f4736b527dap+0, 0x1.5ab07dd485429p+0, 0x1.5e76f15ad2148p+0,
    0x1.6247eb03a5585p+0, 0x1.6623882552225p+0, 0x1.6a09e667f3bcdp+0, 0x1.6dfb23c651a2fp+0, 0x1.71f75e8ec5f74p+0,
    0x1.75feb564267c9p+0, 0x1.7a11473eb0187p+0, 0x1.7e2f336cf4e62p+0, 0x1.82589994cce13p+0, 0x1.868d99b4492edp+0,
    0x1.8ace5422aa0dbp+0, 0x1.8f1ae99157736p+0, 0x1.93737b0cdc5e5p+0, 0x1.97d829fde4e50p+0, 0x1.9c49182a3f090p+0,
    0x1.a0c667b5de565p+0, 0x1.a5503b23e255dp+0, 0x1.a9e6b5579fdbfp+0, 0x1.ae89f995ad3adp+0, 0x1.b33a2b84f15fbp+0,
    0x1.b7f76f2fb5e47p+0, 0x1.bcc1e904bc1d2p+0, 0x1.c199bdd85529cp+0, 0x1.c67f12e57d14bp+0, 0x1.cb720dcef9069p+0,
    0x1.d072d4a07897cp+0, 0x1.d5818dcfba487p+0, 0x1.da9e603db3285p+0, 0x1.dfc97337b9b5fp+0, 0x1.e502ee78b3ff6p+0,
    0x1.ea4afa2a490dap+0, 0x1.efa1bee615a27p+0, 0x1.f50765b6e4540p+0, 0x1.fa7c1819e90d8p+0,
};

// 2^(j/64), j = 0..895: the table above times whole powers of two (exact), so
// that a power takes one look-up and no integer work.
struct Exp2Wide {
    double v[14 * 64];
};
inline constexpr Exp2Wide makeExp2Wide() {
    Exp2Wide t{};
    for (int j = 0; j < 14 * 64; ++j) t.v[j] = kExp2Table[j & 63] * double(1 << (j >> 6));
    return t;
}
inline constexpr Exp2Wide kExp2Wide = makeExp2Wide();

// 10^x for 0 <= x <= 4 with relative error below 4e-15:
//   u = x * 64 log2(10) (error in u at most 2 x 2^-53 x 851, which moves the
//       result by at most 2.1e-15),
//   10^x = 2^(k/64) * e^z, k = round(u), z = (u - k) ln2 / 64 (u - k is exact,
//       |z| <= 0.0055),
//   e^z by its Taylor polynomial of degree 5 (remainder below 4e-17; rounding
//       in the Horner steps below 1.2e-15), 2^(k/64) from the table (1/2 ulp)
//       and the final product (1/2 ulp).
inline double pow10Round(double x) {
    constexpr double k64Log2Of10 = 64.0 * 3.32192809488736234787;
    constexpr double kRound = 0x1.8p52;  // adding and removing it rounds to an integer
    const double u = x * k64Log2Of10;
    return (u + kRound) - kRound;
}
inline double pow10Poly(double x, double k) {
    constexpr double k64Log2Of10 = 64.0 * 3.32192809488736234787;
    constexpr double kLn2Over64 = 0.69314718055994530942 / 64.0;
    const double z = (x * k64Log2Of10 - k) * kLn2Over64;
    return 1.0 + z * (1.0 + z * (1.0 / 2 + z * (1.0 / 6 + z * (1.0 / 24 + z * (1.0 / 120)))));
}
inline double pow10Approx(double x) {
    const double k = pow10Round(x);
    return kExp2Wide.v[static_cast<int>(k)] * pow10Poly(x, k);
}

// The increment as the plain per-sample formula computes it.
inline double exactIncrement(float freq, double rate) {
    return std::pow(10.0, double(freq) * double(frequency_scale::kLog484)) * 3600.0 / rate;
}

// phase + increment reduced below 360 as fmod would, stored as a float.
inline float wrap(double x) {
    if (x < 360.0) return static_cast<float>(x);
    if (x < 720.0) return static_cast<float>(x - 360.0);  // exact for 360 <= x < 720
    return static_cast<float>(std::fmod(x, 360.0));
}

// Increments lo <= exact <= hi; lo == hi when the increment is exact (values
// outside 0..1, NaN, or a margin of 0 asked for by a caller who wants pow).
struct Bracket {
    double lo, hi;
};

// The cheap increment: within kMargin x itself of the exact one (far within:
// see bracket), and the exact one itself outside 0..1.
inline double approxIncrement(float freq, double rate) {
    if (!(freq >= 0.0f && freq <= 1.0f)) return exactIncrement(freq, rate);
    return pow10Approx(double(freq) * double(frequency_scale::kLog484)) * (3600.0 / rate);
}

// incs[i] within kMargin x itself of the exact increment of freqs[i] (as
// approxIncrement, though not always to the last bit), for `count` values.
void approxIncrements(const float* freqs, int32_t count, double rate, double* incs);

// `margin` is a parameter only so that tests can force ambiguous steps.
inline Bracket bracket(float freq, double rate, double margin = kMargin) {
    if (!(freq >= 0.0f && freq <= 1.0f) || margin <= 0.0) {
        const double inc = exactIncrement(freq, rate);
        return {inc, inc};
    }
    // The exact increment is pow x 3600 / rate with two roundings, this one
    // p x (3600 / rate) with two and the widening with one more: five
    // roundings of at most 2^-53 each, 5.6e-16 in all, which the margin
    // covers along with both powers' errors many times over.
    const double base = approxIncrement(freq, rate);
    return {base * (1.0 - margin), base * (1.0 + margin)};
}

// The next phase when the bracket decides it, as `next`; false when the exact
// increment is needed. Only sums below 720 are decided here (no fmod).
inline bool tryStep(float phase, const Bracket& b, float& next);
// The same for a phase held as a double (a float's value).
inline bool tryStep(double phase, const Bracket& b, float& next) {
    const double sLo = phase + b.lo;
    const double sHi = phase + b.hi;
    const bool wrapLo = sLo >= 360.0;
    const bool wrapHi = sHi >= 360.0;
    if (wrapLo != wrapHi || !(sHi < 720.0)) return false;
    const float lo = static_cast<float>(wrapLo ? sLo - 360.0 : sLo);
    const float hi = static_cast<float>(wrapLo ? sHi - 360.0 : sHi);
    next = lo;
    return lo == hi;
}
inline bool tryStep(float phase, const Bracket& b, float& next) { return tryStep(double(phase), b, next); }

// The next phase, bit for bit as the plain formula gives it.
inline float step(float phase, float freq, double rate, const Bracket& b) {
    float next;
    if (tryStep(phase, b, next)) return next;
    return wrap(double(phase) + (b.lo == b.hi ? b.lo : exactIncrement(freq, rate)));
}

// A stretch of steps that all add the same amount to the phase. Within one
// binade [2^k, 2^(k+1)) below the wrap floats lie g apart and doubles G apart,
// and a phase there is an even multiple of G. So phase + increment rounds to
// phase + I, I being the increment rounded to a multiple of G the same way
// from every such phase, and that rounds to the float phase + delta, delta
// being I rounded to a multiple of g - unless I lies exactly halfway between
// two multiples of g: that tie is broken by the phase's own last bit. Barring
// ties every step of the stretch adds the same delta, so its phases need no
// serial chain.
struct Stretch {
    int32_t count;  // steps from `phase` adding `delta` each (0: none certain)
    double delta;
};

// Up to maxCount steps from phase, each decided by the bracket and staying
// below both the next power of two and the wrap at 360.
Stretch stretch(float phase, const Bracket& b, int32_t maxCount);

}  // namespace phase_step
