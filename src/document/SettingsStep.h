#pragma once

#include "core/SoundSettings.h"

#include <QString>

#include <cstddef>
#include <functional>

// One undoable edit: the whole settings before and after it, so that undo
// gives back exactly what was there, bit for bit. The two snapshots share the
// curves the edit left alone (Envelope copies share their points), and the
// "before" shares all of its curves with the step under it.
class SettingsStep {
public:
    using Apply = std::function<void(const SoundSettings&)>;

    SettingsStep(const QString& name, SoundSettings before, SoundSettings after, Apply apply);

    void undo() { apply_(before_); }
    void redo() { apply_(after_); }

    const QString& text() const { return name_; }
    const SoundSettings& before() const { return before_; }
    const SoundSettings& after() const { return after_; }

    // What this step alone keeps alive: itself and the curves of "before" that
    // "after" does not share (the ones only undo needs). The curves of
    // "after" are the sound itself or the next step's "before", so the oldest
    // step gives back this much when it goes.
    size_t bytes() const { return bytes_; }

private:
    QString name_;
    SoundSettings before_;
    SoundSettings after_;
    Apply apply_;
    size_t bytes_;
};
