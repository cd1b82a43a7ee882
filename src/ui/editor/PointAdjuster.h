#pragma once

#include "core/Envelope.h"

#include <optional>

// Asks for the exact values of one point of a curve: the Adjust Point dialog
// in the window, a script in tests.
class PointAdjuster {
public:
    virtual ~PointAdjuster() = default;
    // The curve with point `index` edited, or nothing when the user cancelled.
    virtual std::optional<Envelope> adjust(const Envelope& curve, int index) = 0;
};
