#include "ui/window/MenuBarKeys.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QWindow>

MenuBarKeys::MenuBarKeys(QMainWindow& window, QAction& escape) : QObject(&window), window_(window), escape_(escape) {
    QMenuBar* bar = window.menuBar();
    bar->installEventFilter(this);
    // Queued: a menu is still up while it announces that it hides, and the
    // platform may hand the activation to it later still.
    for (QAction* title : bar->actions()) {
        if (QMenu* menu = title->menu())
            connect(menu, &QMenu::aboutToHide, this, &MenuBarKeys::reactivate, Qt::QueuedConnection);
    }
    connect(qApp, &QGuiApplication::focusWindowChanged, this, &MenuBarKeys::reactivate, Qt::QueuedConnection);
}

void MenuBarKeys::reactivate() {
    // Only a window that is gone may be left holding the activation: nothing
    // is taken from another program, a dialog or a menu that is up.
    const QWindow* focus = QGuiApplication::focusWindow();
    if (!focus || focus->isVisible() || !window_.isVisible()) return;
    window_.activateWindow();
}

bool MenuBarKeys::eventFilter(QObject* watched, QEvent* event) {
    // The bar only gets a key press with no menu open, and only one that no
    // shortcut took.
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Escape && key->modifiers() == Qt::NoModifier && escape_.isEnabled())
            escape_.trigger();
    }
    return QObject::eventFilter(watched, event);
}
