// The editor: builds the long-lived objects, renders the first sound, shows
// the window and runs the event loop; everything is released in reverse order.

#include "DocumentState.h"
#include "DrawingTools.h"
#include "EditorCanvas.h"
#include "MainWindow.h"
#include "SdlPlayer.h"
#include "SoundModel.h"
#include "StartupTiming.h"

#include <QApplication>
#include <QScreen>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(DocumentState::kProgramName);

    DrawingTools tools;
    SdlPlayer player;  // without an audio device it plays nothing
    SoundModel model(&player);
    DocumentState document;

    model.newSound();
    document.clearFile();
    document.clearModified();

    MainWindow window(model, document, player, tools);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        window.resize(MainWindow::defaultSize(screen->availableSize()));
    if (startup_timing::requested())
        startup_timing::exitAfterFirstPaint(*window.canvas());
    window.show();

    // The About box opens over the first frame at every start, once one is
    // installed with MainWindow::setAboutHandler.
    QMetaObject::invokeMethod(&window, &MainWindow::showAbout, Qt::QueuedConnection);

    return app.exec();
}
