#include "ui/controls/OptionGroup.h"

OptionGroup::OptionGroup(const DrawingTools& tools) : tools_(tools) {}

void OptionGroup::add(const QString& caption, int value) {
    buttons_.emplace_back(tools_);
    buttons_.back().define(caption, value);
}

int OptionGroup::hit(int x, int y) const {
    for (int i = 0; i < size(); ++i)
        if (button(i).hitTest(x, y)) return i;
    return -1;
}

int OptionGroup::select(int index) {
    for (OptionButton& b : buttons_) {
        if (!b.isPressed()) continue;
        b.setPressed(false);
        b.draw();
    }
    if (index < 0 || index >= size()) return 0;
    OptionButton& chosen = button(index);
    chosen.setPressed(true);
    chosen.draw();
    return chosen.value();
}

void OptionGroup::selectValue(int value) {
    for (OptionButton& b : buttons_) b.setPressed(b.value() == value);
}

int OptionGroup::pressedIndex() const {
    for (int i = 0; i < size(); ++i)
        if (button(i).isPressed()) return i;
    return -1;
}
