#include "ui/window/MainWindow.h"

#include "bank/SoundBank.h"
#include "core/RenderedSound.h"
#include "core/SoundRenderer.h"
#include "core/SoundSettings.h"
#include "core/SoundTemplates.h"
#include "core/WavImage.h"
#include "document/DocumentCommands.h"
#include "document/RecentFiles.h"
#include "document/SoundDocument.h"
#include "platform/SoundPlayer.h"
#include "ui/bank/BankFileCommands.h"
#include "ui/bank/BankPanel.h"
#include "ui/bank/GeneratedList.h"
#include "ui/dialogs/AdjustPointDialog.h"
#include "ui/dialogs/SliderValueDialog.h"
#include "ui/drawing/DrawingTools.h"
#include "ui/window/EditorCanvas.h"
#include "ui/window/ExportAllMenu.h"
#include "ui/window/MenuBarKeys.h"
#include "ui/window/RecentFilesMenu.h"
#include "ui/window/SoundClipboard.h"
#include "ui/window/SoundDrop.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QDockWidget>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QRandomGenerator>
#include <QSettings>
#include <QTimer>

#include <algorithm>
#include <utility>

MainWindow::MainWindow(SoundDocument& document, DocumentCommands& commands, RecentFiles& recent, QSettings& settings,
                       SoundPlayer& player, const DrawingTools& tools, QWidget* parent)
    : QMainWindow(parent),
      document_(document),
      commands_(commands),
      recent_(recent),
      settings_(settings),
      player_(player),
      // The sound the document holds is the one the window opens with.
      editor_(std::make_unique<Editor>(document, tools)),
      dispatch_(std::make_unique<InputDispatch>(*editor_)),
      pointDialogs_(*this),
      valueDialogs_(*this) {
    canvas_ = new EditorCanvas(*editor_, *dispatch_, this);
    setCentralWidget(canvas_);
    connect(editor_.get(), &Editor::repaintNeeded, canvas_, &EditorCanvas::paintRegion);
    connect(editor_.get(), &Editor::playRequested, this, &MainWindow::playSound);
    connect(editor_.get(), &Editor::replaceRequested, this, &MainWindow::replaceSound);
    // A drag never waits for a render; its echo tail is rendered only while
    // the sound plays.
    document_.renderPreviewsInBackground(true);
    document_.setPreviewTails(false);
    connect(&document_, &SoundDocument::fileStateChanged, this, &MainWindow::refreshTitle);
    useAdjustPointDialogs();
    useSliderValueDialogs();

    buildMenu();
    buildBank();
    readPlaybackSettings();
    setWindowIcon(DrawingTools::appIcon());
    // The limits bound the window without the desktop's frame.
    setMinimumSize(kMinWidth, kMinHeight);
    setMaximumSize(kMaxSize, kMaxSize);
    refreshTitle();
    canvas_->setFocus();
    setAcceptDrops(true);
}

MainWindow::~MainWindow() {
    // What the window started ends with it.
    player_.stop();
    // The canvas calls into the editor until it is gone.
    delete takeCentralWidget();
    canvas_ = nullptr;
    // The docks hide as QWidget's destructor closes the window, after this
    // one's members are gone: what they tell the window must not reach it.
    for (QObject* child : {static_cast<QObject*>(bankDock_), static_cast<QObject*>(bankPanel_),
                           static_cast<QObject*>(bank_), static_cast<QObject*>(generatedList_)})
        if (child) child->disconnect(this);
}

void MainWindow::buildMenu() {
    menu_ = std::make_unique<MainWindowMenu>(*this, document_.history());
    connect(menu_->undoAction, &QAction::triggered, this, [this] { editor_->undo(); });
    connect(menu_->redoAction, &QAction::triggered, this, [this] { editor_->redo(); });
    // Through the close request, so that closing asks what closing the frame asks.
    connect(menu_->exitAction, &QAction::triggered, this, &QWidget::close);
    connect(menu_->aboutAction, &QAction::triggered, this, &MainWindow::showAbout);
    connect(menu_->instructionsAction, &QAction::triggered, this, [this] {
        if (helpHandler_) helpHandler_();
    });
    const std::pair<QAction*, bool (DocumentCommands::*)()> commands[] = {
        {menu_->newAction, &DocumentCommands::newSound},
        {menu_->openAction, &DocumentCommands::open},
        {menu_->saveAction, &DocumentCommands::save},
        {menu_->saveAsAction, &DocumentCommands::saveAs},
        {menu_->exportAction, &DocumentCommands::exportSound}};
    for (const auto& [action, command] : commands)
        connect(action, &QAction::triggered, this, [this, command = command] { runDocumentCommand(command); });
    exportAllMenu_ = new ExportAllMenu(*this, *menu_->exportAction, commands_, settings_);
    new SoundClipboard(*menu_, document_, *editor_, commands_.prompts(), this);
    recentMenu_ = std::make_unique<RecentFilesMenu>(*menu_->recentMenu, recent_);
    connect(recentMenu_.get(), &RecentFilesMenu::openRequested, this, &MainWindow::openRecent);
    menu_->aboutAction->setEnabled(false);
    menu_->instructionsAction->setEnabled(false);
    buildPlayMenu();
    buildGenerateMenu();
    new MenuBarKeys(*this, *menu_->stopAction);
}

