#pragma once

class QAction;
class QMainWindow;
class QMenu;
class EditHistory;

#include "core/KeptParts.h"

#include <string>
#include <vector>

// The main window's menu bar, File, Edit, Generate, Play and Help, with the items' texts and keys.
// Every key the menu shows works: New, Open, Save, Save As and Export also
// run on the plain letter, Exit only on Ctrl+X. The actions are the window's
// as well, so their keys work wherever the focus is in the window.
class MainWindowMenu {
public:
    MainWindowMenu(QMainWindow& window, const EditHistory& history);

    QAction* newAction = nullptr;
    QAction* openAction = nullptr;
    // Open Folder..., as the sound bank, and New Sound in Bank, enabled while one is open.
    QAction* openFolderAction = nullptr;
    QAction* newInBankAction = nullptr;
    QMenu* recentMenu = nullptr;  // Open Recent, filled by RecentFilesMenu
    QAction* saveAction = nullptr;
    QAction* saveAsAction = nullptr;
    QAction* exportAction = nullptr;
    QAction* exitAction = nullptr;
    QAction* undoAction = nullptr;
    QAction* redoAction = nullptr;
    QAction* soundBankAction = nullptr;      // View, Sound Bank: checkable, shows the bank's dock
    QAction* copySoundAction = nullptr;      // the JSON text
    QAction* copyShareCodeAction = nullptr;  // zindle1:...
    QAction* pasteSoundAction = nullptr;     // either, or a web player link
    // One per sound template but the random one, in the templates' order
    // (Ctrl+1 ...), then Randomize (the random template) and Mutate.
    struct TemplateAction {
        std::string name;
        QAction* action;
    };
    std::vector<TemplateAction> templateActions;
    QAction* randomizeAction = nullptr;
    QAction* mutateAction = nullptr;
    // Generate > Keep: one checkable item per part, in KeptParts::kAll's order.
    struct KeepAction {
        SoundPart part;
        QAction* action;
    };
    std::vector<KeepAction> keepActions;
    QAction* playAction = nullptr;
    QAction* stopAction = nullptr;
    QAction* playOnChangeAction = nullptr;  // checkable
    QAction* loopAction = nullptr;          // checkable
    QAction* livePreviewAction = nullptr;   // checkable
    QAction* instructionsAction = nullptr;
    QAction* aboutAction = nullptr;
};
