#include "core/PhaseStep.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace phase_step {
namespace {

// Whether v >= 0 lies exactly halfway between two integers.
bool isTie(double v) {
    const double whole = double(static_cast<int64_t>(v));
    return v - whole == 0.5;  // exact: whole <= v < whole + 1
}

}  // namespace

namespace {

constexpr int32_t kPart = 64;

// Over a few samples of a sweep the values change little, and then each
// increment is the first one times 10^((f - f0) x kLog484) = e^x, |x| <=
// kNear: a polynomial of degree 4 with no look-up, whose remainder (below
// kNear^5 / 120 = 8.5e-15) and roundings (the first increment's error, that
// of the exponent against the one the exact increment rounds, the Horner
// steps: below 6e-15 together) stay far within the margin. False, leaving
// incs alone, when some value lies farther from the first (or is NaN).
bool nearFirst(const float* freqs, int32_t n, double scale, double* incs) {
    constexpr double kNear = 0.004;
    constexpr double kLn10 = 2.30258509299404568402;
    const float f0 = freqs[0];
    if (!(f0 >= 0.0f && f0 <= 1.0f)) return false;
    const double perValue = double(frequency_scale::kLog484) * kLn10;
    double x[kPart];
    int64_t far = 0;
    for (int32_t i = 0; i < n; ++i) {
        x[i] = (double(freqs[i]) - double(f0)) * perValue;
        far |= int64_t(!(std::fabs(x[i]) <= kNear));
    }
    if (far) return false;
    const double first = pow10Approx(double(f0) * double(frequency_scale::kLog484)) * scale;
    for (int32_t i = 0; i < n; ++i) {
        const double z = x[i];
        incs[i] = first * (1.0 + z * (1.0 + z * (1.0 / 2 + z * (1.0 / 6 + z * (1.0 / 24)))));
    }
    return true;
}

}  // namespace

void approxIncrements(const float* freqs, int32_t count, double rate, double* incs) {
    const double scale = 3600.0 / rate;
    float x[kPart];
    double poly[kPart];
    int32_t index[kPart];
    for (int32_t from = 0; from < count; from += kPart) {
        const int32_t n = std::min(kPart, count - from);
        if (nearFirst(freqs + from, n, scale, incs + from)) continue;
        // Separate loops, as each vectorises alone: the values limited to
        // 0..1 (NaN gives 0), all of the power but the look-up, and the
        // look-up, which needs a gather SSE2 lacks.
        int32_t outside = 0;
        for (int32_t i = 0; i < n; ++i) {
            const float f = freqs[from + i];
            const float below = 1.0f < f ? 1.0f : f;
            x[i] = 0.0f < below ? below : 0.0f;
            outside |= int32_t(x[i] != f);
        }
        for (int32_t i = 0; i < n; ++i) {
            const double e = double(x[i]) * double(frequency_scale::kLog484);
            const double k = pow10Round(e);
            // The scale goes before the look-up: one rounding in another
            // order, well within the margin.
            poly[i] = pow10Poly(e, k) * scale;
            index[i] = static_cast<int32_t>(k);
        }
        for (int32_t i = 0; i < n; ++i) incs[from + i] = kExp2Wide.v[index[i]] * poly[i];
        if (!outside) continue;
        for (int32_t i = from; i < from + n; ++i) {
            if (!(freqs[i] >= 0.0f && freqs[i] <= 1.0f)) incs[i] = exactIncrement(freqs[i], rate);
        }
    }
}

Stretch stretch(float phase, const Bracket& b, int32_t maxCount) {
    const Stretch none{0, 0.0};
    // Below 1 the spacings get too fine to be worth it; the increment must be
    // a non-negative finite number.
    if (!(phase >= 1.0f && phase < 360.0f) || maxCount < 1 || !(b.lo >= 0.0) || !(b.hi < 360.0)) return none;
    uint32_t bits;
    std::memcpy(&bits, &phase, sizeof bits);
    const int k = int(bits >> 23) - 127;  // 2^k <= phase < 2^(k+1), 0 <= k <= 8
    const double top = double(2 << k);
    const double perG = 0x1p24 / top;  // 1 / g, g the float spacing in [2^k, top)
    const double G = top * 0x1p-53;    // double spacing there
    // Every exact sum must stay below `bound`: within the binade, and (for
    // k = 8) short of the last double below 360, so no sum rounds up to the
    // wrap. A rounded sum below a representable bound means the exact one is.
    const double bound = std::min(top, 360.0 - G);
    const double p = phase;
    if (!(p + b.hi < bound)) return none;

    const double sLo = p + b.lo, sHi = p + b.hi;
    const double iLo = sLo - p, iHi = sHi - p;  // exact: p <= s < 2p
    if (isTie(iLo * perG) || isTie(iHi * perG)) return none;
    const float rLo = static_cast<float>(sLo), rHi = static_cast<float>(sHi);
    if (rLo != rHi) return none;
    const double delta = double(rLo) - p;  // exact, a multiple of g

    // Steps j = 0, 1, ... are certain while p + j delta + hi stays below the
    // bound (p + j delta is exact); that rounded sum never falls as j grows.
    const auto fits = [&](int32_t j) { return p + double(j) * delta + b.hi < bound; };
    int32_t count = maxCount;
    if (delta > 0.0) {
        const double estimate = (bound - b.hi - p) / delta;  // > 0
        if (estimate < double(maxCount)) count = std::max(1, static_cast<int32_t>(estimate));
        while (count > 1 && !fits(count - 1)) --count;
        while (count < maxCount && fits(count)) ++count;
    }
    return {count, delta};
}

}  // namespace phase_step
