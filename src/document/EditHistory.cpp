#include "document/EditHistory.h"

EditHistory::EditHistory(int countLimit, size_t byteLimit) : countLimit_(countLimit), byteLimit_(byteLimit) {}

EditHistory::~EditHistory() = default;

void EditHistory::push(std::unique_ptr<SettingsStep> step) {
    const bool wasClean = isClean();
    step->redo();
    while (count() > index_) {
        bytes_ -= steps_.back()->bytes();
        steps_.pop_back();
    }
    if (cleanIndex_ > index_) cleanIndex_ = -1;  // the saved state was undone and is now replaced
    bytes_ += step->bytes();
    steps_.push_back(std::move(step));
    ++index_;
    while (count() > countLimit_ || (bytes_ > byteLimit_ && count() > 1)) dropOldest();
    changed(wasClean);
}

void EditHistory::dropOldest() {
    bytes_ -= steps_.front()->bytes();
    steps_.pop_front();
    --index_;
    if (cleanIndex_ == 0)
        cleanIndex_ = -1;
    else if (cleanIndex_ > 0)
        --cleanIndex_;
}

void EditHistory::undo() {
    if (!canUndo()) return;
    const bool wasClean = isClean();
    // The index moves after the step has run, as the edit path expects.
    steps_[static_cast<size_t>(index_) - 1]->undo();
    --index_;
    changed(wasClean);
}

void EditHistory::redo() {
    if (!canRedo()) return;
    const bool wasClean = isClean();
    steps_[static_cast<size_t>(index_)]->redo();
    ++index_;
    changed(wasClean);
}

void EditHistory::clear() {
    const bool wasClean = isClean();
    steps_.clear();
    index_ = 0;
    cleanIndex_ = 0;
    bytes_ = 0;
    changed(wasClean);
}

QString EditHistory::undoText() const { return canUndo() ? command(index_ - 1)->text() : QString(); }

QString EditHistory::redoText() const { return canRedo() ? command(index_)->text() : QString(); }

void EditHistory::setClean() {
    const bool wasClean = isClean();
    cleanIndex_ = index_;
    changed(wasClean);
}

void EditHistory::changed(bool wasClean) {
    emit indexChanged(index_);
    if (isClean() != wasClean) emit cleanChanged(isClean());
}
