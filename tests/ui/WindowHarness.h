#pragma once

#include "RecordingPlayer.h"
#include "core/SoundModel.h"
#include "document/DocumentState.h"
#include "ui/drawing/DrawingTools.h"
#include "ui/window/EditorCanvas.h"
#include "ui/window/MainWindow.h"

#include <QMenuBar>
#include <QTest>

#include <memory>

// The editor as start-up builds it, with a recording player, shown on the
// offscreen platform at a chosen client size.
struct WindowHarness {
    explicit WindowHarness(QSize client = QSize(1000, 700)) : model(&player) {
        model.newSound();
        document.clearFile();
        document.clearModified();
        window = std::make_unique<MainWindow>(model, document, player, tools);
        window->show();
        [[maybe_unused]] const bool exposed = QTest::qWaitForWindowExposed(window.get());
        setClientSize(client);
    }

    // Resizes the window so that the canvas (the client area) gets `client`.
    void setClientSize(QSize client) {
        const QSize frame = window->size() - canvas()->size();
        window->resize(client + frame);
        QCoreApplication::processEvents();
    }

    EditorCanvas* canvas() { return window->canvas(); }
    Editor& editor() { return window->editor(); }

    DrawingTools tools;
    RecordingPlayer player;
    SoundModel model;
    DocumentState document;
    std::unique_ptr<MainWindow> window;
};
