#pragma once

#include "core/Envelope.h"

#include <algorithm>
#include <random>
#include <vector>

// A valid curve of 2..9 points: sloped, stepped (shared times), sometimes with
// a zero-duration first segment, values spread or taken from a few levels.
inline Envelope randomCurve(std::mt19937& rng, EnvelopeKind kind) {
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    const int count = 2 + int(rng() % 8);
    std::vector<float> times(static_cast<size_t>(count)), values(static_cast<size_t>(count));
    for (float& t : times) t = unit(rng);
    std::sort(times.begin(), times.end());
    for (int i = 1; i + 1 < count; ++i)
        if (rng() % 4 == 0) times[size_t(i)] = times[size_t(i) - 1];  // a vertical step
    times.front() = 0.0f;
    times.back() = 1.0f;
    if (count > 2 && rng() % 8 == 0) times[1] = 0.0f;
    const bool levels = rng() % 3 == 0;
    for (float& v : values) v = levels ? float(rng() % 5) / 4.0f : unit(rng);
    Envelope e(kind);
    e.assign(times, values);
    return e;
}
