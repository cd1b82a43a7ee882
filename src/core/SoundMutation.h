#pragma once

#include "core/KeptParts.h"
#include "core/SoundSettings.h"

#include <cstdint>

// A variation of a sound: every curve point and slider nudged at random, in
// the units a person hears, by up to an amount; the same for the same sound,
// seed and amount on every machine and build (see SeededRandom).
namespace sound_mutation {

constexpr float kDefaultAmount = 0.1f;

// With `amount` a and each move its own draw u in [-1, 1), in this order:
//  - amplitude: every value times 2^(a u), at most 1 (a 0 stays 0); then the
//    time of every inner group of points that share one time (a vertical step
//    moves as one) by a u times its distance to the nearer neighbouring group,
//    so the order stays. The first and last times stay 0 and 1;
//  - frequency: every value by a u x 12 semitones, limited to 0..1; then its
//    times as for amplitude;
//  - length: the main part's duration (lengthMs) times 2^(a u);
//  - distort and echoVolume times 2^(a u), at most 1 (0 stays 0); echoDelay
//    the same when there is an echo (echoVolume above 0), else it is kept.
// So at a = 0.1 the length and levels move by at most 7%, each pitch by 1.2
// semitones. Waveform, sample rate, width and repeat count are kept. `amount`
// is clamped to 0..1 (NaN counts as 0); at 0 a sound with valid curves and
// sliders in 0..1 comes back bit for bit. Sliders outside 0..1 come back
// limited to it. A curve that breaks the Envelope invariants (which only a
// loader could hand over) is copied as it is, without draws.
SoundSettings mutate(const SoundSettings& sound, uint64_t seed, float amount = kDefaultAmount);

// The same variation with the `kept` parts of `sound` left as they are, bit
// for bit: the draws are the same, so every other part moves as it would
// have. Every moved value stays in its range, so nothing else gives way
// (with Length kept, the echo's delay moves as a share of the same length).
SoundSettings mutate(const SoundSettings& sound, uint64_t seed, float amount, KeptParts kept);

// 2^x for |x| <= 1 through + x / only, in one fixed order: the same bits on
// every machine, unlike std::exp2, which is not required to round correctly.
// Within a few units in the last place of double.
double powerOfTwo(double x);

}  // namespace sound_mutation
