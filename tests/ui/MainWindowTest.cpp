#include "WindowHarness.h"

#include "Gestures.h"

#include "ui/window/StartupTiming.h"

#include "core/Waveforms.h"

#include <QAction>
#include <QKeyEvent>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

constexpr QRgb kYellow = qRgb(255, 255, 0);

using gestures::knobPos;
using gestures::pointPos;

bool hasPixel(const QImage& image, const QRect& logical, QRgb colour) {
    const qreal dpr = image.devicePixelRatio();
    for (int y = logical.top(); y < logical.top() + logical.height(); ++y)
        for (int x = logical.left(); x < logical.left() + logical.width(); ++x)
            if (image.pixel(static_cast<int>(x * dpr), static_cast<int>(y * dpr)) == colour) return true;
    return false;
}

class MainWindowTest : public ::testing::Test {
protected:
    WindowHarness h;  // client 1000 x 700: graphs 736 x 210, plot areas 680 x 178

    EditorCanvas* canvas() { return h.canvas(); }
    Editor& editor() { return h.editor(); }
    void press(QPoint p) { QTest::mousePress(canvas(), Qt::LeftButton, {}, p); }
    void release(QPoint p) { QTest::mouseRelease(canvas(), Qt::LeftButton, {}, p); }
    void move(QPoint p) { QTest::mouseMove(canvas(), p); }
    void click(QPoint p) { QTest::mouseClick(canvas(), Qt::LeftButton, {}, p); }
    void rightClick(QPoint p) { QTest::mouseClick(canvas(), Qt::RightButton, {}, p); }
    void doubleClick(QPoint p) { QTest::mouseDClick(canvas(), Qt::LeftButton, {}, p); }
    // What the graphs show: the curve a drag holds, else the document's.
    std::string amplitude() { return editor().amplitudeGraph().envelope().toText(); }
    std::string frequency() { return editor().frequencyGraph().envelope().toText(); }
};

TEST(MainWindowLayout, ViewsTakeTheirPlacesAtTwoClientSizes) {
    WindowHarness h;
    for (const QSize client : {QSize(1000, 700), QSize(1400, 900)}) {
        h.setClientSize(client);
        ASSERT_EQ(h.canvas()->size(), client);
        Editor& e = h.editor();
        const WindowLayout expected = WindowLayout::compute(client);
        EXPECT_EQ(e.amplitudeGraph().rect(), expected.amplitude);
        EXPECT_EQ(e.frequencyGraph().rect(), expected.frequency);
        EXPECT_EQ(e.outputView().rect(), expected.output);
        EXPECT_EQ(e.waveformView().rect(), expected.waveform);
        for (int i = 0; i < 18; ++i)
            EXPECT_EQ(e.waveformGroup().button(i).rect(), expected.waveformButtons[size_t(i)]) << i;
        for (int i = 0; i < 10; ++i)
            EXPECT_EQ(e.repeatsGroup().button(i).rect(), expected.repeatsButtons[size_t(i)]) << i;
        for (int i = 0; i < 3; ++i) EXPECT_EQ(e.rateGroup().button(i).rect(), expected.rateButtons[size_t(i)]) << i;
        for (int i = 0; i < 2; ++i) EXPECT_EQ(e.bitsGroup().button(i).rect(), expected.bitsButtons[size_t(i)]) << i;
        for (int j = 0; j < 4; ++j) EXPECT_EQ(e.slider(j).rect(), expected.sliders[size_t(j)]) << j;
        EXPECT_EQ(e.backBuffer().logicalSize(), client);
        // The hint is re-placed for the new size (stage 0: inside the output plot).
        EXPECT_EQ(e.hint().rect().topLeft(), QPoint((client.width() - 240) / 2 - 96, 5 * client.height() / 6 - 15));
    }
}

TEST(MainWindowLayout, TheScreenShowsExactlyTheBackBuffer) {
    WindowHarness h;
    const QImage screen = h.canvas()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QImage& buffer = h.editor().backBuffer().image();
    ASSERT_EQ(screen.size(), buffer.size());
    EXPECT_TRUE(screen == buffer);
    // Background between the views, and the titles drawn on it.
    EXPECT_EQ(buffer.pixel(3, 300), BackBuffer::kBackground);
    EXPECT_TRUE(hasPixel(buffer, QRect(8, 3, 80, 14), qRgb(0, 0, 0))) << "the Amplitude title";
}

