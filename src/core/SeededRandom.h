#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// The generator behind sound templates and mutation: splitmix64, written out
// here so that a seed gives the same sound on every machine, compiler and
// standard library. The state starts at the seed; each next() adds
// 0x9E3779B97F4A7C15 and returns the state mixed by two xor-shift-multiplies.
// The mappings to ranges below use only integer operations and products that
// are exact in double, never std:: distributions, whose results differ
// between library implementations.
class SeededRandom {
public:
    explicit SeededRandom(uint64_t seed) : state_(seed) {}

    uint64_t next();

    // [0, 1) in steps of 2^-24: the top 24 bits, exact as a float.
    float unit();
    // [-1, 1) in steps of 2^-23.
    float signedUnit();
    // lo + (hi - lo) x unit(), rounded once to float; within [lo, hi].
    float between(float lo, float hi);
    // 0 .. n-1 from the top 32 bits (multiply and shift, no modulo); 0 for n <= 0.
    int below(int n);
    // True in `percent` of the draws.
    bool chance(int percent) { return below(100) < percent; }

    template <typename T, size_t N>
    const T& pick(const std::array<T, N>& items) {
        return items[static_cast<size_t>(below(static_cast<int>(N)))];
    }

private:
    uint64_t state_;
};
