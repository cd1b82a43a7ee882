#pragma once

#include <cstdint>

class Envelope;

// The render algorithm proper: envelopes and waveform, distortion, echo, into
// a buffer of N samples of 8 or 16 bits.
namespace sample_render {

struct Input {
    const float* table;  // 360 entries
    const Envelope* amplitude;
    const Envelope* frequency;
    float echoVolume, echoDelay, distort;
    int32_t rate, W, N;
};

// Writes all N samples; nothing when N < 1 or the width is neither 8 nor 16.
void render(uint8_t* out, int bits, const Input& in);

}  // namespace sample_render
