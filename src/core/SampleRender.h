#pragma once

#include <cstdint>
#include <limits>

class Envelope;
class RenderHelper;

// The render algorithm proper: envelopes and waveform, distortion, echo, into
// a buffer of N samples of 8 or 16 bits.
namespace sample_render {

class PhaseMemory;

struct Input {
    const float* table;  // 360 entries
    const Envelope* amplitude;
    const Envelope* frequency;
    float echoVolume, echoDelay, distort;
    int32_t rate, W, N;
    // Samples from here on may be left as they were (a preview that shows
    // the main part only); N renders them all.
    int32_t stopAt = std::numeric_limits<int32_t>::max();
    // A thread that works ahead on the frequency curve (a long main part);
    // none renders all on the caller's.
    RenderHelper* helper = nullptr;
    // The phases of the last render on this thread, taken where the
    // frequency curve agrees and kept for the next; none steps them all.
    PhaseMemory* memory = nullptr;
};

// Writes the N samples (at least those before stopAt, every one of them
// exact); nothing when N < 1 or the width is neither 8 nor 16.
void render(uint8_t* out, int bits, const Input& in);

// Writes samples [from, to) of the echo tail (those from W on), the same
// bytes render() gives, once every sample before `from` is exact (a render
// that stopped at W, then the tail piece by piece).
void renderTail(uint8_t* out, int bits, const Input& in, int32_t from, int32_t to);

}  // namespace sample_render
