// The editor draws only what a gesture changed and sends only that to the
// screen. Whatever the gestures, the picture it keeps must be the one a whole
// redraw gives, and the screen must hold that picture: random gestures with
// live preview on, each followed by one compare of the three. Built into the
// tests at one and at two device pixels per logical pixel.

#include "WindowHarness.h"

#include "Gestures.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>

namespace {

// The screen as the editor's repaints leave it: each region it sends is
// copied from the back buffer, as the canvas's paint does.
struct ScreenCopy {
    explicit ScreenCopy(Editor& editor) : editor(editor) {
        picture = editor.backBuffer().image().copy();
        QObject::connect(&editor, &Editor::repaintNeeded, [this](const QRegion& region) { take(region); });
    }
    void take(const QRegion& region) {
        const QImage& buffer = editor.backBuffer().image();
        if (picture.size() != buffer.size()) picture = buffer.copy();
        const qreal dpr = buffer.devicePixelRatio();
        for (const QRect& r : region) {
            const QRect device(QPoint(int(r.left() * dpr), int(r.top() * dpr)), r.size() * dpr);
            for (int y = device.top(); y <= device.bottom(); ++y)
                std::memcpy(picture.scanLine(y) + device.left() * 4, buffer.constScanLine(y) + device.left() * 4,
                            size_t(device.width()) * 4);
        }
    }
    Editor& editor;
    QImage picture;
};

// Where two pictures differ, for the failure message.
std::string difference(const QImage& a, const QImage& b) {
    if (a.size() != b.size()) return "sizes differ";
    QRect box;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y)) box |= QRect(x, y, 1, 1);
    std::ostringstream out;
    out << "differs in " << box.width() << "x" << box.height() << " at " << box.x() << "," << box.y();
    return out.str();
}

class PartialPaint : public ::testing::TestWithParam<int> {
protected:
    Editor& editor() { return h.editor(); }
    void waitForPreview() {
        QCoreApplication::processEvents();  // the coalesced preview asks for its render
        ASSERT_TRUE(QTest::qWaitFor([&] { return !h.document.previewPending(); }, 5000));
    }
    // The kept picture, the screen and a whole redraw are one picture.
    void expectWhole(const std::string& after) {
        const QImage kept = editor().backBuffer().image().copy();
        ASSERT_TRUE(screen.picture == kept) << "screen after " << after << ": " << difference(screen.picture, kept);
        editor().redrawAll();
        ASSERT_TRUE(kept == editor().backBuffer().image())
            << "after " << after << ": " << difference(kept, editor().backBuffer().image());
    }
    void dragPoint(EnvelopeGraph& graph, std::mt19937& random) {
        const int point = std::uniform_int_distribution<int>(0, graph.envelope().pointCount() - 1)(random);
        QPoint at = gestures::pointPos(graph, point);
        QTest::mousePress(h.canvas(), Qt::LeftButton, {}, at);
        std::uniform_int_distribution<int> step(-40, 40);
        for (int i = 0; i < 3; ++i) {
            at += QPoint(step(random), step(random));
            QTest::mouseMove(h.canvas(), at);
            waitForPreview();
            expectWhole("a drag step");
        }
        QTest::mouseRelease(h.canvas(), Qt::LeftButton, {}, at);
    }
    void dragSlider(Slider& slider, std::mt19937& random) {
        QPoint at = gestures::knobPos(slider);
        QTest::mousePress(h.canvas(), Qt::LeftButton, {}, at);
        at.ry() += std::uniform_int_distribution<int>(-60, 60)(random);
        QTest::mouseMove(h.canvas(), at);
        waitForPreview();
        expectWhole("a slider step");
        QTest::mouseRelease(h.canvas(), Qt::LeftButton, {}, at);
    }
    void press(OptionGroup& group, std::mt19937& random) {
        const int i = std::uniform_int_distribution<int>(0, group.size() - 1)(random);
        QTest::mouseClick(h.canvas(), Qt::LeftButton, {}, group.button(i).rect().center());
    }

    WindowHarness h;
    ScreenCopy screen{h.editor()};
};

