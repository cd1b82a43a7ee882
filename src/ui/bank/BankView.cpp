#include "ui/bank/BankView.h"

#include <QHeaderView>
#include <QKeyEvent>

namespace {

bool isOwnKey(const QKeyEvent& key) {
    if (key.modifiers() & ~Qt::KeypadModifier) return false;
    return key.key() == Qt::Key_Space || key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter;
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
    if (event->type() == QEvent::ShortcutOverride && isOwnKey(*static_cast<QKeyEvent*>(event))) {
        event->accept();
        return true;
    }
    return QTreeView::event(event);
}

void BankView::keyPressEvent(QKeyEvent* event) {
    if (isOwnKey(*event)) {
        if (event->key() == Qt::Key_Space)
            emit playWanted(currentIndex());
        else
            emit openWanted(currentIndex());
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
