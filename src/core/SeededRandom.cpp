#include "core/SeededRandom.h"

uint64_t SeededRandom::next() {
    state_ += 0x9E3779B97F4A7C15ull;
    uint64_t z = state_;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

float SeededRandom::unit() { return static_cast<float>(next() >> 40) * 0x1p-24f; }

float SeededRandom::signedUnit() { return static_cast<float>(next() >> 40) * 0x1p-23f - 1.0f; }

float SeededRandom::between(float lo, float hi) {
    // A 24-bit unit times a float difference is exact in double, so the one
    // rounding is the final one, whether or not the compiler fuses the add.
    const double u = unit();
    const float r = static_cast<float>(double(lo) + (double(hi) - double(lo)) * u);
    return r < lo ? lo : (r > hi ? hi : r);
}

int SeededRandom::below(int n) {
    if (n <= 0) return 0;
    return static_cast<int>(((next() >> 32) * static_cast<uint64_t>(n)) >> 32);
}