TEST(MainWindowLayout, AnEmptyClientDrawsNothingAndTheNextSizeRestoresAll) {
    DrawingTools tools;
    SoundDocument document;
    Editor e(document, tools);  // no window: nothing repaints behind the test's back
    int updates = 0;
    QObject::connect(&e, &Editor::repaintNeeded, [&](const QRegion&) { ++updates; });
    for (const QSize tiny : {QSize(0, 0), QSize(120, 40)}) {
        e.relayout(tiny, 1.0);
        e.redrawAll();
        document.commit(document.settings(), QStringLiteral("Nothing"));  // renders, with nothing to undo
        e.updateWindow();
        EXPECT_TRUE(e.amplitudeGraph().image().isNull());
        EXPECT_TRUE(e.outputView().image().isNull());
    }
    EXPECT_TRUE(e.backBuffer().image().size() == QSize(120, 40));
    e.relayout(QSize(1000, 700), 1.0);
    EXPECT_FALSE(e.amplitudeGraph().image().isNull());
    EXPECT_FALSE(e.outputView().image().isNull());
    e.redrawAll();
    EXPECT_GT(updates, 0);
    EXPECT_NE(e.backBuffer().image().pixel(e.outputView().rect().center()), BackBuffer::kBackground);
}

TEST_F(MainWindowTest, StartsWithTheDefaultSoundAndPlainTitle) {
    EXPECT_EQ(h.window->windowTitle(), QStringLiteral("Zindle"));
    EXPECT_EQ(editor().waveformGroup().pressedIndex(), 0);
    EXPECT_EQ(editor().bitsGroup().pressedIndex(), 0);
    EXPECT_EQ(editor().rateGroup().pressedIndex(), 0);
    EXPECT_EQ(editor().repeatsGroup().pressedIndex(), 0);
    EXPECT_EQ(editor().slider(Editor::Length).line(1), QStringLiteral("400ms"));
    EXPECT_EQ(editor().slider(Editor::Distort).line(1), QStringLiteral("0%"));
    EXPECT_EQ(editor().slider(Editor::EchoVolume).line(1), QStringLiteral("Volume"));
    EXPECT_EQ(editor().hint().stage(), 0);
    EXPECT_TRUE(hasPixel(editor().backBuffer().image(), editor().hint().rect(), kYellow));
}

TEST_F(MainWindowTest, RefreshControlsFollowsLoadedSettings) {
    SoundSettings s = h.document.settings();
    s.waveform = 300;
    s.bitsPerSample = 16;
    s.sampleRate = 44100;
    s.repeatCount = 7;
    s.length = 0.5f;
    s.distort = 0.29f;  // stored as 0.28999999: shows 28%
    s.echoVolume = 0.25f;
    h.document.load(s);
    editor().refreshControls();
    EXPECT_EQ(editor().waveformGroup().pressedIndex(), 9);  // Organ
    EXPECT_EQ(editor().bitsGroup().pressedIndex(), 1);
    EXPECT_EQ(editor().rateGroup().pressedIndex(), 2);
    EXPECT_EQ(editor().repeatsGroup().pressedIndex(), 6);
    EXPECT_EQ(editor().slider(Editor::Length).line(1), QStringLiteral("2500ms"));
    EXPECT_EQ(editor().slider(Editor::Distort).line(1), QStringLiteral("28%"));
    EXPECT_FLOAT_EQ(editor().slider(Editor::EchoVolume).position(), 0.25f);

    s.waveform = 999;  // not one of the eighteen: no waveform button is in force
    h.document.load(s);
    editor().refreshControls();
    EXPECT_EQ(editor().waveformGroup().pressedIndex(), -1);
}

TEST_F(MainWindowTest, DraggingAPointRendersOnceOnReleaseAndMarksModified) {
    const int rendersBefore = editor().renderCount();
    const std::vector<uint8_t> samplesBefore = h.document.rendered().samples();
    press(pointPos(editor().amplitudeGraph(), 2));
    for (const QPoint p : {QPoint(300, 60), QPoint(350, 100), QPoint(388, 125)}) move(p);
    EXPECT_EQ(amplitude(), "0:75 20:75 50:50 60:75 80:75 100:0");
    EXPECT_EQ(editor().renderCount(), rendersBefore) << "no render during the drag";
    EXPECT_EQ(h.document.rendered().samples(), samplesBefore);
    EXPECT_EQ(h.window->windowTitle(), QStringLiteral("Zindle"));

    release(QPoint(388, 125));
    EXPECT_EQ(editor().renderCount(), rendersBefore + 1);
    EXPECT_NE(h.document.rendered().samples(), samplesBefore);
    EXPECT_EQ(h.window->windowTitle(), QStringLiteral("Zindle *"));
    EXPECT_EQ(editor().hint().stage(), 2);
}

