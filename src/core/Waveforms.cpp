#include "Waveforms.h"

namespace waveforms {

const std::array<Info, 18> kButtonOrder = {{
    {100, "Sine"},     {203, "Pulse"},    {204, "Bipolar"},  {101, "Whistle"}, {205, "Down"},
    {206, "Up"},       {200, "Square"},   {202, "Triangle"}, {201, "Saw"},     {300, "Organ"},
    {303, "Clarinet"}, {304, "Bassoon"},  {400, "Noise 1"},  {401, "Noise 2"}, {402, "Noise 3"},
    {403, "Noise 4"},  {404, "Noise 5"},  {405, "Noise 6"},
}};

const char* label(int32_t code) {
    for (const Info& info : kButtonOrder)
        if (info.code == code) return info.label;
    return nullptr;
}

bool isKnown(int32_t code) { return label(code) != nullptr; }

}  // namespace waveforms
