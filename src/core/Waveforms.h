#pragma once

#include <array>
#include <cstdint>

// The eighteen waveform codes. The codes, not the button positions, are what
// sound files store, so they must never be renumbered.
namespace waveforms {

struct Info {
    int32_t code;
    const char* label;
};

// In the order the waveform buttons show them.
extern const std::array<Info, 18> kButtonOrder;

// The button label of a code, or nullptr for a code that is not one of the 18.
const char* label(int32_t code);
bool isKnown(int32_t code);

}  // namespace waveforms
