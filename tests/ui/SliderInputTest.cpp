// The sliders through the real window: the wheel moves one by a step a
// notch, a double click on a caption asks for the exact value, and each is
// one undo step.

#include "DocumentHarness.h"
#include "Gestures.h"
#include "ui/controls/SliderValue.h"
#include "ui/dialogs/SliderValueDialog.h"

#include "WhenModal.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

struct SliderFixture : ::testing::Test {
    DocumentHarness d;
    Editor& editor() { return d.h.editor(); }
    const SoundSettings& settings() { return d.h.document.settings(); }
    int steps() { return d.h.document.history().index(); }  // the steps that undo would take back
    QString undoText() { return d.menu().undoAction->text(); }
    void undoKey() { d.key(Qt::Key_Z, Qt::ControlModifier); }

    // Turns the wheel over a slider's track by `delta` eighths of a degree
    // (120 a notch, positive away from the user).
    void wheel(int slider, int delta, bool inverted = false) {
        const QRect r = editor().slider(slider).rect();
        const QPointF at(r.center());
        QWheelEvent event(at, d.h.canvas()->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, inverted);
        QApplication::sendEvent(d.h.canvas(), &event);
    }
    QPoint captionPos(int slider) {
        const QRect r = editor().slider(slider).rect();
        return {r.center().x(), r.top() + 8};
    }
    void doubleClickCaption(int slider) { QTest::mouseDClick(d.h.canvas(), Qt::LeftButton, {}, captionPos(slider)); }
};

float& positionIn(SoundSettings& s, int slider) {
    float* fields[] = {&s.length, &s.distort, &s.echoVolume, &s.echoDelay};
    return *fields[slider];
}
float positionIn(const SoundSettings& s, int slider) { return positionIn(const_cast<SoundSettings&>(s), slider); }

TEST_F(SliderFixture, EachWheelNotchIsOneStepUpOrDown) {
    const char* names[] = {"Length", "Distort", "Echo Volume", "Echo Delay"};
    SoundSettings middle = settings();
    for (int j = 0; j < 4; ++j) positionIn(middle, j) = 0.5f;  // room to go both ways
    d.h.document.commit(middle, QStringLiteral("Set"));
    for (int j = 0; j < 4; ++j) {
        SCOPED_TRACE(names[j]);
        SoundSettings expected = settings();
        const float start = positionIn(expected, j);
        const int before = steps();

        wheel(j, 120);  // up: higher
        positionIn(expected, j) = slider_value::stepped(start, 1);
        EXPECT_GT(positionIn(expected, j), start);
        EXPECT_TRUE(settings() == expected);
        EXPECT_EQ(editor().slider(j).position(), positionIn(expected, j)) << "the knob shows it";
        EXPECT_EQ(steps(), before + 1);
        EXPECT_EQ(undoText(), QStringLiteral("&Undo %1\tCtrl+Z").arg(QLatin1String(names[j])));

        wheel(j, 60);  // half a notch waits for the other half
        EXPECT_EQ(steps(), before + 1);
        wheel(j, 60);
        wheel(j, -360);  // three notches down: three steps
        EXPECT_EQ(steps(), before + 5);
        EXPECT_EQ(positionIn(d.h.document.settings(), j), slider_value::stepped(start, -1));
        wheel(j, 120, true);  // natural scrolling reports a turn up as down
        EXPECT_EQ(positionIn(d.h.document.settings(), j), slider_value::stepped(start, -2));

        for (int k = 0; k < 6; ++k) undoKey();
        EXPECT_EQ(positionIn(d.h.document.settings(), j), start) << "every notch undoes on its own";
        EXPECT_EQ(steps(), before);
    }
}