void MainWindow::buildGenerateMenu() {
    nextSeed = [] { return QRandomGenerator::global()->generate64(); };
    for (const MainWindowMenu::TemplateAction& item : menu_->templateActions)
        connect(item.action, &QAction::triggered, this,
                [this, name = item.name] { editor_->generate(name, nextSeed(), keptParts()); });
    connect(menu_->randomizeAction, &QAction::triggered, this, [this] { editor_->randomize(nextSeed(), keptParts()); });
    connect(menu_->mutateAction, &QAction::triggered, this, [this] { editor_->mutate(nextSeed(), keptParts()); });
    // The ticks as the settings keep them, then every change kept.
    const QString key = QStringLiteral("generate/keep");
    const KeptParts stored = KeptParts::parse(settings_.value(key).toString().toStdString()).value_or(KeptParts());
    for (const MainWindowMenu::KeepAction& item : menu_->keepActions) {
        item.action->setChecked(stored.has(item.part));
        connect(item.action, &QAction::toggled, this,
                [this, key] { settings_.setValue(key, QString::fromStdString(keptParts().names())); });
    }
}

KeptParts MainWindow::keptParts() const {
    KeptParts kept;
    for (const MainWindowMenu::KeepAction& item : menu_->keepActions) kept.set(item.part, item.action->isChecked());
    return kept;
}

void MainWindow::installGeneratedList() {
    generatedList_ = new GeneratedList(document_.generated(), commands_.prompts());
    // Keep saves into the bank, else where Save As would start.
    generatedList_->setFolder(
        [this] { return bank_->folder().isEmpty() ? commands_.dialogDirectory() : bank_->folder(); });
    connect(generatedList_, &GeneratedList::playRequested, this, [this](const SoundSettings& sound) {
        playApart(sound_renderer::render(sound).wavImage(sound.repeatCount));
    });
    connect(generatedList_, &GeneratedList::useRequested, this, [this](int index) {
        if (!editor_->isDragging()) document_.useGenerated(index);
    });
    bankPanel_->setGeneratedList(generatedList_);
}

void MainWindow::buildPlayMenu() {
    cursorTimer_ = new QTimer(this);
    cursorTimer_->setInterval(kCursorIntervalMs);
    connect(cursorTimer_, &QTimer::timeout, this, &MainWindow::followPlayback);
    connect(menu_->playAction, &QAction::triggered, this, [this] { editor_->play(); });
    connect(menu_->stopAction, &QAction::triggered, this, [this] {
        player_.stop();
        followPlayback();
    });
    const std::pair<QAction*, const char*> toggles[] = {{menu_->playOnChangeAction, "playback/playOnChange"},
                                                        {menu_->loopAction, "playback/loop"},
                                                        {menu_->livePreviewAction, "playback/livePreview"}};
    for (const auto& [action, key] : toggles) {
        connect(action, &QAction::toggled, this, [this, key = key](bool on) {
            if (storePlayback_) settings_.setValue(QLatin1String(key), on);
        });
    }
    connect(menu_->playOnChangeAction, &QAction::toggled, this, [this](bool on) { editor_->setPlayOnChange(on); });
    connect(menu_->loopAction, &QAction::toggled, this, [this](bool on) { player_.setLoop(on); });
    connect(menu_->livePreviewAction, &QAction::toggled, this, [this](bool on) { editor_->setLivePreview(on); });
}

void MainWindow::readPlaybackSettings() {
    storePlayback_ = false;  // reading them back is no change to store
    menu_->playOnChangeAction->setChecked(settings_.value(QStringLiteral("playback/playOnChange"), false).toBool());
    menu_->loopAction->setChecked(settings_.value(QStringLiteral("playback/loop"), false).toBool());
    menu_->livePreviewAction->setChecked(settings_.value(QStringLiteral("playback/livePreview"), false).toBool());
    storePlayback_ = true;
}

void MainWindow::playSound() {
    player_.stop();
    // The player keeps a copy: the image goes at once.
    const WavImage image = document_.rendered().wavImage(document_.settings().repeatCount);
    if (image.empty()) return;
    player_.playImage(image);
    followingPlayback(true);
}

