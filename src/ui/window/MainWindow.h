#pragma once

#include "ui/editor/Editor.h"
#include "ui/editor/InputDispatch.h"
#include "ui/window/MainWindowMenu.h"

#include <QMainWindow>

#include <functional>
#include <memory>

class DocumentCommands;
class DocumentState;
class DrawingTools;
class Prompts;
class EditorCanvas;
class QAction;
class QSettings;
class QTimer;
class RecentFiles;
class RecentFilesMenu;
class SoundModel;
class SoundPlayer;

// The editor's only top-level window: the menu, the caption, the size
// limits, the space bar, and the client area (EditorCanvas) that shows the
// views. The window opens with the settings the model holds.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    static constexpr int kMinWidth = 800;
    static constexpr int kMinHeight = 600;
    static constexpr int kMaxSize = 2000;

    MainWindow(SoundModel& model, DocumentState& document, SoundPlayer& player, const DrawingTools& tools,
               QWidget* parent = nullptr);
    ~MainWindow() override;

    Editor& editor() { return *editor_; }
    InputDispatch& dispatch() { return *dispatch_; }
    EditorCanvas* canvas() { return canvas_; }

    // The size of a new window on a screen with this much room: most of the
    // screen, within the size limits.
    static QSize defaultSize(QSize available);

    // Rewrites the caption from the document state.
    void refreshTitle();

    // Asked before the window closes (Exit and the close box alike); false
    // keeps it open. Unset: the window closes.
    std::function<bool()> closeGuard;

    // The About box. Until one is installed the Help menu's About is disabled
    // and showAbout() does nothing.
    void setAboutHandler(std::function<void()> handler);
    void showAbout();
    // Opens the About box once, as soon as the window's first frame is on screen.
    void showAboutAfterFirstPaint();
    // The manual, for Help, Instructions; disabled until installed.
    void setHelpHandler(std::function<void()> handler);

    // Runs New, Open, Save, Save As, Export and the close request through
    // these prompts, with file dialogs opening in `startDirectory`. Until
    // then those items are disabled, the window closes unasked and refuses
    // drops.
    void attachDocumentCommands(Prompts& prompts, const QString& startDirectory);
    DocumentCommands* documentCommands() { return commands_.get(); }

    // File, Open Recent, over this list: every sound opened or saved joins
    // it, and the dialogs of a sound without a file start in its last
    // folder. Needs the document commands; until then the menu is disabled.
    void attachRecentFiles(RecentFiles& recent);
    // Opens a recent sound, after the save-changes question; one that is no
    // longer there is reported and taken off the list.
    void openRecent(const QString& path);

    // Opens the sound named on the command line, before the window is shown
    // (nothing to ask about yet). A file that cannot be read leaves the new
    // sound and is reported once the first frame is on screen.
    void openAtStart(const QString& path);

    // A double click on a point opens its Adjust Point dialog.
    void useAdjustPointDialogs();

    // Keeps Play on Change, Loop and Live Preview here between runs; until
    // then they start off and are forgotten.
    void usePlaybackSettings(QSettings& settings);
    // Where Generate's items take their seeds: a new one for each use.
    // Tests set their own.
    std::function<uint64_t()> nextSeed;

    // How often the play cursor moves while a sound plays.
    static constexpr int kCursorIntervalMs = 25;

    const MainWindowMenu& menu() const { return *menu_; }
    QAction* exitAction() const { return menu_->exitAction; }
    QAction* aboutAction() const { return menu_->aboutAction; }

signals:
    // The window was closed for good (the close request was not refused).
    void closed();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    // One .zdl, .json or .efc file dropped on the window opens as Open would.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void buildMenu();
    // Runs a document command unless a drag holds the sound's objects.
    void runDocumentCommand(bool (DocumentCommands::*command)());
    void buildPlayMenu();
    void buildGenerateMenu();
    void followPlayback();
    // Runs `step` once, as soon as the window's first frame is on screen.
    void afterFirstPaint(std::function<void()> step);

    std::unique_ptr<Editor> editor_;
    std::unique_ptr<InputDispatch> dispatch_;
    EditorCanvas* canvas_ = nullptr;
    std::unique_ptr<MainWindowMenu> menu_;
    std::unique_ptr<DocumentCommands> commands_;
    RecentFiles* recent_ = nullptr;
    std::unique_ptr<RecentFilesMenu> recentMenu_;
    std::function<void()> aboutHandler_;
    std::function<void()> helpHandler_;
    SoundPlayer& player_;
    QTimer* cursorTimer_ = nullptr;
    QSettings* settings_ = nullptr;
};