TEST_F(SliderFixture, AtTheEndsTheWheelAddsNoStep) {
    SoundSettings s = settings();
    s.distort = 1.0f;
    s.echoVolume = 0.0f;
    d.h.document.commit(s, QStringLiteral("Set"));
    const int before = steps();
    const int renders = editor().renderCount();
    wheel(Editor::Distort, 120);
    wheel(Editor::EchoVolume, -240);
    EXPECT_EQ(steps(), before);
    EXPECT_EQ(editor().renderCount(), renders) << "nothing to render";
    wheel(Editor::Distort, -120);
    EXPECT_EQ(settings().distort, slider_value::stepped(1.0f, -1));
    // Over anything but a slider the wheel does nothing.
    const QRect graph = editor().amplitudeGraph().rect();
    QWheelEvent event(QPointF(graph.center()), d.h.canvas()->mapToGlobal(QPointF(graph.center())), QPoint(),
                      QPoint(0, 120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(d.h.canvas(), &event);
    EXPECT_EQ(steps(), before + 1);
}

TEST_F(SliderFixture, TypedValuesAreOneStepEachAndOutOfRangeChangesNothing) {
    const struct {
        int slider;
        std::optional<int> typed;  // none: cancelled
        const char* caption;       // line 1 of the slider afterwards
        bool applied;
    } cases[] = {
        {Editor::Length, 900, "900ms", true},
        {Editor::Length, 10000, "10000ms", true},
        {Editor::Length, 20, "20ms", true},
        {Editor::Length, 1234, "1234ms", true},
        {Editor::Length, std::nullopt, "1234ms", false},
        {Editor::Length, 10001, "1234ms", false},  // refused though a script typed it
        {Editor::Distort, 29, "29%", true},
        {Editor::Distort, 101, "29%", false},
        {Editor::EchoVolume, 100, "Volume", true},
        {Editor::EchoDelay, 617, "Delay", true},
        {Editor::EchoDelay, 1235, "Delay", false},  // longer than the Length
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.slider) + " " + (c.typed ? std::to_string(*c.typed) : "cancel"));
        d.h.valueAsker.answer = [&](const slider_value::Field&) { return c.typed; };
        const SoundSettings before = settings();
        const int stepsBefore = steps();
        doubleClickCaption(c.slider);
        ASSERT_FALSE(d.h.valueAsker.asked.empty());
        EXPECT_EQ(d.h.valueAsker.asked.back().slider, c.slider);
        EXPECT_EQ(editor().slider(c.slider).line(1).toStdString(), c.caption);
        EXPECT_EQ(steps(), stepsBefore + (c.applied ? 1 : 0));
        if (c.applied) {
            EXPECT_EQ(slider_value::field(c.slider, settings()).shown, *c.typed) << "shows back as typed";
            undoKey();
            EXPECT_TRUE(settings() == before) << "undo gives back the value before";
            d.key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        } else {
            EXPECT_TRUE(settings() == before);
        }
    }
    // The dialog starts from what the slider shows.
    EXPECT_EQ(d.h.valueAsker.asked.front().shown, 400);
    EXPECT_EQ(d.h.valueAsker.asked.back().maximum, 1234) << "Echo Delay runs up to the Length";
    // A double click on the track is no caption's.
    const size_t asked = d.h.valueAsker.asked.size();
    const QRect r = editor().slider(Editor::Distort).rect();
    QTest::mouseDClick(d.h.canvas(), Qt::LeftButton, {}, QPoint(r.center().x() + 20, r.center().y()));
    EXPECT_EQ(d.h.valueAsker.asked.size(), asked);
}

// The real dialog over the window: typed, refused with its reason beside the
// field, then accepted; Enter on a refused value leaves it open.
TEST_F(SliderFixture, TheValueDialogRefusesOutOfRangeAndTakesTheTypedValue) {
    d.h.window->useSliderValueDialogs();
    const struct {
        const char* text;
        bool accept;
        const char* note;
        bool okEnabled;
    } typing[] = {
        {"1500", false, "From 20 ms to 10000 ms.", true},
        {"15", false, "Length can't be less than 20 ms.", false},
        {"abc", false, "Type a whole number from 20 ms to 10000 ms.", false},
        {"10001", false, "Length can't be more than 10000 ms.", false},
        {"1500", true, "From 20 ms to 10000 ms.", true},
    };
    QString shown;
    QWidget* owner = nullptr;
    bool stayedOpen = false;
    whenModal([&](QWidget* w) {
        auto* dialog = qobject_cast<SliderValueDialog*>(w);
        if (!dialog) return false;
        shown = dialog->valueField()->text();
        owner = dialog->parentWidget();
        for (const auto& t : typing) {
            SCOPED_TRACE(t.text);
            dialog->valueField()->selectAll();
            QTest::keyClicks(dialog->valueField(), QString::fromLatin1(t.text));
            EXPECT_EQ(dialog->noteLabel()->text().toStdString(), t.note);
            EXPECT_EQ(dialog->okButton()->isEnabled(), t.okEnabled);
            if (!t.okEnabled) {
                QTest::keyClick(dialog->valueField(), Qt::Key_Return);
                stayedOpen = dialog->isVisible();
            }
            if (t.accept) QTest::keyClick(dialog->valueField(), Qt::Key_Return);
        }
        return true;
    });
    doubleClickCaption(Editor::Length);
    EXPECT_EQ(shown, QStringLiteral("400"));
    EXPECT_EQ(owner, d.h.window.get());
    EXPECT_TRUE(stayedOpen) << "Enter on a refused value";
    EXPECT_EQ(editor().slider(Editor::Length).line(1), QStringLiteral("1500ms"));
    EXPECT_EQ(steps(), 1);

    // Cancel changes nothing.
    whenModal([&](QWidget* w) {
        auto* dialog = qobject_cast<SliderValueDialog*>(w);
        if (!dialog) return false;
        dialog->valueField()->setText(QStringLiteral("700"));
        dialog->cancelButton()->click();
        return true;
    });
    doubleClickCaption(Editor::Length);
    EXPECT_EQ(editor().slider(Editor::Length).line(1), QStringLiteral("1500ms"));
    EXPECT_EQ(steps(), 1);
}

}  // namespace
