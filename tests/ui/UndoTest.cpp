// Undo and redo through the real window: every kind of gesture is one step
// that gives back exactly the settings before it, and the modified flag
// follows the history.

#include "DocumentHarness.h"
#include "Gestures.h"
#include "core/SoundModel.h"
#include "document/SettingsStep.h"
#include "formats/ZdlFormat.h"
#include "ui/drawing/DrawingTools.h"

#include <QAction>
#include <QApplication>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

using gestures::knobPos;
using gestures::pointPos;
using Kind = ScriptedPrompts::Kind;

// An edit copies no curve it leaves alone: each array that is the same
// after it as before is the very same array in the step's two snapshots.
void expectSharedWhereUnchanged(const Envelope& before, const Envelope& after, const char* curve) {
    if (before.times() == after.times()) {
        EXPECT_EQ(before.times().data(), after.times().data()) << curve;
    }
    if (before.values() == after.values()) {
        EXPECT_EQ(before.values().data(), after.values().data()) << curve;
    }
}

// The settings as a file holds them: equal bytes are equal bit for bit.
QByteArray bytesOf(const SoundSettings& s) {
    const auto encoded = zdl::encode(s);
    return QByteArray(reinterpret_cast<const char*>(encoded.data()), static_cast<qsizetype>(encoded.size()));
}

struct UndoFixture : ::testing::Test {
    DocumentHarness d;
    EditorCanvas* canvas() { return d.h.canvas(); }
    Editor& editor() { return d.h.editor(); }
    const SoundSettings& settings() { return d.h.document.settings(); }
    void press(QPoint p) { QTest::mousePress(canvas(), Qt::LeftButton, {}, p); }
    void release(QPoint p) { QTest::mouseRelease(canvas(), Qt::LeftButton, {}, p); }
    void move(QPoint p) { QTest::mouseMove(canvas(), p); }
    void drag(QPoint from, QPoint to) { gestures::drag(canvas(), from, to); }
    void undoKey() { d.key(Qt::Key_Z, Qt::ControlModifier); }
    void redoKey(bool y = false) {
        if (y)
            d.key(Qt::Key_Y, Qt::ControlModifier);
        else
            d.key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    }
};

struct Gesture {
    const char* step;
    std::function<void(UndoFixture&)> perform;
};

const Gesture kGestures[] = {
    {"Move Point",
     [](UndoFixture& f) {
         const QPoint p = pointPos(f.editor().amplitudeGraph(), 2);
         f.drag(p, p + QPoint(30, 50));
     }},
    {"Move Curve",
     [](UndoFixture& f) {
         const QRect r = f.editor().frequencyGraph().rect();
         const QPoint onCurve(r.left() + 40 + 68, pointPos(f.editor().frequencyGraph(), 0).y());
         f.drag(onCurve, onCurve + QPoint(0, -40));
     }},
    {"Insert Point",
     [](UndoFixture& f) {
         const QRect r = f.editor().frequencyGraph().rect();
         QTest::mouseClick(f.canvas(), Qt::RightButton, {}, QPoint(r.left() + 40 + 340, r.top() + 16 + 30));
     }},
    {"Delete Point",
     [](UndoFixture& f) {
         QTest::mouseClick(f.canvas(), Qt::RightButton, {}, pointPos(f.editor().amplitudeGraph(), 3));
     }},
    {"Adjust Point",
     [](UndoFixture& f) {
         f.d.h.adjuster.answer = [](const Envelope& curve, int index) -> std::optional<Envelope> {
             Envelope edited = curve;
             edited.movePoint(index, curve.time(index), 0.125f);
             return edited;
         };
         QTest::mouseDClick(f.canvas(), Qt::LeftButton, {}, pointPos(f.editor().amplitudeGraph(), 1));
     }},
    {"Waveform", [](UndoFixture& f) { f.d.clickButton(f.editor().waveformGroup(), 12); }},
    {"Sample Rate", [](UndoFixture& f) { f.d.clickButton(f.editor().rateGroup(), 2); }},
    {"Sample Width", [](UndoFixture& f) { f.d.clickButton(f.editor().bitsGroup(), 1); }},
    {"Repeats", [](UndoFixture& f) { f.d.clickButton(f.editor().repeatsGroup(), 4); }},
    {"Length",
     [](UndoFixture& f) {
         const QPoint knob = knobPos(f.editor().slider(Editor::Length));
         f.drag(knob, knob + QPoint(0, -60));
     }},
    {"Echo Delay",
     [](UndoFixture& f) {
         const QPoint knob = knobPos(f.editor().slider(Editor::EchoDelay));
         f.drag(knob, knob + QPoint(0, -45));
     }},
    {"Echo Volume",  // a wheel notch
     [](UndoFixture& f) {
         const QPointF at(f.editor().slider(Editor::EchoVolume).rect().center());
         QWheelEvent event(at, f.canvas()->mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                           Qt::NoScrollPhase, false);
         QApplication::sendEvent(f.canvas(), &event);
     }},
    {"Length",  // a typed value
     [](UndoFixture& f) {
         f.d.h.valueAsker.answer = [](const slider_value::Field&) { return 1234; };
         const QRect r = f.editor().slider(Editor::Length).rect();
         QTest::mouseDClick(f.canvas(), Qt::LeftButton, {}, QPoint(r.center().x(), r.top() + 8));
     }},
};

