#pragma once

#include "WindowHarness.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// The real window, active, with the document commands answering from a
// script; the start directory is a fresh temporary folder.
struct DocumentHarness {
    explicit DocumentHarness(const QString& settingsFile = QString()) : h(QSize(1000, 700), settingsFile) {
        h.window->activateWindow();
        [[maybe_unused]] const bool active = QTest::qWaitForWindowActive(h.window.get());
    }

    QString file(const QString& name) const { return dir.filePath(name); }
    QString title() const { return h.window->windowTitle(); }
    const MainWindowMenu& menu() const { return h.window->menu(); }

    // Presses a waveform button: an edit that marks the document (Square by default).
    void edit(int waveformIndex = 6) { clickButton(h.editor().waveformGroup(), waveformIndex); }
    void clickButton(OptionGroup& group, int index) {
        QTest::mouseClick(h.canvas(), Qt::LeftButton, {}, group.button(index).rect().center());
    }
    void key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(h.window.get(), key, modifiers);
    }

    // Names the document `name` in the start directory through Save As.
    void saveAs(const QString& name) {
        prompts.saveName(file(name));
        menu().saveAsAction->trigger();
    }
    // A copy of a sound from the test data, under another name if given.
    QString copySound(const QString& source, const QString& name = QString()) {
        const QString target = file(name.isEmpty() ? source : name);
        QFile::copy(QStringLiteral(ZINDLE_TEST_DATA "/sounds/") + source, target);
        return target;
    }

    WindowHarness h;
    QTemporaryDir& dir = h.dir;
    ScriptedPrompts& prompts = h.prompts;
};
