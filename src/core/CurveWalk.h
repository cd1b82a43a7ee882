#pragma once

#include <cmath>
#include <cstdint>

// Walking a curve's segments sample by sample, as the renderer does: shared
// by the render and the helper that works ahead on the frequency curve, so
// that both find the same segment at every sample.
namespace curve_walk {

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
inline int32_t firstBeyond(double end, int32_t from, int32_t to, double W) {
    if (!(end < 1.0)) return to;  // every m / W < 1 (also: NaN never compares true)
    const double guess = std::floor(end * W);
    int32_t m = guess <= double(from) ? from : guess >= double(to) ? to : static_cast<int32_t>(guess);
    while (m > from && double(m - 1) / W > end) --m;
    while (m < to && !(double(m) / W > end)) ++m;
    return m;
}

}  // namespace curve_walk
