#pragma once

#include "ui/controls/OptionButton.h"

#include <QStringList>
#include <vector>

class DrawingTools;

// A row of option buttons of which at most one is pressed: the waveform,
// bits, rate and repeats groups.
class OptionGroup {
public:
    explicit OptionGroup(const DrawingTools& tools);

    // Adds a button with its caption and value, in group order.
    void add(const QString& caption, int value);

    int size() const { return static_cast<int>(buttons_.size()); }
    OptionButton& button(int index) { return buttons_[static_cast<size_t>(index)]; }
    const OptionButton& button(int index) const { return buttons_[static_cast<size_t>(index)]; }

    // Index of the first button whose hitTest is true, or -1.
    int hit(int x, int y) const;

    // Releases every pressed button, then presses the one at index (an index
    // outside the group leaves none pressed). Redraws the buttons that changed.
    // Returns the chosen button's value, or 0 when none was chosen.
    int select(int index);

    // Presses exactly the buttons whose value equals `value` (none when no
    // button has it), without drawing: the state after loading settings.
    void selectValue(int value);

    // Index of the pressed button, or -1.
    int pressedIndex() const;

private:
    std::vector<OptionButton> buttons_;
    const DrawingTools& tools_;
};
