#include "core/SoundMutation.h"

#include "core/FrequencyScale.h"
#include "core/SeededRandom.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace sound_mutation {

namespace {

// The change of frequency value that is one octave: Hz = 10 x 10^(kLog484 v),
// so doubling the pitch adds log10(2) / kLog484 to v, whatever v is.
constexpr double kOctave = 0.30102999566398120 / double(frequency_scale::kLog484);

// NaN, which only a broken file could bring, becomes lo.
float limited(float x, float lo, float hi) { return !(x >= lo) ? lo : (x > hi ? hi : x); }

// a x u: u and the amount are both floats of at most 24 significant bits, so
// their product is exact in double.
double draw(SeededRandom& rng, float amount) { return double(rng.signedUnit()) * double(amount); }

float scaled(float x, double factor, float hi) {
    if (factor == 1.0) return limited(x, 0.0f, hi);  // keeps even the sign of a zero
    return limited(static_cast<float>(double(x) * factor), 0.0f, hi);
}

float shifted(float x, double delta) {
    if (delta == 0.0) return limited(x, 0.0f, 1.0f);
    return limited(static_cast<float>(double(x) + delta), 0.0f, 1.0f);
}

// Length moves as the duration it gives: lengthMs is max(20, length^2 x 10^4).
// sqrt rounds correctly everywhere, as + - x / do.
float scaledLength(float length, double factor) {
    if (factor == 1.0) return limited(length, 0.0f, 1.0f);
    const double ms = lengthMs(length) * factor;
    return limited(static_cast<float>(std::sqrt(ms / 10000.0)), 0.0f, 1.0f);
}

// Every inner group of points sharing one time, [begin, end), moves as one by
// u x amount times its distance to the nearer neighbouring group. The left
// neighbour has already moved: the distance is taken to whichever of its two
// places is nearer, so the move keeps within the bound of the original times
// and the group can neither reach its moved left neighbour (amount < 1) nor
// the right one, which in turn moves by at most its distance to this group.
void moveTimes(std::vector<float>& times, SeededRandom& rng, float amount) {
    const std::vector<float> original = times;
    const size_t n = times.size();
    size_t begin = 0;
    while (begin < n && times[begin] == times[0]) ++begin;
    while (begin < n) {
        size_t end = begin;
        while (end < n && original[end] == original[begin]) ++end;
        if (end == n) break;  // the group at time 1 stays
        const double t = original[begin];
        const double left = std::max(original[begin - 1], times[begin - 1]);
        const double distance = std::min(t - left, double(original[end]) - t);
        const double delta = draw(rng, amount) * distance;
        float moved = original[begin];
        if (delta != 0.0) moved = limited(static_cast<float>(t + delta), times[begin - 1], original[end]);
        for (size_t i = begin; i < end; ++i) times[i] = moved;
        begin = end;
    }
}

template <typename MoveValue>
void mutateCurve(Envelope& curve, SeededRandom& rng, float amount, MoveValue moveValue) {
    if (!curve.isValid()) return;
    std::vector<float> times = curve.times();
    std::vector<float> values = curve.values();
    for (float& v : values) v = moveValue(v, draw(rng, amount));
    moveTimes(times, rng, amount);
    curve.assign(times, values);
}

}  // namespace

double powerOfTwo(double x) {
    // e^y = 1 + y (1 + y/2 (1 + y/3 (...))) with y = x ln 2, |y| <= 0.694: the
    // 21st term is below 1e-22.
    const double y = x * 0.69314718055994531;
    double sum = 1.0;
    for (int k = 20; k >= 1; --k) sum = 1.0 + sum * y / double(k);
    return sum;
}

SoundSettings mutate(const SoundSettings& sound, uint64_t seed, float amount) {
    if (!(amount > 0.0f)) amount = 0.0f;
    if (amount > 1.0f) amount = 1.0f;
    SeededRandom rng(seed);
    SoundSettings s = sound;
    mutateCurve(s.amplitude, rng, amount, [](float v, double d) { return scaled(v, powerOfTwo(d), 1.0f); });
    mutateCurve(s.frequency, rng, amount, [](float v, double d) { return shifted(v, d * kOctave); });
    s.length = scaledLength(s.length, powerOfTwo(draw(rng, amount)));
    const bool echo = sound.echoVolume > 0.0f;
    s.distort = scaled(s.distort, powerOfTwo(draw(rng, amount)), 1.0f);
    s.echoVolume = scaled(s.echoVolume, powerOfTwo(draw(rng, amount)), 1.0f);
    s.echoDelay = scaled(s.echoDelay, echo ? powerOfTwo(draw(rng, amount)) : 1.0, 1.0f);
    return s;
}

SoundSettings mutate(const SoundSettings& sound, uint64_t seed, float amount, KeptParts kept) {
    return kept.applied(mutate(sound, seed, amount), sound);
}

}  // namespace sound_mutation
