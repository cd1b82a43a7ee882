#pragma once

#include "SoundSettings.h"

#include <cstdint>

// A variation of a sound: every curve point and slider nudged at random by up
// to an amount, the same for the same sound, seed and amount on every machine
// and build (see SeededRandom).
namespace sound_mutation {

constexpr float kDefaultAmount = 0.1f;

// Moves, each by a draw in [-amount, amount), in this order:
//  - amplitude, then frequency: every point's value, limited to 0..1; then the
//    time of every inner group of points that share one time (a vertical step
//    moves as one), limited to lie between the neighbouring groups. The first
//    and last times stay 0 and 1;
//  - length, distort, echoVolume and echoDelay, limited to 0..1.
// Waveform, sample rate, width and repeat count are kept. `amount` is clamped
// to 0..1 (NaN counts as 0); at 0 a sound with valid curves and sliders in
// 0..1 comes back bit for bit. A curve that breaks the Envelope invariants
// (which only a loader could hand over) is copied as it is, without draws.
SoundSettings mutate(const SoundSettings& sound, uint64_t seed, float amount = kDefaultAmount);

}  // namespace sound_mutation