TEST_F(UndoFixture, EveryGestureIsOneStepThatUndoAndRedoGiveBackExactly) {
    // A sound that is not the default, so every gesture has something to change.
    d.clickButton(editor().waveformGroup(), 6);
    const QPoint knob = knobPos(editor().slider(Editor::Distort));
    drag(knob, knob + QPoint(0, -30));

    for (const Gesture& g : kGestures) {
        SCOPED_TRACE(g.step);
        const QByteArray before = bytesOf(settings());
        const std::vector<uint8_t> samplesBefore = d.h.document.rendered().samples();
        const int steps = d.h.document.history().count();
        g.perform(*this);
        const QByteArray after = bytesOf(settings());
        const std::vector<uint8_t> samplesAfter = d.h.document.rendered().samples();
        ASSERT_NE(after, before) << "the gesture changed nothing";
        EXPECT_EQ(d.h.document.history().count(), steps + 1) << "one gesture, one step";
        EXPECT_EQ(d.menu().undoAction->text(), QStringLiteral("&Undo %1\tCtrl+Z").arg(QLatin1String(g.step)));
        EXPECT_FALSE(d.menu().redoAction->isEnabled());
        const SettingsStep& step = *d.h.document.history().command(d.h.document.history().count() - 1);
        expectSharedWhereUnchanged(step.before().amplitude, step.after().amplitude, "amplitude");
        expectSharedWhereUnchanged(step.before().frequency, step.after().frequency, "frequency");

        undoKey();
        EXPECT_EQ(bytesOf(settings()), before);
        EXPECT_EQ(d.h.document.rendered().samples(), samplesBefore) << "the undone sound is rendered";
        EXPECT_EQ(d.menu().redoAction->text(), QStringLiteral("&Redo %1\tCtrl+Shift+Z").arg(QLatin1String(g.step)));
        for (bool y : {false, true}) {
            redoKey(y);
            EXPECT_EQ(bytesOf(settings()), after);
            EXPECT_EQ(d.h.document.rendered().samples(), samplesAfter);
            if (!y) undoKey();
        }
        // The controls show the settings they hold.
        EXPECT_EQ(editor().waveformGroup().button(editor().waveformGroup().pressedIndex()).value(),
                  settings().waveform);
        EXPECT_EQ(editor().slider(Editor::Length).position(), settings().length);
        EXPECT_EQ(editor().repeatsGroup().pressedIndex(), settings().repeatCount - 1);
        EXPECT_EQ(d.h.document.rendered().sampleRate(), settings().sampleRate);
        EXPECT_EQ(d.h.document.rendered().bits(), settings().bitsPerSample);
    }
}

