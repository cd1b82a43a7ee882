#include "core/Waveforms.h"

namespace waveforms {

const std::array<Info, 18> kButtonOrder = {{
    {WaveformKind::Sine, "Sine"},
    {WaveformKind::Pulse, "Pulse"},
    {WaveformKind::Bipolar, "Bipolar"},
    {WaveformKind::Whistle, "Whistle"},
    {WaveformKind::Down, "Down"},
    {WaveformKind::Up, "Up"},
    {WaveformKind::Square, "Square"},
    {WaveformKind::Triangle, "Triangle"},
    {WaveformKind::Saw, "Saw"},
    {WaveformKind::Organ, "Organ"},
    {WaveformKind::Clarinet, "Clarinet"},
    {WaveformKind::Bassoon, "Bassoon"},
    {WaveformKind::Noise1, "Noise 1"},
    {WaveformKind::Noise2, "Noise 2"},
    {WaveformKind::Noise3, "Noise 3"},
    {WaveformKind::Noise4, "Noise 4"},
    {WaveformKind::Noise5, "Noise 5"},
    {WaveformKind::Noise6, "Noise 6"},
}};

const char* label(int32_t code) {
    for (const Info& info : kButtonOrder)
        if (info.code() == code) return info.label;
    return nullptr;
}

bool isKnown(int32_t code) { return label(code) != nullptr; }

}  // namespace waveforms
