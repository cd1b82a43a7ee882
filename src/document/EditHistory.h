#pragma once

#include "document/SettingsStep.h"

#include <QObject>
#include <QString>

#include <cstddef>
#include <deque>
#include <memory>

// The undo history: the steps in order, an index (the steps below it are done,
// those from it on were undone) and the index of the saved state. It keeps at
// most `countLimit` steps and, beyond `byteLimit` bytes by the steps' own
// estimates, drops the oldest until it is under the limit again; the newest
// step always stays, so the last edit can be undone whatever its size.
// (QUndoStack bounds the count only, and only when set while empty.)
class EditHistory : public QObject {
    Q_OBJECT
public:
    EditHistory(int countLimit, size_t byteLimit);
    ~EditHistory() override;

    // Runs the step's redo, discards the undone steps, appends it and drops
    // the oldest beyond the limits.
    void push(std::unique_ptr<SettingsStep> step);
    void undo();
    void redo();
    // Forgets every step; the state now is the saved one.
    void clear();

    bool canUndo() const { return index_ > 0; }
    bool canRedo() const { return index_ < count(); }
    // The name of the step undo or redo would take; empty when there is none.
    QString undoText() const;
    QString redoText() const;

    int count() const { return static_cast<int>(steps_.size()); }
    int index() const { return index_; }
    const SettingsStep* command(int i) const { return steps_.at(static_cast<size_t>(i)).get(); }
    // The sum of the steps' estimates.
    size_t bytes() const { return bytes_; }

    // The state now is the saved one; isClean() while the index is back there.
    void setClean();
    bool isClean() const { return index_ == cleanIndex_; }

signals:
    // After every change of the steps or the index (the menu's texts follow).
    void indexChanged(int index);
    void cleanChanged(bool clean);

private:
    void dropOldest();
    void changed(bool wasClean);

    const int countLimit_;
    const size_t byteLimit_;
    std::deque<std::unique_ptr<SettingsStep>> steps_;
    int index_ = 0;
    int cleanIndex_ = 0;  // -1: the saved state is no longer in the history
    size_t bytes_ = 0;
};
