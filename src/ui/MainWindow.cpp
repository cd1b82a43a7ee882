#include "MainWindow.h"

#include "DocumentState.h"
#include "DrawingTools.h"
#include "EditorCanvas.h"
#include "SoundModel.h"

#include <QAction>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMenuBar>

#include <algorithm>

MainWindow::MainWindow(SoundModel& model, DocumentState& document, SoundPlayer& player,
                       const DrawingTools& tools, QWidget* parent)
    : QMainWindow(parent),
      editor_(std::make_unique<Editor>(model, document, tools)),
      dispatch_(std::make_unique<InputDispatch>(*editor_)) {
    model.rendered.setPlayer(&player);
    editor_->refreshControls();

    canvas_ = new EditorCanvas(*editor_, *dispatch_, this);
    setCentralWidget(canvas_);
    editor_->onUpdateWindow = [this](const QRegion& region) { canvas_->paintRegion(region); };
    editor_->onTitleChanged = [this] { refreshTitle(); };

    buildMenu();
    setWindowIcon(DrawingTools::appIcon());
    // The limits bound the window without the desktop's frame.
    setMinimumSize(kMinWidth, kMinHeight);
    setMaximumSize(kMaxSize, kMaxSize);
    refreshTitle();
    canvas_->setFocus();
}

MainWindow::~MainWindow() {
    // The canvas calls into the editor until it is gone.
    delete takeCentralWidget();
    canvas_ = nullptr;
}

void MainWindow::buildMenu() {
    QMenu* file = menuBar()->addMenu(tr("&File"));
    exitAction_ = file->addAction(tr("E&xit"));
    // Through the close request, so that closing asks what closing the frame asks.
    connect(exitAction_, &QAction::triggered, this, &QWidget::close);

    QMenu* help = menuBar()->addMenu(tr("&Help"));
    aboutAction_ = help->addAction(tr("&About"));
    aboutAction_->setEnabled(false);
    connect(aboutAction_, &QAction::triggered, this, &MainWindow::showAbout);
}

QSize MainWindow::defaultSize(QSize available) {
    const int w = available.width() * 9 / 10;
    const int h = available.height() * 9 / 10;
    return QSize(std::clamp(w, kMinWidth, kMaxSize), std::clamp(h, kMinHeight, kMaxSize));
}

void MainWindow::refreshTitle() { setWindowTitle(editor_->document().windowTitle()); }

void MainWindow::setAboutHandler(std::function<void()> handler) {
    aboutHandler_ = std::move(handler);
    aboutAction_->setEnabled(static_cast<bool>(aboutHandler_));
}

void MainWindow::showAbout() {
    if (aboutHandler_)
        aboutHandler_();
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
    // The space character plays, wherever the pointer is; each auto-repeat
    // starts the sound again. Playing by key does not advance the hint.
    if (event->text() == QLatin1String(" ")) {
        editor_->play();
        event->accept();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (closeGuard && !closeGuard()) {
        event->ignore();
        return;
    }
    event->accept();
}
