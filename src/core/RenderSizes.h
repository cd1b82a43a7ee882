#pragma once

#include <cstdint>

// The sizes of a rendered sound, worked out from its format and durations
// alone: what RenderedSound allocates, known without allocating.
struct RenderSizes {
    float lengthMs = 0;        // the main part, over which the envelopes run
    float totalMs = 0;         // with the echo tail
    int32_t mainSamples = 0;   // W
    int32_t totalSamples = 0;  // N
    uint64_t dataBytes = 0;    // one copy of the samples
    // False when ten copies of the samples would not fit a WAV file's 32-bit
    // sizes: such a sound gets no buffer.
    bool fits = true;
};

namespace render_sizes {

// The main part followed by its echo tail of three delays.
float totalMs(float lengthMs, float echoDelay);
RenderSizes of(int32_t rate, int bits, float lengthMs, float totalMs);

}  // namespace render_sizes