void MainWindow::followingPlayback(bool on) {
    if (on)
        cursorTimer_->start();
    else
        cursorTimer_->stop();
    // What plays follows a drag with its tail too.
    document_.setPreviewTails(on);
}

void MainWindow::replaceSound(bool orPlay) {
    // Only a sound this window started, and has not seen end, is replaced.
    if (cursorTimer_->isActive()) {
        const WavImage image = document_.rendered().wavImage(document_.settings().repeatCount);
        if (player_.replaceImage(image)) {
            followPlayback();  // the cursor at once, over the new plot
            return;
        }
    }
    if (orPlay) editor_->play();
}

void MainWindow::followPlayback() {
    const SoundPlayer::Playback now = player_.poll();
    editor_->showPlayback(now);
    if (!now.playing) followingPlayback(false);
}

void MainWindow::openRecent(const QString& path) {
    if (editor_->isDragging()) return;
    if (!QFileInfo::exists(path)) {
        recent_.remove(path);
        commands_.prompts().error(
            DocumentCommands::openFailure(path, tr("The file is no longer there; it was taken off the recent files.")));
        return;
    }
    if (QFileInfo(path).isDir())
        openFolder(path);
    else
        commands_.openPath(path);
}

void MainWindow::buildBank() {
    bank_ = new SoundBank(this);
    bankDock_ = new QDockWidget(tr("Sound Bank"), this);
    bankDock_->setObjectName(QStringLiteral("soundBank"));
    bankPanel_ = new BankPanel(*bank_, bankDock_);
    bankDock_->setWidget(bankPanel_);
    addDockWidget(Qt::RightDockWidgetArea, bankDock_);
    bankDock_->hide();
    const QString shownKey = QStringLiteral("view/soundBank");
    menu_->soundBankAction->setChecked(settings_.value(shownKey, false).toBool());
    bankDock_->setVisible(menu_->soundBankAction->isChecked());
    connect(menu_->soundBankAction, &QAction::toggled, this, [this, shownKey](bool on) {
        bankDock_->setVisible(on);
        settings_.setValue(shownKey, on);
    });
    // The dock's own close button is the menu item's "off".
    connect(bankDock_, &QDockWidget::visibilityChanged, this, [this] {
        if (bankDock_->isHidden() && isVisible()) menu_->soundBankAction->setChecked(false);
    });
    connect(menu_->openFolderAction, &QAction::triggered, this, &MainWindow::chooseFolder);
    bankFiles_ = std::make_unique<BankFileCommands>(*bank_, document_, commands_.prompts());
    bankPanel_->setFileCommands(bankFiles_.get());
    for (const MainWindowMenu::TemplateAction& item : menu_->templateActions)
        connect(item.action, &QAction::triggered, this, [this, name = item.name] { lastTemplate_ = name; });
    connect(menu_->randomizeAction, &QAction::triggered, this, [this] { lastTemplate_ = sound_templates::kRandom; });
    menu_->newInBankAction->setEnabled(false);
    connect(bank_, &SoundBank::listChanged, this,
            [this] { menu_->newInBankAction->setEnabled(!bank_->folder().isEmpty()); });
    connect(menu_->newInBankAction, &QAction::triggered, this, [this] {
        if (bank_->folder().isEmpty()) return;
        SoundSettings sound = document_.settings();
        sound.resetToNew();
        if (!lastTemplate_.empty()) {
            if (auto made = sound_templates::generate(lastTemplate_, nextSeed(), document_.settings())) sound = *made;
        }
        const QString path = bankFiles_->newSound(sound);
        if (!path.isEmpty()) bankPanel_->selectPath(path);
    });
    connect(bankPanel_, &BankPanel::soundToPlay, this, &MainWindow::playApart);
    connect(bankPanel_, &BankPanel::playFailed, this, [this](const QString& path, const QString& reason) {
        commands_.prompts().error(tr("Couldn't play file\n\n%1\n%2").arg(QDir::toNativeSeparators(path), reason));
    });
    connect(bankPanel_, &BankPanel::openRequested, this, [this](const QString& path) {
        if (!editor_->isDragging()) commands_.openPath(path);
    });
    auto markOpen = [this] { bankPanel_->setOpenSound(document_.path(), document_.modified()); };
    connect(&document_, &SoundDocument::fileStateChanged, bankPanel_, markOpen);
    connect(bank_, &SoundBank::listChanged, bankPanel_, markOpen);
    markOpen();
    installGeneratedList();
    // Export All takes the bank's sounds, and is also on the bank's own menu.
    exportAllMenu_->command().sourceFolder = [this] {
        return bank_->folder().isEmpty() ? commands_.dialogDirectory() : bank_->folder();
    };
    bankPanel_->addContextAction(exportAllMenu_->exportAllAction());
}

