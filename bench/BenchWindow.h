#pragma once

#include "core/SoundSettings.h"
#include "document/DocumentCommands.h"
#include "document/Prompts.h"
#include "document/RecentFiles.h"
#include "document/SoundDocument.h"
#include "ui/drawing/DrawingTools.h"
#include "ui/window/MainWindow.h"

#include <QCoreApplication>
#include <QSettings>
#include <QSize>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <optional>

// Nothing in a benchmark asks: every question is cancelled.
class NoPrompts : public Prompts {
public:
    Answer question(const QString&) override { return Answer::Cancel; }
    bool confirm(const QString&, const QString&) override { return false; }
    QString openFileName(const FileDialogRequest&) override { return QString(); }
    QString folderName(const FileDialogRequest&) override { return QString(); }
    SaveChoice saveFile(const FileDialogRequest&) override { return {}; }
    QString askName(const QString&, const QString&) override { return QString(); }
    void error(const QString&) override {}
};

// The longest sound: 10 s main part, full echo delay (40 s in all), 44100 Hz,
// 16 bit (sound 1 of the render benchmark); with `swept`, swept with Distort
// 0.3 as well (its sound 2).
inline SoundSettings longestSound(bool swept = false) {
    SoundSettings s;
    s.resetToNew();
    s.length = 1.0f;
    s.echoDelay = 1.0f;
    s.echoVolume = 0.5f;
    s.sampleRate = 44100;
    s.bitsPerSample = 16;
    if (swept) {
        s.distort = 0.3f;
        s.frequency.fromText("0:10 20:90 40:20 60:80 80:30 100:70");
    }
    return s;
}

// The real editor window of `size`, shown and exposed, holding `sound` (or
// the new sound), with its own settings file and a player of type Player.
template <typename Player>
struct BenchWindow {
    explicit BenchWindow(QSize size, const std::optional<SoundSettings>& sound = std::nullopt)
        : settings(dir.filePath(QStringLiteral("zindle.ini")), QSettings::IniFormat),
          recent(settings),
          commands(document, prompts, recent, dir.path()) {
        if (sound) document.load(*sound);
        window = std::make_unique<MainWindow>(document, commands, recent, settings, player, tools);
        window->resize(size);
        window->show();
        [[maybe_unused]] const bool exposed = QTest::qWaitForWindowExposed(window.get());
        QCoreApplication::processEvents();
    }

    QTemporaryDir dir;
    DrawingTools tools;
    Player player;
    NoPrompts prompts;
    SoundDocument document;
    QSettings settings;
    RecentFiles recent;
    DocumentCommands commands;
    std::unique_ptr<MainWindow> window;
};