TEST_F(MainWindowTest, DuringADragOnlyTheGraphAndTheHintReachTheScreen) {
    std::vector<QRegion> painted;
    QObject::connect(&editor(), &Editor::repaintNeeded, [&](const QRegion& region) { painted.push_back(region); });
    press(pointPos(editor().frequencyGraph(), 2));
    for (int y = 250; y < 400; y += 30) move(QPoint(380, y));
    ASSERT_FALSE(painted.empty());
    const QRegion allowed = QRegion(editor().frequencyGraph().rect()) + editor().hint().rect();
    for (const QRegion& region : painted)
        EXPECT_TRUE((region - allowed).isEmpty()) << "painted outside the dragged graph";
    release(QPoint(380, 370));
    EXPECT_TRUE(painted.back().intersects(editor().outputView().rect())) << "the release replots the output";
}

TEST_F(MainWindowTest, HoldingAPointWithoutMovingRendersButLeavesTheDocumentClean) {
    const int rendersBefore = editor().renderCount();
    click(pointPos(editor().frequencyGraph(), 3));
    EXPECT_EQ(editor().renderCount(), rendersBefore + 1);
    EXPECT_FALSE(h.document.modified());
    EXPECT_EQ(editor().hint().stage(), 0) << "only the amplitude graph teaches the drag";
}

TEST_F(MainWindowTest, DraggingTheCurveStopsAtTheTopAndComesBackAtOnce) {
    const QPoint onCurve(116, 80);  // t = 0.1 on the first segment, at 75%
    press(onCurve);
    move(QPoint(116, -100));
    EXPECT_EQ(amplitude(), "0:100 20:100 40:100 60:100 80:100 100:25");
    // Back down by half the plot: the movement swallowed at the top is not owed,
    // so the curve falls at once, until its lowest point reaches 0%.
    move(QPoint(116, -100 + 89));
    EXPECT_EQ(amplitude(), "0:75 20:75 40:75 60:75 80:75 100:0");
    const int rendersBefore = editor().renderCount();
    release(QPoint(116, -11));
    EXPECT_EQ(editor().renderCount(), rendersBefore + 1);
    // Back where it started: nothing to undo, so the document stays clean.
    EXPECT_FALSE(h.document.modified());
    EXPECT_EQ(editor().hint().stage(), 0) << "a curve drag does not advance the hint";
}

TEST_F(MainWindowTest, SliderDragShowsItsValueLiveAndRendersOnRelease) {
    Slider& length = editor().slider(Editor::Length);
    const QPoint knob = knobPos(length);
    const int top = length.rect().top();
    const int rendersBefore = editor().renderCount();

    press(knob);
    move(QPoint(knob.x(), top + 36));  // the top of the track
    EXPECT_EQ(length.line(1), QStringLiteral("10000ms"));
    EXPECT_EQ(editor().renderCount(), rendersBefore);
    EXPECT_FLOAT_EQ(h.document.rendered().lengthMs(), 400.0f) << "the sound waits for the release";

    release(QPoint(knob.x(), top + 36));
    EXPECT_EQ(editor().renderCount(), rendersBefore + 1);
    EXPECT_FLOAT_EQ(h.document.settings().length, 1.0f);
    EXPECT_FLOAT_EQ(h.document.rendered().lengthMs(), 10000.0f);
    EXPECT_EQ(h.document.rendered().lengthSamples(), 110250);
    EXPECT_TRUE(h.document.modified());
}

