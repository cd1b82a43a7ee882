#pragma once

#include "SoundSettings.h"

#include <QUndoCommand>

#include <functional>

// One undoable edit: the whole settings before and after it. A snapshot is
// small (two curves and a few numbers), and undo then gives back exactly
// what was there, bit for bit.
class SettingsStep : public QUndoCommand {
public:
    using Apply = std::function<void(const SoundSettings&)>;

    SettingsStep(const QString& name, SoundSettings before, SoundSettings after, Apply apply);

    void undo() override;
    void redo() override;

    const SoundSettings& before() const { return before_; }
    const SoundSettings& after() const { return after_; }

private:
    SoundSettings before_;
    SoundSettings after_;
    Apply apply_;
};
