#include "core/FrequencyScale.h"

#include <cmath>

namespace frequency_scale {

double toHz(float v) { return 10.0 * std::pow(10.0, double(kLog484) * double(v)); }

float fromHz(double hz) {
    // 1 / log10(484) in double precision; the value typed-in frequencies have
    // always been converted with.
    const double v = std::log10(hz / 10.0) * 0.372460929976071;
    if (!(v > 0.0)) return 0.0f;  // also NaN, from a non-positive frequency
    if (v > 1.0) return 1.0f;
    return static_cast<float>(v);
}

}  // namespace frequency_scale
