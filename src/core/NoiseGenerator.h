#pragma once

#include <cstdint>

// The program's own linear congruential generator. Noise tables are built from
// its exact sequence, so that every noise sound renders the same on every build
// and platform; a library random function cannot stand in for it.
class NoiseGenerator {
public:
    explicit NoiseGenerator(uint32_t seed) : state_(seed) {}

    // 0..32767
    int next() {
        state_ = state_ * 214013u + 2531011u;
        return static_cast<int>((state_ >> 16) & 0x7FFFu);
    }

private:
    uint32_t state_;
};
