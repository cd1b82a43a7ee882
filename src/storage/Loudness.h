#pragma once

class RenderedSound;

// How loud a sound is, as a file of it would be measured: its sample peak and
// its loudness by ITU-R BS.1770 / EBU R128 (libebur128).
namespace loudness {

struct Level {
    double peakDb;        // dBFS of the largest sample against the width's full scale
    double loudnessLufs;  // integrated loudness; -infinity for a silent sound (both are)
};

// The sound as it is exported: its samples `repeats` times in a row (limited
// to 1..10, as the WAV image is). Integrated loudness is gated over 400 ms
// blocks; a sound shorter than one block is measured as one block over its
// whole length instead, so that short effects still get a figure.
Level measure(const RenderedSound& sound, int repeats);

}  // namespace loudness
