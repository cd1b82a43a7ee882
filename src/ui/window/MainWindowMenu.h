#pragma once

class QAction;
class QMainWindow;
class QUndoStack;

// The main window's menu bar, File, Edit, Play and Help, with the items' texts and keys.
// Every key the menu shows works: New, Open, Save, Save As and Export also
// run on the plain letter, Exit only on Ctrl+X. The actions are the window's
// as well, so their keys work wherever the focus is in the window.
class MainWindowMenu {
public:
    MainWindowMenu(QMainWindow& window, QUndoStack& history);

    QAction* newAction = nullptr;
    QAction* openAction = nullptr;
    QAction* saveAction = nullptr;
    QAction* saveAsAction = nullptr;
    QAction* exportAction = nullptr;
    QAction* exitAction = nullptr;
    QAction* undoAction = nullptr;
    QAction* redoAction = nullptr;
    QAction* playAction = nullptr;
    QAction* stopAction = nullptr;
    QAction* playOnChangeAction = nullptr;  // checkable
    QAction* loopAction = nullptr;          // checkable
    QAction* livePreviewAction = nullptr;   // checkable
    QAction* instructionsAction = nullptr;
    QAction* aboutAction = nullptr;
};
