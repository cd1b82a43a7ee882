#pragma once

#include <QString>

// The 99 notes the frequency dialog offers, [0] C to [8] D, equally tempered
// around A at 440 Hz.
namespace note_list {

constexpr int kCount = 99;
constexpr int kA440 = 57;  // [4] A

// "[octave] name" of entry k, e.g. "[4] A" for 57.
QString name(int k);
// The pitch of entry k in Hz.
double hz(int k);
// The entry nearest to a pitch (half a semitone rounds away from A 440),
// limited to 0 .. kCount - 1.
int nearest(float hz);

}  // namespace note_list