void MainWindow::playApart(const WavImage& image) {
    // The play cursor belongs to the document's sound, which stops.
    player_.stop();
    followingPlayback(false);
    editor_->showPlayback(SoundPlayer::Playback{});
    if (!image.empty()) player_.playImage(image);
}

void MainWindow::chooseFolder() {
    FileDialogRequest request;
    request.title = tr("Open Folder");
    request.directory = bank_->folder().isEmpty() ? commands_.dialogDirectory() : bank_->folder();
    const QString folder = commands_.prompts().folderName(request);
    if (!folder.isEmpty()) openFolder(folder);
}

bool MainWindow::openFolder(const QString& folder, bool atStart) {
    if (!bank_->setFolder(folder)) {
        const QString failure =
            tr("Couldn't open folder\n\n%1\n%2").arg(QDir::toNativeSeparators(folder), bank_->problem());
        bank_->close();
        commands_.setBankFolder(QString());
        if (atStart)
            afterFirstPaint([this, failure] { commands_.prompts().error(failure); });
        else
            commands_.prompts().error(failure);
        return false;
    }
    commands_.setBankFolder(bank_->folder());
    recent_.add(bank_->folder());
    menu_->soundBankAction->setChecked(true);
    bankPanel_->selectPath(document_.path());
    return true;
}

void MainWindow::openAtStart(const QString& path) {
    if (QFileInfo(path).isDir()) {
        openFolder(path, true);
        return;
    }
    const QString failure = commands_.openAtStart(path);
    // Over the window, not before it.
    if (!failure.isEmpty()) afterFirstPaint([this, failure] { commands_.prompts().error(failure); });
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    // Refused, the pointer shows that nothing would happen here.
    if (!sound_drop::soundPath(event->mimeData()).isEmpty())
        event->acceptProposedAction();
    else
        event->ignore();
}

void MainWindow::dropEvent(QDropEvent* event) {
    const QString path = sound_drop::soundPath(event->mimeData());
    if (path.isEmpty()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    // Later, so that the file manager is not held by the save-changes question.
    QMetaObject::invokeMethod(
        this,
        [this, path] {
            if (!editor_->isDragging()) commands_.openPath(path);
        },
        Qt::QueuedConnection);
}

void MainWindow::runDocumentCommand(bool (DocumentCommands::*command)()) {
    // New and Open replace the curves and sliders a drag is working on; the
    // key waits until the button is up.
    if (editor_->isDragging()) return;
    (commands_.*command)();
}

void MainWindow::useAdjustPointDialogs() { dispatch_->setPointAdjuster(&pointDialogs_); }

std::optional<Envelope> MainWindow::PointDialogs::adjust(const Envelope& curve, int index) {
    return AdjustPointDialog::run(&owner_, curve, index);
}

void MainWindow::useSliderValueDialogs() { dispatch_->setSliderValueAsker(&valueDialogs_); }

std::optional<int> MainWindow::ValueDialogs::ask(const slider_value::Field& field) {
    return SliderValueDialog::run(&owner_, field);
}

QSize MainWindow::defaultSize(QSize available) {
    const int w = available.width() * 9 / 10;
    const int h = available.height() * 9 / 10;
    return QSize(std::clamp(w, kMinWidth, kMaxSize), std::clamp(h, kMinHeight, kMaxSize));
}

void MainWindow::refreshTitle() { setWindowTitle(document_.windowTitle()); }

void MainWindow::setAboutHandler(std::function<void()> handler) {
    aboutHandler_ = std::move(handler);
    menu_->aboutAction->setEnabled(static_cast<bool>(aboutHandler_));
}

void MainWindow::showAboutAfterFirstPaint() {
    afterFirstPaint([this] { showAbout(); });
}

void MainWindow::afterFirstPaint(std::function<void()> step) {
    // Queued: the paint handler finishes before a box's own loop starts.
    if (canvas_->paintCount() > 0)
        QMetaObject::invokeMethod(this, std::move(step), Qt::QueuedConnection);
    else
        connect(canvas_, &EditorCanvas::firstPainted, this, std::move(step),
                static_cast<Qt::ConnectionType>(Qt::QueuedConnection | Qt::SingleShotConnection));
}

void MainWindow::setHelpHandler(std::function<void()> handler) {
    helpHandler_ = std::move(handler);
    menu_->instructionsAction->setEnabled(static_cast<bool>(helpHandler_));
}

void MainWindow::showAbout() {
    canvas_->endDrag();
    if (aboutHandler_) aboutHandler_();
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
    // A point still held has moved: it must count before the save question.
    canvas_->endDrag();
    if (!commands_.close()) {
        event->ignore();
        return;
    }
    event->accept();
    emit closed();
}