TEST_P(PartialPaint, WhatIsKeptAndShownIsAWholeRedraw) {
    std::mt19937 random(static_cast<unsigned>(GetParam()));
    if (GetParam() % 2 == 1) {
        // 16 bits, the plot's other sample reader, with echo and distortion.
        SoundSettings s = h.document.settings();
        s.bitsPerSample = 16;
        s.sampleRate = 22050;
        s.distort = 0.4f;
        s.echoVolume = 0.5f;
        s.echoDelay = 0.3f;
        h.document.load(s);
    }
    editor().setLivePreview(true);
    for (int step = 0; step < 14; ++step) {
        switch (std::uniform_int_distribution<int>(0, 5)(random)) {
        case 0: dragPoint(editor().amplitudeGraph(), random); break;
        case 1: dragPoint(editor().frequencyGraph(), random); break;
        case 2: dragSlider(editor().slider(std::uniform_int_distribution<int>(0, 3)(random)), random); break;
        case 3: press(editor().waveformGroup(), random); break;
        case 4:
            press(std::uniform_int_distribution<int>(0, 1)(random) ? editor().bitsGroup() : editor().rateGroup(),
                  random);
            break;
        default: editor().undo(); break;
        }
        if (HasFatalFailure()) return;
        expectWhole("step " + std::to_string(step));
        if (HasFatalFailure()) return;
    }
}

INSTANTIATE_TEST_SUITE_P(Seeds, PartialPaint, ::testing::Range(1, 5));

// What each gesture sends to the screen: a drag step the part of the graph
// around the moved point and the plot's columns whose samples changed, in the
// rows the trace reaches; a waveform button the two buttons whose look changed,
// the waveform plot and the output plot's trace rows.
TEST(PartialPaintRegions, EachGestureSendsOnlyWhatChanged) {
    WindowHarness h;
    Editor& editor = h.editor();
    editor.hintStage(HintPanel::kLastStage);  // out of the way
    editor.redrawAll();
    QRegion painted;
    QObject::connect(&editor, &Editor::repaintNeeded, [&](const QRegion& region) { painted += region; });

    const QRect plot = editor.outputView().rect();
    const int plotLeft = plot.left() + OutputView::kPlotLeft;
    const int plotWidth = plot.width() - OutputView::kPlotLeft - OutputView::kPlotRight;
    const bool wholePixels = h.canvas()->devicePixelRatioF() == 1.0;
    // Only the rows the trace reaches: never the time labels under it. On a
    // screen of another pixel ratio the plot is drawn whole.
    auto expectTraceRows = [&](const QRect& replotted) {
        if (!wholePixels) {
            EXPECT_EQ(replotted, plot);
            return;
        }
        EXPECT_GE(replotted.top(), plot.top() + OutputView::kPlotTop - 1);
        EXPECT_LE(replotted.bottom(), plot.bottom() - OutputView::kPlotBottom + 2);
    };

    QTest::mouseClick(h.canvas(), Qt::LeftButton, {}, editor.waveformGroup().button(6).rect().center());
    const QRegion press = QRegion(editor.waveformGroup().button(0).rect()) + editor.waveformGroup().button(6).rect() +
                          editor.waveformView().rect();
    EXPECT_EQ(painted.subtracted(plot), press);
    const QRect pressPlot = painted.intersected(plot).boundingRect();
    expectTraceRows(pressPlot);
    if (wholePixels) {
        EXPECT_EQ(pressPlot.left(), plotLeft);
        EXPECT_EQ(pressPlot.right(), plotLeft + plotWidth - 1);
    }

    editor.setLivePreview(true);
    const QPoint p = gestures::pointPos(editor.amplitudeGraph(), 2);  // at 40%, between the points at 20% and 60%
    QTest::mousePress(h.canvas(), Qt::LeftButton, {}, p);
    painted = QRegion();
    QTest::mouseMove(h.canvas(), p + QPoint(0, 20));
    QCoreApplication::processEvents();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !h.document.previewPending(); }, 5000));
    const QRect graph = editor.amplitudeGraph().rect();
    const QRegion inGraph = painted.intersected(graph);
    const QRegion inPlot = painted.intersected(plot);
    EXPECT_TRUE(painted.subtracted(QRegion(graph) + plot).isEmpty());
    // The two lines at the point and its marker, between the neighbours.
    const QRect held = inGraph.boundingRect();
    EXPECT_GT(held.left(), gestures::pointPos(editor.amplitudeGraph(), 1).x() - 8);
    EXPECT_LT(held.right(), gestures::pointPos(editor.amplitudeGraph(), 3).x() + 8);
    // The sound changed between 20% and 60% only.
    const QRect replotted = inPlot.boundingRect();
    expectTraceRows(replotted);
    if (wholePixels) {
        EXPECT_NEAR(replotted.left(), plotLeft + plotWidth / 5, 3);
        EXPECT_NEAR(replotted.right(), plotLeft + 3 * plotWidth / 5, 3);
    }
    QTest::mouseRelease(h.canvas(), Qt::LeftButton, {}, p + QPoint(0, 20));
}

}  // namespace
