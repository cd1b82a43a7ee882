#pragma once

#include <cstdint>

// The part of a sound after its dry signal has ended for good: from there on
// every sample is only the echo of the stored sample d back, e x a x 0.5
// (silence while nothing lies d back). That product is exact in double for a
// sample e and a float a, so a block shorter than d is one multiply and one
// store per sample, with no dependence inside the block.
namespace echo_tail {

// Writes samples [from, count) of `out` (8 or 16 bits per sample); a > 0,
// d >= 1.
void render(uint8_t* out, int bits, int32_t from, int32_t count, int32_t d, float a);

}  // namespace echo_tail
