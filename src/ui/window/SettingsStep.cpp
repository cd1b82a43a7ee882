#include "SettingsStep.h"

SettingsStep::SettingsStep(const QString& name, SoundSettings before, SoundSettings after, Apply apply)
    : QUndoCommand(name), before_(std::move(before)), after_(std::move(after)), apply_(std::move(apply)) {}

void SettingsStep::undo() { apply_(before_); }

void SettingsStep::redo() { apply_(after_); }