TEST_F(MainWindowTest, EchoDelayReleaseLengthensTheWholeSound) {
    Slider& delay = editor().slider(Editor::EchoDelay);
    const QPoint knob = knobPos(delay);
    press(knob);
    move(QPoint(knob.x(), delay.rect().top() + 36));
    release(QPoint(knob.x(), delay.rect().top() + 36));
    EXPECT_FLOAT_EQ(h.document.settings().echoDelay, 1.0f);
    EXPECT_FLOAT_EQ(h.document.rendered().totalMs(), 1600.0f);  // the main part and three echoes
    EXPECT_EQ(h.document.rendered().sampleCount(), 4 * h.document.rendered().lengthSamples());
}

struct GroupCase {
    const char* name;
    std::function<OptionGroup&(Editor&)> group;
    int index;
    std::function<int(const SoundDocument&)> setting;  // what the button changed
    int expected;
    int renders;  // the repeat count renders nothing
};

TEST_F(MainWindowTest, EveryButtonGroupSelectsExactlyOneAndAppliesItsValue) {
    const GroupCase cases[] = {
        {"Square", &Editor::waveformGroup, 6, [](const SoundDocument& m) { return m.table().kind(); }, 200, 1},
        {"Noise 6", &Editor::waveformGroup, 17, [](const SoundDocument& m) { return m.settings().waveform; }, 405, 1},
        {"Sine again", &Editor::waveformGroup, 0, [](const SoundDocument& m) { return m.table().kind(); }, 100, 1},
        {"44KHz", &Editor::rateGroup, 2, [](const SoundDocument& m) { return m.rendered().sampleRate(); }, 44100, 1},
        {"22KHz", &Editor::rateGroup, 1, [](const SoundDocument& m) { return m.settings().sampleRate; }, 22050, 1},
        {"16 bit", &Editor::bitsGroup, 1, [](const SoundDocument& m) { return m.rendered().bits(); }, 16, 1},
        {"8 bit", &Editor::bitsGroup, 0, [](const SoundDocument& m) { return m.settings().bitsPerSample; }, 8, 1},
        {"repeats 10", &Editor::repeatsGroup, 9, [](const SoundDocument& m) { return m.settings().repeatCount; }, 10,
         0},
        {"repeats 4", &Editor::repeatsGroup, 3, [](const SoundDocument& m) { return m.settings().repeatCount; }, 4, 0},
    };
    for (const GroupCase& c : cases) {
        OptionGroup& group = c.group(editor());
        const int rendersBefore = editor().renderCount();
        click(group.button(c.index).rect().center());
        int pressed = 0;
        for (int i = 0; i < group.size(); ++i) pressed += group.button(i).isPressed() ? 1 : 0;
        EXPECT_EQ(pressed, 1) << c.name;
        EXPECT_EQ(group.pressedIndex(), c.index) << c.name;
        EXPECT_EQ(c.setting(h.document), c.expected) << c.name;
        EXPECT_EQ(editor().renderCount(), rendersBefore + c.renders) << c.name;
        EXPECT_EQ(h.window->windowTitle(), QStringLiteral("Zindle *")) << c.name;
        EXPECT_EQ(h.document.rendered().dataSize(),
                  size_t(h.document.rendered().sampleCount()) * size_t(h.document.rendered().bits() / 8))
            << c.name;
    }
}

TEST_F(MainWindowTest, TheCaptionGainsItsStarOnlyOnce) {
    QSignalSpy titleChanges(h.window.get(), &QWidget::windowTitleChanged);
    click(editor().waveformGroup().button(6).rect().center());
    click(editor().rateGroup().button(1).rect().center());
    rightClick(pointPos(editor().amplitudeGraph(), 3));
    EXPECT_EQ(titleChanges.count(), 1);
    EXPECT_EQ(h.window->windowTitle(), QStringLiteral("Zindle *"));
}