TEST_F(UndoFixture, PressingTheButtonInForceAddsNoStep) {
    d.clickButton(editor().waveformGroup(), 0);  // Sine, as a new sound has
    d.clickButton(editor().repeatsGroup(), 0);
    EXPECT_EQ(d.h.document.history().count(), 0);
    EXPECT_FALSE(d.menu().undoAction->isEnabled());
    EXPECT_EQ(d.menu().undoAction->text(), QStringLiteral("&Undo\tCtrl+Z"));
    EXPECT_EQ(d.title(), QStringLiteral("Zindle"));
}

TEST_F(UndoFixture, TheModifiedFlagFollowsTheSavedState) {
    d.saveAs(QStringLiteral("a.zdl"));
    d.edit(6);
    EXPECT_EQ(d.title(), QStringLiteral("Zindle - a.zdl *"));
    d.key(Qt::Key_S);
    EXPECT_EQ(d.title(), QStringLiteral("Zindle - a.zdl"));
    d.edit(7);
    EXPECT_EQ(d.title(), QStringLiteral("Zindle - a.zdl *"));
    undoKey();  // back to the saved sound
    EXPECT_EQ(d.title(), QStringLiteral("Zindle - a.zdl"));
    EXPECT_FALSE(d.h.document.modified());
    undoKey();  // past the save: the file holds something else
    EXPECT_EQ(d.title(), QStringLiteral("Zindle - a.zdl *"));
    EXPECT_EQ(settings().waveform, 100);
    redoKey();
    EXPECT_EQ(d.title(), QStringLiteral("Zindle - a.zdl"));
    redoKey();
    EXPECT_EQ(d.title(), QStringLiteral("Zindle - a.zdl *"));
    EXPECT_EQ(settings().waveform, 202);
    // Closing asks only while the sound differs from the file.
    undoKey();
    d.h.window->exitAction()->trigger();
    EXPECT_EQ(d.prompts.count(Kind::Question), 0);
    EXPECT_FALSE(d.h.window->isVisible());
}

TEST_F(UndoFixture, NewAndOpenStartAnEmptyHistory) {
    const QString laser = d.copySound(QStringLiteral("laser.zdl"));
    for (const bool open : {false, true}) {
        SCOPED_TRACE(open ? "Open" : "New");
        d.edit(6);
        d.edit(9);
        ASSERT_EQ(d.h.document.history().count(), 2);
        d.prompts.answer(Prompts::Answer::No);
        if (open) d.prompts.openName(laser);
        d.key(open ? Qt::Key_O : Qt::Key_N);
        EXPECT_EQ(d.h.document.history().count(), 0);
        EXPECT_FALSE(d.menu().undoAction->isEnabled());
        const QByteArray loaded = bytesOf(settings());
        undoKey();
        EXPECT_EQ(bytesOf(settings()), loaded);
        EXPECT_FALSE(d.h.document.modified());
    }
    EXPECT_EQ(d.prompts.unused(), 0u);
}

TEST_F(UndoFixture, NothingHappensDuringAHeldDrag) {
    d.edit(6);
    const QPoint p = pointPos(editor().amplitudeGraph(), 2);
    press(p);
    move(p + QPoint(20, 40));
    const QByteArray dragged = bytesOf(settings());
    undoKey();
    redoKey();
    EXPECT_EQ(bytesOf(settings()), dragged);
    EXPECT_EQ(settings().waveform, 200) << "the step before the drag was not undone";
    EXPECT_EQ(d.h.document.history().count(), 1);
    release(p + QPoint(20, 40));
    EXPECT_EQ(d.h.document.history().count(), 2);
    undoKey();
    EXPECT_EQ(settings().waveform, 200);
    EXPECT_EQ(settings().amplitude.toText(), "0:75 20:75 40:75 60:75 80:75 100:0");
}

