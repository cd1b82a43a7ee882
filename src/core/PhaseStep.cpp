#include "core/PhaseStep.h"

#include <algorithm>
#include <cstring>

namespace phase_step {
namespace {

// Whether v >= 0 lies exactly halfway between two integers.
bool isTie(double v) {
    const double whole = double(static_cast<int64_t>(v));
    return v - whole == 0.5;  // exact: whole <= v < whole + 1
}

}  // namespace

void approxIncrements(const float* freqs, int32_t count, double rate, double* incs) {
    constexpr int32_t kPart = 64;
    const double scale = 3600.0 / rate;
    float x[kPart];
    double poly[kPart];
    int32_t index[kPart];
    for (int32_t from = 0; from < count; from += kPart) {
        const int32_t n = std::min(kPart, count - from);
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