TEST_F(MainWindowTest, TheCursorFollowsTheRegionUnderThePointer) {
    const QCursor& hand = h.tools.handCursor;
    const QCursor& play = h.tools.playCursor;
    const QCursor arrow(Qt::ArrowCursor);
    const Slider& distort = editor().slider(Editor::Distort);
    const struct {
        const char* where;
        QPoint pos;
        const QCursor& cursor;
    } cases[] = {
        {"amplitude point", pointPos(editor().amplitudeGraph(), 1), hand},
        {"frequency point", pointPos(editor().frequencyGraph(), 4), hand},
        {"amplitude curve", QPoint(116, 80), hand},
        {"waveform button", editor().waveformGroup().button(11).rect().center(), hand},
        {"rate button", editor().rateGroup().button(2).rect().topLeft(), hand},
        {"bits button", editor().bitsGroup().button(1).rect().center(), hand},
        {"repeats button", editor().repeatsGroup().button(9).rect().center(), hand},
        {"slider knob", knobPos(distort), hand},
        {"output plot", editor().outputView().rect().center(), play},
        {"background", QPoint(3, 300), arrow},
        {"title", QPoint(20, 8), arrow},
        {"waveform plot", editor().waveformView().rect().center(), arrow},
        {"slider away from its knob", knobPos(distort) - QPoint(0, 40), arrow},
        {"graph away from curve and points", QPoint(300, 160), arrow},
    };
    for (const auto& c : cases) {
        move(QPoint(1, 1));
        move(c.pos);
        EXPECT_EQ(canvas()->cursor().shape(), c.cursor.shape()) << c.where;
        EXPECT_EQ(canvas()->cursor().hotSpot(), c.cursor.hotSpot()) << c.where;
    }
}

TEST_F(MainWindowTest, ClickingThePlotPlaysWithTheRepeatCountAndAdvancesTheHint) {
    click(editor().repeatsGroup().button(2).rect().center());
    const size_t oneCopy = h.document.rendered().dataSize();
    click(editor().outputView().rect().center());
    ASSERT_EQ(h.player.plays(), 1);
    EXPECT_EQ(h.player.imageSizes[0], WavImage::kHeaderSize + 3 * oneCopy);
    EXPECT_GE(h.player.stops, 1) << "a play stops the previous sound first";
    EXPECT_EQ(editor().hint().stage(), 1);
    EXPECT_EQ(editor().hint().rect().topLeft(), QPoint((1000 - 240) / 2 - 136, 700 / 6 - 15));
    // The callout left the output plot and now points into the amplitude graph.
    EXPECT_FALSE(hasPixel(editor().backBuffer().image(), QRect(284, 568, 272, 30), kYellow));
    EXPECT_TRUE(hasPixel(editor().backBuffer().image(), editor().hint().rect(), kYellow));
}

TEST_F(MainWindowTest, SpacePlaysEveryAutoRepeatAndLeavesTheHint) {
    canvas()->setFocus();
    QTest::keyClick(canvas(), Qt::Key_Space);
    EXPECT_EQ(h.player.plays(), 1);
    for (int i = 0; i < 2; ++i) {
        QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "), true);
        QApplication::sendEvent(canvas(), &repeat);
    }
    EXPECT_EQ(h.player.plays(), 3);
    EXPECT_GE(h.player.stops, 3) << "each repeat restarts the sound";
    QTest::keyClick(canvas(), Qt::Key_X);
    EXPECT_EQ(h.player.plays(), 3);
    EXPECT_EQ(editor().hint().stage(), 0);
    EXPECT_FALSE(h.document.modified());
}

TEST_F(MainWindowTest, RightClicksDeleteAndInsertPoints) {
    const int rendersBefore = editor().renderCount();
    rightClick(pointPos(editor().amplitudeGraph(), 2));
    EXPECT_EQ(amplitude(), "0:75 20:75 60:75 80:75 100:0");
    EXPECT_EQ(editor().hint().stage(), 3) << "stages 1 and 2 are skipped";
    // Stage 3 points into the frequency graph.
    EXPECT_EQ(editor().hint().rect().topLeft(), QPoint((1000 - 240) / 2 - 216, 3 * 700 / 6 + 35));
    EXPECT_TRUE(editor().frequencyGraph().rect().intersects(editor().hint().rect()));
    EXPECT_TRUE(hasPixel(editor().backBuffer().image(), editor().hint().rect(), kYellow));
    EXPECT_EQ(editor().renderCount(), rendersBefore + 1);

    rightClick(pointPos(editor().frequencyGraph(), 0));  // the first point stays...
    EXPECT_EQ(frequency(), "0:50 20:50 40:50 60:50 80:50 100:50");
    EXPECT_EQ(editor().renderCount(), rendersBefore + 2) << "...but the click still counts as an edit";

    const QRect f = editor().frequencyGraph().rect();
    rightClick(QPoint(f.left() + 40 + 340, f.top() + 16 + 89));  // t = 0.5, v = 0.5
    EXPECT_EQ(frequency(), "0:50 20:50 40:50 50:50 60:50 80:50 100:50");
    rightClick(QPoint(f.left() + 40 + 340, f.top() + 16 + 20));  // same time: refused
    EXPECT_EQ(editor().frequencyGraph().envelope().pointCount(), 7);
    EXPECT_EQ(editor().renderCount(), rendersBefore + 3);
}

