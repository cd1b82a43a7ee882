#include "MainWindowMenu.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

namespace {

// An item run by Ctrl with the letter (shown in the menu) and by the letter alone.
QAction* addLetterItem(QMenu* menu, const QString& text, Qt::Key letter) {
    QAction* action = menu->addAction(text);
    action->setShortcuts({QKeySequence(Qt::CTRL | letter), QKeySequence(letter)});
    return action;
}

}  // namespace

MainWindowMenu::MainWindowMenu(QMainWindow& window) {
    QMenu* file = window.menuBar()->addMenu(QObject::tr("&File"));
    newAction = addLetterItem(file, QObject::tr("&New\tCtrl+N"), Qt::Key_N);
    file->addSeparator();
    openAction = addLetterItem(file, QObject::tr("&Open...\tCtrl+O"), Qt::Key_O);
    saveAction = addLetterItem(file, QObject::tr("&Save\tCtrl+S"), Qt::Key_S);
    saveAsAction = addLetterItem(file, QObject::tr("Save &as...\tCtrl+A"), Qt::Key_A);
    exportAction = addLetterItem(file, QObject::tr("Export WAV...\tCtrl+E"), Qt::Key_E);
    file->addSeparator();
    exitAction = file->addAction(QObject::tr("E&xit\tCtrl+X"));
    exitAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_X));

    QMenu* help = window.menuBar()->addMenu(QObject::tr("&Help"));
    instructionsAction = help->addAction(QObject::tr("Instructions"));
    help->addSeparator();
    aboutAction = help->addAction(QObject::tr("&About"));
    aboutAction->setShortcuts({QKeySequence(Qt::ALT | Qt::Key_Slash), QKeySequence(Qt::ALT | Qt::Key_Question)});

    window.addActions({newAction, openAction, saveAction, saveAsAction, exportAction, exitAction,
                       instructionsAction, aboutAction});
}
