// Thousands of random mouse events against the real window: whatever the
// order, the envelopes stay valid, each button group has one pressed button,
// the repeat count stays in range, the samples match the sound's sizes, and
// with undo and redo pressed among them the settings are always those the
// history says they are.

#include "WindowHarness.h"

#include "document/SettingsStep.h"
#include "formats/ZdlFormat.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>

namespace {

QByteArray settingsBytes(const SoundSettings& s) {
    const auto encoded = zdl::encode(s);
    return QByteArray(reinterpret_cast<const char*>(encoded.data()), static_cast<qsizetype>(encoded.size()));
}

int pressedCount(OptionGroup& group) {
    int n = 0;
    for (int i = 0; i < group.size(); ++i) n += group.button(i).isPressed() ? 1 : 0;
    return n;
}

// Empty when every invariant holds, else what broke.
std::string brokenInvariants(WindowHarness& h) {
    std::ostringstream out;
    Editor& e = h.editor();
    const SoundDocument& m = h.document;
    if (!m.settings().amplitude.isValid())
        out << "amplitude envelope invalid: " << m.settings().amplitude.toText() << "; ";
    if (!m.settings().frequency.isValid())
        out << "frequency envelope invalid: " << m.settings().frequency.toText() << "; ";
    for (OptionGroup* g : {&e.waveformGroup(), &e.bitsGroup(), &e.rateGroup(), &e.repeatsGroup()})
        if (pressedCount(*g) != 1) out << "a group has " << pressedCount(*g) << " pressed buttons; ";
    if (h.window->windowTitle() != h.document.windowTitle())
        out << "caption \"" << h.window->windowTitle().toStdString() << "\" out of date; ";
    if (m.settings().repeatCount < 1 || m.settings().repeatCount > 10)
        out << "repeat count " << m.settings().repeatCount << "; ";
    if (e.repeatsGroup().pressedIndex() != m.settings().repeatCount - 1)
        out << "repeats button does not match the count; ";
    const RenderedSound& r = m.rendered();
    if (r.bits() != m.settings().bitsPerSample || r.sampleRate() != m.settings().sampleRate)
        out << "format differs from the settings; ";
    if (r.dataSize() != size_t(r.sampleCount()) * size_t(r.bits() / 8))
        out << "buffer of " << r.dataSize() << " bytes for " << r.sampleCount() << " samples; ";
    if (r.lengthSamples() > r.sampleCount() || r.lengthSamples() <= 0)
        out << "main part " << r.lengthSamples() << " of " << r.sampleCount() << " samples; ";
    if (wav_header::dataSize(r.header()) != r.dataSize()) out << "header data size differs from the buffer; ";
    if (!e.isDragging()) {
        // Between drags the sound has the durations the sliders show.
        if (r.lengthMs() != static_cast<float>(lengthMs(m.settings().length)))
            out << "sound is " << r.lengthMs() << " ms, Length says " << lengthMs(m.settings().length) << "; ";
        for (int j = 0; j < 4; ++j) {
            const float settings[] = {m.settings().length, m.settings().distort, m.settings().echoVolume,
                                      m.settings().echoDelay};
            if (e.slider(j).position() != settings[j]) out << "slider " << j << " differs from its setting; ";
        }
    }
    return out.str();
}

// Empty when the settings are what the history says they are: the "after" of
// the step at its index, or the "before" of the first step at index 0.
std::string historyMismatch(WindowHarness& h, const QByteArray& loaded) {
    const EditHistory& history = h.document.history();
    QByteArray expected = loaded;
    if (history.index() > 0)
        expected = settingsBytes(static_cast<const SettingsStep*>(history.command(history.index() - 1))->after());
    else if (history.count() > 0)
        expected = settingsBytes(static_cast<const SettingsStep*>(history.command(0))->before());
    if (settingsBytes(h.document.settings()) == expected) return std::string();
    return "the settings differ from step " + std::to_string(history.index()) + " of the history";
}

TEST(WindowRandom, InvariantsHoldUnderThousandsOfRandomMouseEvents) {
    WindowHarness h(QSize(800, 560));
    EditorCanvas* canvas = h.canvas();
    std::mt19937 random(20261208);
    const QRect client(QPoint(0, 0), canvas->size());
    const WindowLayout& layout = h.editor().layout();

    // Aim at the interesting places most of the time, and anywhere (even
    // outside the window, as a drag may go) the rest.
    auto somewhere = [&]() -> QPoint {
        std::uniform_int_distribution<int> pick(0, 9);
        const int kind = pick(random);
        QRect area = client;
        if (kind < 3)
            area = layout.amplitude;
        else if (kind < 5)
            area = layout.frequency;
        else if (kind < 7)
            area = QRect(layout.sliders[0].topLeft(), layout.sliders[3].bottomRight());
        else if (kind == 7)
            area = client.adjusted(-60, -60, 60, 60);
        else if (kind == 8)
            area = QRect(layout.waveformButtons[0].topLeft(), layout.bitsButtons[1].bottomRight());
        std::uniform_int_distribution<int> x(area.left(), area.right());
        std::uniform_int_distribution<int> y(area.top(), area.bottom());
        return {x(random), y(random)};
    };

    constexpr int kEvents = 6000;
    bool leftHeld = false;
    const QByteArray loaded = settingsBytes(h.document.settings());
    int hintStage = h.editor().hint().stage();
    for (int n = 0; n < kEvents; ++n) {
        const QPoint p = somewhere();
        const int action = std::uniform_int_distribution<int>(0, 107)(random);
        if (action < 45) {
            QTest::mouseMove(canvas, p);
        } else if (action < 60) {
            if (leftHeld)
                QTest::mouseRelease(canvas, Qt::LeftButton, {}, p);
            else
                QTest::mousePress(canvas, Qt::LeftButton, {}, p);
            leftHeld = !leftHeld;
        } else if (action < 80) {
            // Long drags: press here, wander, release elsewhere.
            if (!leftHeld) QTest::mousePress(canvas, Qt::LeftButton, {}, p);
            for (int k = 0; k < 4; ++k) QTest::mouseMove(canvas, somewhere());
            QTest::mouseRelease(canvas, Qt::LeftButton, {}, somewhere());
            leftHeld = false;
        } else if (action < 92) {
            QTest::mouseClick(canvas, Qt::RightButton, {}, p);
        } else if (action < 96) {
            QTest::mouseClick(canvas, Qt::LeftButton, {}, p);
        } else if (action < 100) {
            QTest::mouseDClick(canvas, Qt::LeftButton, {}, p);
        } else if (action < 104) {
            QTest::keyClick(h.window.get(), Qt::Key_Z, Qt::ControlModifier);
        } else {
            QTest::keyClick(h.window.get(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        }
        std::string broken = brokenInvariants(h);
        // Mid-drag the held curve or knob is ahead of the history.
        if (!h.editor().isDragging()) broken += historyMismatch(h, loaded);
        ASSERT_GE(h.editor().hint().stage(), hintStage) << "the hint went back after event " << n;
        hintStage = h.editor().hint().stage();
        ASSERT_TRUE(broken.empty()) << "after event " << n << " at (" << p.x() << ", " << p.y() << "): " << broken;
    }
    if (leftHeld) QTest::mouseRelease(canvas, Qt::LeftButton, {}, QPoint(1, 1));
    EXPECT_TRUE(brokenInvariants(h).empty());
    EXPECT_FALSE(h.editor().isDragging());
    EXPECT_GT(h.editor().renderCount(), 100) << "the events reached the editor";
}

}  // namespace