TEST_F(MainWindowTest, ARightClickDuringADragIsIgnored) {
    press(pointPos(editor().amplitudeGraph(), 4));
    QTest::mousePress(canvas(), Qt::RightButton, {}, pointPos(editor().amplitudeGraph(), 3));
    QTest::mouseRelease(canvas(), Qt::RightButton, {}, pointPos(editor().amplitudeGraph(), 3));
    EXPECT_EQ(editor().amplitudeGraph().envelope().pointCount(), 6);
    EXPECT_EQ(editor().amplitudeGraph().dragPoint(), 4);
    release(pointPos(editor().amplitudeGraph(), 4));
    EXPECT_EQ(editor().amplitudeGraph().dragPoint(), -1);
    EXPECT_TRUE(h.document.settings().amplitude.isValid());
}

TEST_F(MainWindowTest, ADoubleClickAnywhereEndsTheHintForGood) {
    doubleClick(QPoint(3, 300));
    EXPECT_EQ(editor().hint().stage(), 4);
    EXPECT_FALSE(hasPixel(editor().backBuffer().image(), QRect(284, 568, 272, 30), kYellow));
    h.setClientSize(QSize(1100, 750));
    EXPECT_FALSE(hasPixel(editor().backBuffer().image(), QRect(0, 0, 1100, 750), kYellow));
}

TEST_F(MainWindowTest, ADoubleClickOnAPointOpensItsAdjustDialog) {
    std::vector<std::pair<const Envelope*, int>> opened;
    h.adjuster.answer = [&](const Envelope& curve, int index) -> std::optional<Envelope> {
        opened.emplace_back(&curve, index);
        Envelope edited = curve;
        edited.movePoint(index, curve.time(index), 0.25f);
        return edited;
    };
    const int rendersBefore = editor().renderCount();
    doubleClick(pointPos(editor().amplitudeGraph(), 1));
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0].first, &h.document.settings().amplitude);
    EXPECT_EQ(opened[0].second, 1);
    EXPECT_EQ(amplitude(), "0:75 20:25 40:75 60:75 80:75 100:0");
    EXPECT_EQ(editor().renderCount(), rendersBefore + 1);
    EXPECT_TRUE(h.document.modified());
    EXPECT_EQ(editor().hint().stage(), 4);

    opened.clear();
    h.adjuster.answer = [&](const Envelope& curve, int index) -> std::optional<Envelope> {
        opened.emplace_back(&curve, index);
        return std::nullopt;  // Cancel
    };
    doubleClick(pointPos(editor().frequencyGraph(), 5));
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0].first, &h.document.settings().frequency);
    EXPECT_EQ(editor().renderCount(), rendersBefore + 1) << "Cancel changes nothing";
}

TEST_F(MainWindowTest, ExitGoesThroughTheCloseRequest) {
    click(editor().waveformGroup().button(6).rect().center());  // something to save
    h.prompts.answer(Prompts::Answer::Cancel);
    h.window->exitAction()->trigger();
    EXPECT_EQ(h.prompts.count(ScriptedPrompts::Kind::Question), 1);
    EXPECT_TRUE(h.window->isVisible()) << "Cancel keeps the window";
    h.prompts.answer(Prompts::Answer::No);
    h.window->exitAction()->trigger();
    EXPECT_EQ(h.prompts.count(ScriptedPrompts::Kind::Question), 2);
    EXPECT_FALSE(h.window->isVisible());
}

