#pragma once

class QAction;
class QMainWindow;

// The main window's menu bar, File and Help, with the items' texts and keys.
// Every key the menu shows works: New, Open, Save, Save As and Export also
// run on the plain letter, Exit only on Ctrl+X. The actions are the window's
// as well, so their keys work wherever the focus is in the window.
class MainWindowMenu {
public:
    explicit MainWindowMenu(QMainWindow& window);

    QAction* newAction = nullptr;
    QAction* openAction = nullptr;
    QAction* saveAction = nullptr;
    QAction* saveAsAction = nullptr;
    QAction* exportAction = nullptr;
    QAction* exitAction = nullptr;
    QAction* instructionsAction = nullptr;
    QAction* aboutAction = nullptr;
};
