#pragma once

#include "ui/controls/SliderValue.h"

#include <optional>

// Asks for the exact value of one slider: the value dialog in the window, a
// script in tests.
class SliderValueAsker {
public:
    virtual ~SliderValueAsker() = default;
    // The value typed into the field, or nothing when the user cancelled.
    virtual std::optional<int> ask(const slider_value::Field& field) = 0;
};