TEST_F(UndoFixture, TheHistoryKeepsTheLastThousandSteps) {
    const SoundSettings start = settings();
    SoundSettings s = start;
    for (int i = 0; i < SoundDocument::kHistoryLimit + 5; ++i) {
        s.distort = static_cast<float>(i + 1) / 2048.0f;
        d.h.document.commit(s, QStringLiteral("Distort"));
    }
    ASSERT_EQ(d.h.document.history().count(), SoundDocument::kHistoryLimit);
    while (d.h.document.history().canUndo()) undoKey();
    // The five oldest steps are gone: undo stops after the fifth edit.
    EXPECT_EQ(settings().distort, 5.0f / 2048.0f);
    EXPECT_EQ(static_cast<const SettingsStep*>(d.h.document.history().command(0))->before().distort, 5.0f / 2048.0f);
}

// A sound whose two curves have 2^17 points: half a megabyte an array.
constexpr int kDensePoints = 1 << 17;

// The dense sound after the first `edits` of the test below: edit i moves the
// value of point i + 1.
SoundSettings denseSound(int edits) {
    SoundSettings s;
    std::vector<float> times(kDensePoints);
    std::vector<float> values(kDensePoints, 0.5f);
    for (int i = 0; i < kDensePoints; ++i) times[size_t(i)] = static_cast<float>(i) / (kDensePoints - 1);
    s.amplitude.assign(times, values);
    s.frequency.assign(times, values);
    for (int i = 0; i < edits; ++i) s.amplitude.movePoint(i + 1, s.amplitude.time(i + 1), 0.25f + i / 1024.0f);
    return s;
}

TEST(UndoMemory, TheOldestStepsGoBeyondTheMemoryBoundAndTheRestUndoExactly) {
    // The document alone, without a window: nothing is drawn, so the dense
    // curves cost only their renders.
    SoundDocument document;
    document.load(denseSound(0));
    const EditHistory& history = document.history();

    // A slider edit keeps no curve: the step is a few hundred bytes.
    SoundSettings distorted = document.settings();
    distorted.distort = 0.25f;
    document.commit(distorted, QStringLiteral("Distort"));
    EXPECT_LT(history.command(0)->bytes(), 4096u);
    document.undo();

    // Each point move keeps the amplitude's old values (the times stay shared).
    const int edits = 160;
    for (int i = 0; i < edits; ++i) {
        SoundSettings next = document.settings();
        next.amplitude.movePoint(i + 1, next.amplitude.time(i + 1), 0.25f + i / 1024.0f);
        document.commit(next, QStringLiteral("Move Point"));
        ASSERT_LE(history.bytes(), SoundDocument::kHistoryBytes);
    }
    const int kept = history.count();
    ASSERT_LT(kept, edits) << "nothing was dropped";
    EXPECT_GT(kept, 100) << "one point move must not cost a megabyte";
    size_t sum = 0;
    for (int i = 0; i < kept; ++i) sum += history.command(i)->bytes();
    EXPECT_EQ(history.bytes(), sum);
    // As many as fit: one step more would pass the bound.
    EXPECT_GT(history.bytes() + history.command(0)->bytes(), SoundDocument::kHistoryBytes);

    // Undo walks back through exactly the sounds there were, as far as kept.
    for (int j = 1; j <= kept; ++j) {
        document.undo();
        ASSERT_TRUE(document.settings() == denseSound(edits - j)) << "undo " << j;
    }
    EXPECT_FALSE(history.canUndo());
    for (int j = kept - 1; j >= 0; --j) document.redo();
    EXPECT_TRUE(document.settings() == denseSound(edits));
    SoundModel fresh;
    fresh.settings = denseSound(edits);
    fresh.applyAll();
    EXPECT_EQ(document.rendered().samples(), fresh.rendered.samples()) << "the rendered sound follows";
}

}  // namespace
