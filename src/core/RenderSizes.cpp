#include "core/RenderSizes.h"

#include <limits>

namespace render_sizes {

namespace {

// The millisecond factor as a float: a hair above 0.001, so that products such
// as 11025 Hz x 1000 ms land just above the whole number and never lose a
// sample to truncation. Every sample count ever rendered depends on it.
constexpr float kMsFactor = 0.001f;

// Ten copies of the largest sound must still fit a WAV file's 32-bit sizes.
constexpr double kMaxDataBytes = double((std::numeric_limits<uint32_t>::max() - 36u) / 10u);

// trunc(rate x ms x 0.001), limited to what a buffer can be; NaN and
// negatives give 0 samples.
int32_t samplesIn(int32_t rate, float ms) {
    const double product = double(rate) * double(ms) * double(kMsFactor);
    if (!(product >= 1.0)) return 0;
    if (product >= double(std::numeric_limits<int32_t>::max())) return std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(product);
}

}  // namespace

float totalMs(float lengthMs, float echoDelay) {
    return static_cast<float>(double(lengthMs) * (3.0 * double(echoDelay) + 1.0));
}

RenderSizes of(int32_t rate, int bits, float lengthMs, float totalMs) {
    RenderSizes sizes;
    sizes.lengthMs = lengthMs;
    sizes.totalMs = totalMs;
    sizes.mainSamples = samplesIn(rate, lengthMs);
    sizes.totalSamples = samplesIn(rate, totalMs);
    const double bytes = double(sizes.totalSamples) * (bits / 8);
    sizes.fits = bytes <= kMaxDataBytes;
    sizes.dataBytes = sizes.fits ? uint64_t(bytes) : 0;
    return sizes;
}

}  // namespace render_sizes
