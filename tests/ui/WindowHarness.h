#pragma once

#include "RecordingPlayer.h"
#include "ScriptedPrompts.h"
#include "document/DocumentCommands.h"
#include "document/RecentFiles.h"
#include "document/SoundDocument.h"
#include "ui/drawing/DrawingTools.h"
#include "ui/editor/PointAdjuster.h"
#include "ui/editor/SliderValueAsker.h"
#include "ui/window/EditorCanvas.h"
#include "ui/window/MainWindow.h"

#include <QMenuBar>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

// Adjust Point answered from a script: `answer` gets the curve and the point
// (none: every dialog is cancelled).
struct ScriptedAdjuster : PointAdjuster {
    std::function<std::optional<Envelope>(const Envelope& curve, int index)> answer;
    std::optional<Envelope> adjust(const Envelope& curve, int index) override {
        return answer ? answer(curve, index) : std::nullopt;
    }
};

// The slider value dialog answered from a script: `answer` gets the field
// (none: every dialog is cancelled); `asked` keeps each field shown.
struct ScriptedValueAsker : SliderValueAsker {
    std::function<std::optional<int>(const slider_value::Field& field)> answer;
    std::vector<slider_value::Field> asked;
    std::optional<int> ask(const slider_value::Field& field) override {
        asked.push_back(field);
        return answer ? answer(field) : std::nullopt;
    }
};

// The editor as start-up builds it, with a recording player, prompts answered
// from a script, Adjust Point and the slider values scripted too, the start directory a fresh
// temporary folder and the settings in another (or in `settingsFile`), shown
// on the offscreen platform at a chosen client size.
struct WindowHarness {
    explicit WindowHarness(QSize client = QSize(1000, 700), const QString& settingsFile = QString())
        : settings(settingsFile.isEmpty() ? settingsDir.filePath(QStringLiteral("zindle.ini")) : settingsFile,
                   QSettings::IniFormat),
          recent(settings),
          commands(document, prompts, recent, dir.path()) {
        window = std::make_unique<MainWindow>(document, commands, recent, settings, player, tools);
        window->dispatch().setPointAdjuster(&adjuster);
        window->dispatch().setSliderValueAsker(&valueAsker);
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

    QTemporaryDir dir;
    QTemporaryDir settingsDir;
    DrawingTools tools;
    RecordingPlayer player;
    ScriptedPrompts prompts;
    ScriptedAdjuster adjuster;
    ScriptedValueAsker valueAsker;
    SoundDocument document;
    QSettings settings;
    RecentFiles recent;
    DocumentCommands commands;
    std::unique_ptr<MainWindow> window;
};
