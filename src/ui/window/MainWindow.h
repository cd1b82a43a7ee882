#pragma once

#include "ui/editor/Editor.h"
#include "ui/editor/InputDispatch.h"
#include "ui/editor/PointAdjuster.h"
#include "ui/editor/SliderValueAsker.h"
#include "ui/window/MainWindowMenu.h"

#include <QMainWindow>

#include <functional>
#include <memory>
#include <string>

class BankFileCommands;
class BankPanel;
class DocumentCommands;
class DrawingTools;
class EditorCanvas;
class ExportAllMenu;
class GeneratedList;
class QDockWidget;
class QAction;
class QSettings;
class QTimer;
class RecentFiles;
class RecentFilesMenu;
class SoundBank;
class SoundDocument;
class SoundPlayer;

// The editor's only top-level window: the menu, the caption, the size
// limits, the space bar, and the client area (EditorCanvas) that shows the
// views. It is built whole from its parts: the document it shows (as it
// holds it), the commands that run New, Open, Save, Save As, Export and the
// close request, the recent files, the settings that keep Play on Change,
// Loop and Live Preview between runs, and the player it plays through.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    static constexpr int kMinWidth = 800;
    static constexpr int kMinHeight = 600;
    static constexpr int kMaxSize = 2000;

    MainWindow(SoundDocument& document, DocumentCommands& commands, RecentFiles& recent, QSettings& settings,
               SoundPlayer& player, const DrawingTools& tools, QWidget* parent = nullptr);
    ~MainWindow() override;

    Editor& editor() { return *editor_; }
    InputDispatch& dispatch() { return *dispatch_; }
    EditorCanvas* canvas() { return canvas_; }

    // The size of a new window on a screen with this much room: most of the
    // screen, within the size limits.
    static QSize defaultSize(QSize available);

    // Rewrites the caption from the document state.
    void refreshTitle();

    // The About box. Until one is installed the Help menu's About is disabled
    // and showAbout() does nothing.
    void setAboutHandler(std::function<void()> handler);
    void showAbout();
    // Opens the About box once, as soon as the window's first frame is on screen.
    void showAboutAfterFirstPaint();
    // The manual, for Help, Instructions; disabled until installed.
    void setHelpHandler(std::function<void()> handler);

    DocumentCommands& documentCommands() { return commands_; }

    // Opens a recent sound, after the save-changes question; one that is no
    // longer there is reported and taken off the list.
    void openRecent(const QString& path);

    // Opens the sound named on the command line, before the window is shown
    // (nothing to ask about yet). A file that cannot be read leaves the new
    // sound and is reported once the first frame is on screen. A folder
    // opens as the sound bank.
    void openAtStart(const QString& path);

    // Lists `folder` in the sound bank and shows it; one that cannot be
    // listed is reported (after the first frame when `atStart`). The folder
    // joins the recent files.
    bool openFolder(const QString& folder, bool atStart = false);
    // The Open Folder dialog, then openFolder.
    void chooseFolder();
    SoundBank& bank() { return *bank_; }
    BankPanel* bankPanel() { return bankPanel_; }
    QDockWidget* bankDock() { return bankDock_; }
    BankFileCommands& bankFiles() { return *bankFiles_; }

    // A double click on a point opens its Adjust Point dialog (as the window
    // starts; tests script their own with InputDispatch::setPointAdjuster).
    void useAdjustPointDialogs();
    // A double click on a slider's caption opens its value dialog (as the
    // window starts; tests script their own with InputDispatch).
    void useSliderValueDialogs();

    // Where Generate's items take their seeds: a new one for each use.
    // Tests set their own.
    std::function<uint64_t()> nextSeed;

    // How often the play cursor moves while a sound plays.
    static constexpr int kCursorIntervalMs = 25;

    // The parts Generate > Keep has ticked.
    KeptParts keptParts() const;
    // The sounds generated in this session, listed in the bank's panel.
    GeneratedList* generatedList() const { return generatedList_; }

    const MainWindowMenu& menu() const { return *menu_; }
    // File > Export All and Normalize Exports.
    ExportAllMenu& exportAllMenu() { return *exportAllMenu_; }
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
    // The Adjust Point dialogs over this window.
    class PointDialogs : public PointAdjuster {
    public:
        explicit PointDialogs(QWidget& owner) : owner_(owner) {}
        std::optional<Envelope> adjust(const Envelope& curve, int index) override;

    private:
        QWidget& owner_;
    };

    // The slider value dialog over this window.
    class ValueDialogs : public SliderValueAsker {
    public:
        explicit ValueDialogs(QWidget& owner) : owner_(owner) {}
        std::optional<int> ask(const slider_value::Field& field) override;

    private:
        QWidget& owner_;
    };

    void buildMenu();
    // Play on Change, Loop and Live Preview as the settings keep them.
    void readPlaybackSettings();
    // Runs a document command unless a drag holds the sound's objects.
    void runDocumentCommand(bool (DocumentCommands::*command)());
    void buildPlayMenu();
    // The bank's dock, hidden until used, and what its panel asks for.
    void buildBank();
    // Plays a sound apart from the document (one of the bank's or of the
    // Generated list), which stops.
    void playApart(const WavImage& image);
    void buildGenerateMenu();
    // The Generated list, in the bank's panel, and what it asks of the window.
    void installGeneratedList();
    // Plays the sound as it stands, repeatCount times, and follows it.
    void playSound();
    // Puts the sound as it stands in place of what plays (or plays it, if
    // asked, when nothing does).
    void replaceSound(bool orPlay);
    void followPlayback();
    // The play cursor follows what plays, and previews render what it needs.
    void followingPlayback(bool on);
    // Runs `step` once, as soon as the window's first frame is on screen.
    void afterFirstPaint(std::function<void()> step);

    SoundDocument& document_;
    DocumentCommands& commands_;
    RecentFiles& recent_;
    QSettings& settings_;
    SoundPlayer& player_;
    std::unique_ptr<Editor> editor_;
    std::unique_ptr<InputDispatch> dispatch_;
    PointDialogs pointDialogs_;
    ValueDialogs valueDialogs_;
    EditorCanvas* canvas_ = nullptr;
    std::unique_ptr<MainWindowMenu> menu_;
    std::unique_ptr<RecentFilesMenu> recentMenu_;
    ExportAllMenu* exportAllMenu_ = nullptr;  // a child of the window
    SoundBank* bank_ = nullptr;
    BankPanel* bankPanel_ = nullptr;
    QDockWidget* bankDock_ = nullptr;
    std::unique_ptr<BankFileCommands> bankFiles_;
    // The template of the last Generate item used: New Sound in Bank's.
    std::string lastTemplate_;
    std::function<void()> aboutHandler_;
    std::function<void()> helpHandler_;
    QTimer* cursorTimer_ = nullptr;
    GeneratedList* generatedList_ = nullptr;
    bool storePlayback_ = false;  // off while the settings are read back
};
