// The editor: reads its command line, builds the long-lived objects, renders
// the first sound, shows the window and runs the event loop; everything is
// released in reverse order.

#include "document/DocumentCommands.h"
#include "document/DocumentState.h"
#include "document/RecentFiles.h"
#include "document/SoundDocument.h"
#include "platform/DataFiles.h"
#include "platform/QtPrompts.h"
#include "platform/SdlPlayer.h"
#include "ui/dialogs/AboutBox.h"
#include "ui/dialogs/HelpViewer.h"
#include "ui/drawing/DrawingTools.h"
#include "ui/window/EditorCanvas.h"
#include "ui/window/EditorCommandLine.h"
#include "ui/window/EditorSettingsFile.h"
#include "ui/window/MainWindow.h"
#include "ui/window/StartupTiming.h"

#include <QApplication>
#include <QDir>
#include <QScreen>
#include <QSettings>

#include <csignal>
#include <cstdio>
#include <memory>

int main(int argc, char* argv[]) {
    // Past a file-size limit a write then fails with EFBIG and is reported
    // like any other failure, instead of killing the process.
    std::signal(SIGXFSZ, SIG_IGN);
    // Before the application object, which would need a display.
    const EditorCommandLine command = EditorCommandLine::parse(argc, argv, QStringLiteral(ZINDLE_VERSION));
    if (command.action != EditorCommandLine::Action::Run) {
        std::fputs(command.text.toLocal8Bit().constData(),
                   command.action == EditorCommandLine::Action::Print ? stdout : stderr);
        return command.exitCode();
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(DocumentState::kProgramName);
    // The manual and the About sound are looked up here, and the file dialogs open here.
    const QString startDirectory = QDir::currentPath();

    DrawingTools tools;
    SdlPlayer player;        // without an audio device it plays nothing
    SoundDocument document;  // a new sound
    HelpViewer help;         // no parent: usable beside the modal About box
    QtPrompts prompts;
    // The recent files, the last folder and the Play menu's three checks: all
    // that is kept between runs (an unreadable or oversized file reads as empty).
    const std::unique_ptr<QSettings> settings = editor_settings::open(editor_settings::userFile());
    RecentFiles recent(*settings);
    DocumentCommands commands(document, prompts, recent, startDirectory);

    MainWindow window(document, commands, recent, *settings, player, tools);
    prompts.setOwner(&window);
    auto openHelp = [&help, &startDirectory] { help.showManual(startDirectory); };
    window.setHelpHandler(openHelp);
    window.setAboutHandler([&] {
        const QString sound = data_files::find(data_files::kAboutSound, data_files::searchDirectories(startDirectory));
        AboutBox box(&window, player, tools, sound, openHelp);
        box.exec();
    });
    // An open help window must not keep the program running.
    QObject::connect(&window, &MainWindow::closed, &app, &QCoreApplication::quit, Qt::QueuedConnection);

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        window.resize(MainWindow::defaultSize(screen->availableSize()));
    if (startup_timing::requested()) startup_timing::exitAfterFirstPaint(*window.canvas());
    // The About box opens over the first frame, unless a sound was named.
    if (command.file.isEmpty())
        window.showAboutAfterFirstPaint();
    else
        window.openAtStart(command.file);
    window.show();

    return app.exec();
}
