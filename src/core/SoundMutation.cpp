#include "SoundMutation.h"

#include "SeededRandom.h"

#include <vector>

namespace sound_mutation {

namespace {

// NaN, which only a broken file could bring, becomes lo.
float limited(float x, float lo, float hi) { return !(x >= lo) ? lo : (x > hi ? hi : x); }

// x + u x amount, rounded once to float: u and amount are both floats of at
// most 24 significant bits, so their product is exact in double.
float nudged(float x, SeededRandom& rng, float amount, float lo, float hi) {
    const double delta = double(rng.signedUnit()) * double(amount);
    if (delta == 0.0) return limited(x, lo, hi);  // keeps even the sign of a zero
    return limited(static_cast<float>(double(x) + delta), lo, hi);
}

void mutateCurve(Envelope& curve, SeededRandom& rng, float amount) {
    if (!curve.isValid()) return;
    std::vector<float> times = curve.times();
    std::vector<float> values = curve.values();
    for (float& v : values) v = nudged(v, rng, amount, 0.0f, 1.0f);

    // Groups of points sharing one time, [begin, end). The first group holds
    // time 0 and the last time 1; both stay.
    const size_t n = times.size();
    size_t begin = 0;
    while (begin < n && times[begin] == times[0]) ++begin;
    while (begin < n) {
        size_t end = begin;
        while (end < n && times[end] == times[begin]) ++end;
        if (end == n) break;  // the group at time 1
        // The left neighbour has already moved, the right one not yet: both
        // bound the original time, so it always lies within the limits.
        const float t = nudged(times[begin], rng, amount, times[begin - 1], times[end]);
        for (size_t i = begin; i < end; ++i) times[i] = t;
        begin = end;
    }
    curve.assign(times, values);
}

}  // namespace

SoundSettings mutate(const SoundSettings& sound, uint64_t seed, float amount) {
    if (!(amount > 0.0f)) amount = 0.0f;
    if (amount > 1.0f) amount = 1.0f;
    SeededRandom rng(seed);
    SoundSettings s = sound;
    mutateCurve(s.amplitude, rng, amount);
    mutateCurve(s.frequency, rng, amount);
    for (float* slider : {&s.length, &s.distort, &s.echoVolume, &s.echoDelay})
        *slider = nudged(*slider, rng, amount, 0.0f, 1.0f);
    return s;
}

}  // namespace sound_mutation