TEST_F(MainWindowTest, ADialogOrACloseDuringADragEndsItAsARelease) {
    // About opens over a held point: the release goes to the dialog, so the
    // drag must end before it, rendered and marked.
    bool draggingWhenShown = true;
    h.window->setAboutHandler([&] { draggingWhenShown = editor().isDragging(); });
    const int rendersBefore = editor().renderCount();
    press(pointPos(editor().amplitudeGraph(), 2));
    move(QPoint(350, 100));
    h.window->aboutAction()->trigger();
    EXPECT_FALSE(draggingWhenShown);
    EXPECT_FALSE(editor().isDragging());
    EXPECT_EQ(editor().renderCount(), rendersBefore + 1);
    EXPECT_EQ(h.window->windowTitle(), QStringLiteral("Zindle *"));
    release(QPoint(350, 100));  // the late release changes nothing more
    EXPECT_EQ(editor().renderCount(), rendersBefore + 1);

    // Closing with a point held: the save question sees the edit.
    h.document.markSaved(h.dir.filePath(QStringLiteral("held.zdl")));
    ASSERT_FALSE(h.document.modified());
    h.prompts.answer(Prompts::Answer::Cancel);
    press(pointPos(editor().amplitudeGraph(), 3));
    move(QPoint(420, 150));
    h.window->close();
    EXPECT_EQ(h.prompts.count(ScriptedPrompts::Kind::Question), 1) << "asked, as the edit counted";
    EXPECT_TRUE(h.document.modified());
    EXPECT_TRUE(h.window->isVisible());
    EXPECT_FALSE(editor().isDragging());
}

TEST_F(MainWindowTest, AboutWaitsForItsHandler) {
    EXPECT_FALSE(h.window->aboutAction()->isEnabled());
    int shown = 0;
    h.window->setAboutHandler([&] { ++shown; });
    EXPECT_TRUE(h.window->aboutAction()->isEnabled());
    h.window->aboutAction()->trigger();
    EXPECT_EQ(shown, 1);
}

TEST(MainWindowLimits, TheWindowStaysWithinItsSizeLimits) {
    WindowHarness h;
    EXPECT_EQ(h.window->minimumSize(), QSize(800, 600));
    EXPECT_EQ(h.window->maximumSize(), QSize(2000, 2000));
    h.window->resize(5000, 5000);
    EXPECT_EQ(h.window->size(), QSize(2000, 2000));
    EXPECT_EQ(MainWindow::defaultSize(QSize(1024, 768)), QSize(921, 691));
    EXPECT_EQ(MainWindow::defaultSize(QSize(640, 480)), QSize(800, 600));
}

TEST(StartupTiming, ReadsTheProcessAgeFromTheSystem) {
    const double ms = startup_timing::msSinceProcessStart();
    EXPECT_GE(ms, 0.0);
    EXPECT_LT(ms, 3600.0 * 1000.0) << "this test process is not an hour old";
}

}  // namespace

namespace {

// Only what an edit changes reaches the screen: a waveform button repaints
// its buttons, the waveform plot and the output plot, never the graphs; a
// live-preview step repaints the dragged graph and the output plot only.
TEST(MainWindowRepaint, AnEditRepaintsOnlyWhatItChanges) {
    WindowHarness h;
    Editor& editor = h.editor();
    QRegion painted;
    QObject::connect(&editor, &Editor::repaintNeeded, [&](const QRegion& region) { painted += region; });
    QTest::mouseClick(h.canvas(), Qt::LeftButton, {}, editor.waveformGroup().button(6).rect().center());
    for (const QRect& r :
         {editor.waveformGroup().button(6).rect(), editor.waveformView().rect(), editor.outputView().rect()})
        EXPECT_TRUE(painted.contains(r)) << r.x() << "," << r.y();
    for (const QRect& r : {editor.amplitudeGraph().rect(), editor.frequencyGraph().rect()})
        EXPECT_FALSE(painted.intersects(r)) << r.x() << "," << r.y();

    editor.setLivePreview(true);
    const QPoint p = gestures::pointPos(editor.amplitudeGraph(), 2);
    QTest::mousePress(h.canvas(), Qt::LeftButton, {}, p);
    painted = QRegion();
    QTest::mouseMove(h.canvas(), p + QPoint(0, 20));
    QCoreApplication::processEvents();  // the coalesced preview asks for its render
    ASSERT_TRUE(QTest::qWaitFor([&] { return !h.document.previewPending(); }, 5000));
    QRegion allowed = QRegion(editor.amplitudeGraph().rect()) + editor.outputView().rect();
    if (editor.hint().isVisible()) allowed += editor.hint().rect();
    EXPECT_TRUE(painted.subtracted(allowed).isEmpty());
    EXPECT_TRUE(painted.contains(editor.outputView().rect()));
    QTest::mouseRelease(h.canvas(), Qt::LeftButton, {}, p + QPoint(0, 20));
}

}  // namespace
