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
    QTreeView::keyPressEvent(event);
}
