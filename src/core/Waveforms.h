#pragma once

#include <array>
#include <cstdint>

// The eighteen waveforms by name. The codes, not the button positions, are
// what sound files store, so they must never be renumbered.
enum class WaveformKind : int32_t {
    Sine = 100,
    Whistle = 101,
    Square = 200,
    Saw = 201,
    Triangle = 202,
    Pulse = 203,
    Bipolar = 204,
    Down = 205,
    Up = 206,
    Organ = 300,
    Clarinet = 303,
    Bassoon = 304,
    Noise1 = 400,
    Noise2 = 401,
    Noise3 = 402,
    Noise4 = 403,
    Noise5 = 404,
    Noise6 = 405,
};

namespace waveforms {

// The code a file stores for a kind.
constexpr int32_t code(WaveformKind kind) { return static_cast<int32_t>(kind); }

struct Info {
    WaveformKind kind;
    const char* label;
    constexpr int32_t code() const { return waveforms::code(kind); }
};

// The one table of every waveform: its name, its label, and (by its order)
// where its button is.
extern const std::array<Info, 18> kButtonOrder;

// The button label of a code, or nullptr for a code that is not one of the 18.
const char* label(int32_t code);
bool isKnown(int32_t code);
// Noise 1 to Noise 6: their tables come from the noise generator.
constexpr bool isNoise(int32_t c) { return c >= code(WaveformKind::Noise1) && c <= code(WaveformKind::Noise6); }

}  // namespace waveforms
