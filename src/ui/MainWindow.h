#pragma once

#include "Editor.h"
#include "InputDispatch.h"

#include <QMainWindow>

#include <functional>
#include <memory>

class DocumentState;
class DrawingTools;
class EditorCanvas;
class QAction;
class SoundModel;
class SoundPlayer;

// The editor's only top-level window: the menu, the caption, the size
// limits, the space bar, and the client area (EditorCanvas) that shows the
// views. The model must hold a rendered sound before the window is built.
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

    QAction* exitAction() const { return exitAction_; }
    QAction* aboutAction() const { return aboutAction_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenu();

    std::unique_ptr<Editor> editor_;
    std::unique_ptr<InputDispatch> dispatch_;
    EditorCanvas* canvas_ = nullptr;
    std::function<void()> aboutHandler_;
    QAction* exitAction_ = nullptr;
    QAction* aboutAction_ = nullptr;
};
