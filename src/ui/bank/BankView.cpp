#include "ui/bank/BankView.h"

#include <QHeaderView>
#include <QKeyEvent>

namespace {

enum class Command { None, Play, Open, Rename, Delete, Duplicate };

Command commandOf(const QKeyEvent& key) {
    const Qt::KeyboardModifiers modifiers = key.modifiers() & ~Qt::KeypadModifier;
    if (modifiers == Qt::ControlModifier) return key.key() == Qt::Key_D ? Command::Duplicate : Command::None;
    if (modifiers != Qt::NoModifier) return Command::None;
    switch (key.key()) {
    case Qt::Key_Space: return Command::Play;
    case Qt::Key_Return:
    case Qt::Key_Enter: return Command::Open;
    case Qt::Key_F2: return Command::Rename;
    case Qt::Key_Delete: return Command::Delete;
    default: return Command::None;
    }
}

}  // namespace

BankView::BankView(QWidget* parent) : QTreeView(parent) {
    setRootIsDecorated(false);
    setUniformRowHeights(true);  // a thousand rows lay out at once
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setItemsExpandable(false);
    header()->setStretchLastSection(false);
    connect(this, &QAbstractItemView::doubleClicked, this, &BankView::openWanted);
}

bool BankView::event(QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride && commandOf(*static_cast<QKeyEvent*>(event)) != Command::None) {
        event->accept();
        return true;
    }
    return QTreeView::event(event);
}

void BankView::keyPressEvent(QKeyEvent* event) {
    const Command command = commandOf(*event);
    if (command != Command::None) {
        const QModelIndex index = currentIndex();
        switch (command) {
        case Command::Play: emit playWanted(index); break;
        case Command::Open: emit openWanted(index); break;
        case Command::Rename: emit renameWanted(index); break;
        case Command::Delete: emit deleteWanted(index); break;
        case Command::Duplicate: emit duplicateWanted(index); break;
        case Command::None: break;
        }
        event->accept();
        return;
    }
    const QModelIndex before = currentIndex();
    QTreeView::keyPressEvent(event);
    if (currentIndex() != before) emit playWanted(currentIndex());
}

void BankView::focusInEvent(QFocusEvent* event) {
    const bool hadCurrent = currentIndex().isValid();
    QTreeView::focusInEvent(event);
    // Qt makes the first row current as the focus comes in, so that the
    // first Down would skip it: the first Down is to play the first sound.
    if (!hadCurrent && !selectionModel()->hasSelection()) selectionModel()->clearCurrentIndex();
}

void BankView::mousePressEvent(QMouseEvent* event) {
    const QModelIndex before = currentIndex();
    QTreeView::mousePressEvent(event);
    if (currentIndex() != before) emit playWanted(currentIndex());
}
