// The Play menu through the real window with a recording player: play on
// change after each kind of edit, loop, stop, the play cursor and the live
// preview during a drag.

#include "DocumentHarness.h"
#include "Gestures.h"
#include "core/RenderedSound.h"
#include "core/SoundRenderer.h"
#include "ui/views/OutputView.h"
#include "ui/views/PlayCursor.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <QTemporaryFile>
#include <QWindow>

#include <gtest/gtest.h>

#include <functional>

namespace {

using gestures::knobPos;
using gestures::pointPos;

TEST(PlayCursorColumn, FollowsTheMainPartOfEachRepeatAndWaitsInTheTail) {
    // A sound of 1000 samples whose main part is 400, plotted 200 pixels wide from x = 40.
    const struct {
        int64_t sample;
        int column;
    } cases[] = {
        {0, 40},    {1, 40},     {2, 41},     {200, 140}, {399, 239},  // the main part
        {400, 240}, {999, 240},                                        // the echo tail: the right edge
        {1000, 40}, {1200, 140}, {2399, 239},                          // later repeats start again
        {-1, -1},                                                      // nothing heard
    };
    for (const auto& c : cases) EXPECT_EQ(PlayCursor::columnFor(c.sample, 400, 1000, 40, 200), c.column) << c.sample;
    EXPECT_EQ(PlayCursor::columnFor(5, 0, 0, 40, 200), -1) << "no sound";
    EXPECT_EQ(PlayCursor::columnFor(5, 400, 1000, 40, 0), -1) << "no plot";
    EXPECT_EQ(PlayCursor::columnFor(399, 400, 400, 40, 200), 239) << "no tail";
}

struct PlaybackFixture : ::testing::Test {
    DocumentHarness d;
    Editor& editor() { return d.h.editor(); }
    RecordingPlayer& player() { return d.h.player; }
    EditorCanvas* canvas() { return d.h.canvas(); }
    const MainWindowMenu& menu() { return d.menu(); }
    void press(QPoint p) { QTest::mousePress(canvas(), Qt::LeftButton, {}, p); }
    void release(QPoint p) { QTest::mouseRelease(canvas(), Qt::LeftButton, {}, p); }
    void move(QPoint p) { QTest::mouseMove(canvas(), p); }
    void drag(QPoint from, QPoint to) { gestures::drag(canvas(), from, to); }
    // Waits until the preview asked for last is shown (renders run in the background).
    bool previewShown() {
        return QTest::qWaitFor([&] { return !d.h.document.previewPending(); }, 5000);
    }
    std::vector<uint8_t> heardImage() {
        return d.h.document.rendered().wavImage(d.h.document.settings().repeatCount).bytes();
    }
    QImage outputPixels() {
        const QRect r = editor().outputView().rect();
        return editor().backBuffer().image().copy(r);
    }
};

struct EditCase {
    const char* name;
    std::function<void(PlaybackFixture&)> edit;
};

const EditCase kEdits[] = {
    {"a button", [](PlaybackFixture& f) { f.d.clickButton(f.editor().waveformGroup(), 6); }},
    {"a slider release",
     [](PlaybackFixture& f) {
         const QPoint knob = knobPos(f.editor().slider(Editor::Distort));
         f.drag(knob, knob + QPoint(0, -30));
     }},
    {"a point drag",
     [](PlaybackFixture& f) {
         const QPoint p = pointPos(f.editor().amplitudeGraph(), 2);
         f.drag(p, p + QPoint(20, 40));
     }},
    {"a dialog's OK",
     [](PlaybackFixture& f) {
         f.d.h.adjuster.answer = [](const Envelope& curve, int index) -> std::optional<Envelope> {
             Envelope edited = curve;
             edited.movePoint(index, curve.time(index), 0.3f);
             return edited;
         };
         QTest::mouseDClick(f.canvas(), Qt::LeftButton, {}, pointPos(f.editor().amplitudeGraph(), 1));
     }},
    {"undo", [](PlaybackFixture& f) { f.d.key(Qt::Key_Z, Qt::ControlModifier); }},
    {"redo", [](PlaybackFixture& f) { f.d.key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier); }},
    {"New",
     [](PlaybackFixture& f) {
         f.d.prompts.answer(Prompts::Answer::No);
         f.d.key(Qt::Key_N);
     }},
    {"Open",
     [](PlaybackFixture& f) {
         f.d.prompts.openName(f.d.copySound(QStringLiteral("laser.zdl")));
         f.d.key(Qt::Key_O);
     }},
};

TEST_F(PlaybackFixture, PlayOnChangePlaysEveryEditThatRenders) {
    for (const bool on : {false, true}) {
        if (menu().playOnChangeAction->isChecked() != on) d.key(Qt::Key_P);
        ASSERT_EQ(editor().playOnChange(), on);
        for (const EditCase& c : kEdits) {
            SCOPED_TRACE(std::string(c.name) + (on ? ", on" : ", off"));
            const int plays = player().plays();
            c.edit(*this);
            EXPECT_EQ(player().plays(), plays + (on ? 1 : 0));
            if (on) {
                EXPECT_EQ(player().last.bytes(),
                          d.h.document.rendered().wavImage(d.h.document.settings().repeatCount).bytes())
                    << "the new sound";
            }
        }
    }
    // Nothing while a point is held, and a repeats button renders nothing.
    const int plays = player().plays();
    const QPoint p = pointPos(editor().amplitudeGraph(), 1);  // the sound opened last has three points
    press(p);
    move(p + QPoint(10, 30));
    EXPECT_EQ(player().plays(), plays);
    release(p + QPoint(10, 30));
    EXPECT_EQ(player().plays(), plays + 1);
    d.clickButton(editor().repeatsGroup(), 3);
    EXPECT_EQ(player().plays(), plays + 1);
}

TEST_F(PlaybackFixture, LoopAndStopReachThePlayer) {
    EXPECT_FALSE(player().loop());
    d.key(Qt::Key_L);
    EXPECT_TRUE(menu().loopAction->isChecked());
    EXPECT_TRUE(player().loop());
    d.key(Qt::Key_Space);
    const int stops = player().stops;
    d.key(Qt::Key_Escape);
    EXPECT_EQ(player().stops, stops + 1);
    d.key(Qt::Key_L);
    EXPECT_FALSE(player().loop());
    EXPECT_EQ(d.title(), QStringLiteral("Zindle")) << "Esc does nothing else";
}

// Esc stops playback however the menu before it was opened and closed with
// Esc, and the other keys work again too. The keys go to the window as the
// platform delivers them, so that whatever holds the keyboard gets them.
TEST_F(PlaybackFixture, EscStopsPlaybackAfterAMenuWasClosedWithEsc) {
    QWindow* window = d.h.window->windowHandle();
    QMenuBar* bar = d.h.window->menuBar();
    QMenu* file = nullptr;
    for (QAction* title : bar->actions())
        if (title->menu() && title->menu()->actions().contains(d.menu().newAction)) file = title->menu();
    ASSERT_NE(file, nullptr);
    const struct {
        const char* name;
        std::function<void()> open;
    } openings[] = {
        {"the mouse",
         [&] { QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(file->menuAction()).center()); }},
        {"Alt+F", [&] { QTest::keyClick(window, Qt::Key_F, Qt::AltModifier); }},
    };
    for (const auto& o : openings) {
        SCOPED_TRACE(o.name);
        QTest::keyClick(window, Qt::Key_Space);
        o.open();
        ASSERT_TRUE(QTest::qWaitFor([&] { return file->isVisible(); }, 5000)) << "the File menu opened";
        const int stops = player().stops;
        QTest::keyClick(window, Qt::Key_Escape);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !file->isVisible(); }, 5000)) << "Esc closed the menu";
        QCoreApplication::processEvents();
        EXPECT_EQ(player().stops, stops) << "the first Esc only closes the menu";
        QTest::keyClick(window, Qt::Key_Escape);
        EXPECT_EQ(player().stops, stops + 1) << "the second Esc stops";
        EXPECT_EQ(bar->activeAction(), nullptr) << "and leaves the menu bar";
        QTest::keyClick(window, Qt::Key_Escape);
        EXPECT_EQ(player().stops, stops + 2) << "as every Esc after it";
        const bool loop = player().loop();
        QTest::keyClick(window, Qt::Key_L);
        EXPECT_NE(player().loop(), loop) << "the other keys work again";
    }
}

// What the window started ends with it, though its player lives on.
TEST(PlaybackEnd, ClosingTheWindowStopsWhatItPlays) {
    WindowHarness h;
    QTest::keyClick(h.window.get(), Qt::Key_Space);
    ASSERT_EQ(h.player.plays(), 1);
    ASSERT_EQ(h.player.calls.back(), "image");
    h.window.reset();
    EXPECT_EQ(h.player.calls.back(), "stop");
}

TEST_F(PlaybackFixture, TheCursorMovesOverThePlotAndLeavesItAsItWas) {
    // The hint lies over the plot at first; a double click puts it away.
    QTest::mouseDClick(canvas(), Qt::LeftButton, {}, QPoint(3, 300));
    const QImage plot = outputPixels();
    const OutputView& view = editor().outputView();
    const int plotWidth = view.rect().width() - OutputView::kPlotLeft - OutputView::kPlotRight;
    const int32_t main = d.h.document.rendered().lengthSamples();
    const int32_t total = d.h.document.rendered().sampleCount();
    d.key(Qt::Key_Space);
    int previous = -1;
    for (const int64_t sample : {int64_t(0), int64_t(main / 3), int64_t(main - 1), int64_t(total + main / 2)}) {
        SCOPED_TRACE(sample);
        player().state = {true, sample, false};
        editor().showPlayback(player().poll());
        const int x = PlayCursor::columnFor(sample, main, total, OutputView::kPlotLeft, plotWidth);
        ASSERT_EQ(editor().playCursor().shownX(), x);
        const QImage now = outputPixels();
        for (int y = OutputView::kPlotTop; y < now.height() - OutputView::kPlotBottom; ++y) {
            ASSERT_EQ(now.pixel(x, y), qRgb(255, 255, 255)) << "the line at " << x << ", " << y;
            if (previous >= 0 && previous != x) {
                ASSERT_EQ(now.pixel(previous, y), plot.pixel(previous, y)) << "the old strip is back";
            }
        }
        // Nothing else of the plot changed.
        for (int xx = 0; xx < now.width(); xx += 7)
            if (xx != x) {
                ASSERT_EQ(now.pixel(xx, now.height() / 2), plot.pixel(xx, now.height() / 2)) << xx;
            }
        previous = x;
    }
    const int renders = editor().renderCount();
    player().state = {false, 0, true};
    editor().showPlayback(player().poll());
    EXPECT_EQ(editor().playCursor().shownX(), -1);
    EXPECT_EQ(outputPixels(), plot) << "pixel for pixel as before";
    EXPECT_EQ(editor().renderCount(), renders) << "the cursor never renders";
}

TEST_F(PlaybackFixture, TheCursorTimerFollowsThePlayerAndStopsWithIt) {
    d.key(Qt::Key_Space);
    player().state = {true, 10, false};
    ASSERT_TRUE(QTest::qWaitFor([&] { return editor().playCursor().shownX() >= OutputView::kPlotLeft; }))
        << "the cursor never showed; at " << editor().playCursor().shownX();
    EXPECT_TRUE(d.h.document.previewTails()) << "what plays follows a drag with its echo tail";
    player().state = {false, 0, true};
    EXPECT_TRUE(QTest::qWaitFor([&] { return editor().playCursor().shownX() == -1; }))
        << "the cursor stayed at " << editor().playCursor().shownX();
    EXPECT_FALSE(d.h.document.previewTails()) << "with nothing playing no preview renders a tail";
}

TEST_F(PlaybackFixture, LivePreviewRendersDuringADragAndStepsOnceOnRelease) {
    for (const bool on : {false, true}) {
        SCOPED_TRACE(on ? "on" : "off");
        menu().livePreviewAction->setChecked(on);
        for (const bool slider : {false, true}) {
            SCOPED_TRACE(slider ? "slider" : "point");
            const QPoint from =
                slider ? knobPos(editor().slider(Editor::Length)) : pointPos(editor().amplitudeGraph(), 2);
            const int dir = on ? -1 : 1;  // back the other way, so that something always changes
            const int renders = editor().renderCount();
            const int steps = d.h.document.history().count();
            const std::vector<uint8_t> before = d.h.document.rendered().samples();
            press(from);
            // Three moves in one pass of the event loop make one render.
            for (int k = 1; k <= 3; ++k) move(from + QPoint(0, dir * 12 * k));
            QCoreApplication::processEvents();
            ASSERT_TRUE(previewShown());
            EXPECT_EQ(editor().renderCount(), renders + (on ? 1 : 0));
            EXPECT_EQ(d.h.document.rendered().samples() != before, on) << "the plot follows the drag";
            EXPECT_EQ(d.h.document.history().count(), steps) << "no step before the release";
            move(from + QPoint(0, dir * 50));
            QCoreApplication::processEvents();
            ASSERT_TRUE(previewShown());
            release(from + QPoint(0, dir * 50));
            EXPECT_EQ(editor().renderCount(), renders + (on ? 3 : 1));
            EXPECT_EQ(d.h.document.history().count(), steps + 1) << "one step per gesture";
            EXPECT_TRUE(d.h.document.modified());
            // The undo gives back the sound from before the drag, preview or not.
            d.key(Qt::Key_Z, Qt::ControlModifier);
            EXPECT_EQ(d.h.document.rendered().samples(), before);
            d.key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        }
    }
}

// While a sound plays, each preview and then the release put the new sound
// in its place (the player keeps the position); with nothing playing the
// release plays only with play on change.
TEST_F(PlaybackFixture, TheSoundFollowsTheDragWhileItPlays) {
    const struct {
        const char* name;
        bool playing, playOnChange, livePreview;
        bool replacedDuringDrag;
        const char* onRelease;  // "replace", "play" or "nothing"
    } cases[] = {
        {"playing, preview", true, false, true, true, "replace"},
        {"playing, play on change, preview", true, true, true, true, "replace"},
        {"playing, no preview", true, true, false, false, "replace"},
        {"idle, play on change", false, true, true, false, "play"},
        {"idle", false, false, true, false, "nothing"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        menu().livePreviewAction->setChecked(c.livePreview);
        menu().playOnChangeAction->setChecked(c.playOnChange);
        d.key(Qt::Key_Escape);
        player().state = {false, 0, false};
        ASSERT_TRUE(QTest::qWaitFor([&] { return editor().playCursor().shownX() == -1; }));
        if (c.playing) {
            d.key(Qt::Key_Space);
            player().state = {true, 300, false};
        }
        const int plays = player().plays();
        const size_t replaced = player().replacements.size();
        const QPoint p = pointPos(editor().amplitudeGraph(), 2);
        press(p);
        move(p + QPoint(0, 25));
        QCoreApplication::processEvents();
        ASSERT_TRUE(previewShown());
        EXPECT_EQ(player().replacements.size(), replaced + (c.replacedDuringDrag ? 1 : 0));
        if (c.replacedDuringDrag) {
            EXPECT_EQ(player().replacements.back(), heardImage()) << "the preview as the plot shows it";
            const RenderedSound& shown = d.h.document.rendered();
            const OutputView& view = editor().outputView();
            EXPECT_EQ(editor().playCursor().shownX(),
                      PlayCursor::columnFor(300, shown.lengthSamples(), shown.sampleCount(), OutputView::kPlotLeft,
                                            view.rect().width() - OutputView::kPlotLeft - OutputView::kPlotRight))
                << "the cursor over the sound heard";
        }
        release(p + QPoint(0, 25));
        const std::vector<uint8_t> whole =
            sound_renderer::render(d.h.document.settings()).wavImage(d.h.document.settings().repeatCount).bytes();
        const std::string onRelease = c.onRelease;
        EXPECT_EQ(player().plays(), plays + (onRelease == "play" ? 1 : 0)) << "no restart";
        EXPECT_EQ(player().replacements.size(),
                  replaced + (c.replacedDuringDrag ? 1 : 0) + (onRelease == "replace" ? 1 : 0));
        if (onRelease == "replace") {
            EXPECT_EQ(player().replacements.back(), whole) << "the whole sound, tail and all";
        }
        if (onRelease == "play") {
            EXPECT_EQ(player().images.back(), whole);
        }
    }
}

// A drag that changes the sound's echo is heard with its tail while it is
// held: the last image to replace what plays is the whole new sound, before
// the release, whether the drag keeps the sizes (a point) or not (a slider).
TEST_F(PlaybackFixture, TheEchoTailFollowsTheDragBeforeTheRelease) {
    SoundSettings echo = d.h.document.settings();
    echo.echoVolume = 0.6f;
    echo.echoDelay = 0.5f;
    d.h.document.load(echo);
    menu().livePreviewAction->setChecked(true);
    const struct {
        const char* name;
        std::function<QPoint()> from;
        QPoint by;
    } cases[] = {
        {"a point", [&] { return pointPos(editor().amplitudeGraph(), 2); }, QPoint(0, 30)},
        {"the echo delay", [&] { return knobPos(editor().slider(Editor::EchoDelay)); }, QPoint(0, -40)},
        {"the length", [&] { return knobPos(editor().slider(Editor::Length)); }, QPoint(0, 30)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        d.key(Qt::Key_Space);
        player().state = {true, 100, false};
        const QPoint from = c.from();
        press(from);
        move(from + c.by);
        QCoreApplication::processEvents();
        ASSERT_TRUE(previewShown());
        const SoundSettings held = editor().pending();
        ASSERT_FALSE(held == d.h.document.settings());
        const std::vector<uint8_t> whole = sound_renderer::render(held).wavImage(held.repeatCount).bytes();
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return !player().replacements.empty() && player().replacements.back() == whole; }, 5000))
            << "the tail while the drag is held";
        release(from + c.by);
        d.key(Qt::Key_Escape);
    }
}

// Previews overtaken by later moves or by the release never reach the
// player or the plot; the committed sound, and what Export writes, are the
// single-threaded render's bytes.
TEST_F(PlaybackFixture, LatePreviewsNeverReachThePlayerThePlotOrAnExport) {
    menu().livePreviewAction->setChecked(true);
    d.key(Qt::Key_Space);
    player().state = {true, 100, false};
    const QPoint p = pointPos(editor().amplitudeGraph(), 2);
    std::vector<std::vector<uint8_t>> shown;  // what each preview put on the plot
    QObject::connect(&d.h.document, &SoundDocument::previewed, [&] { shown.push_back(heardImage()); });
    press(p);
    for (int k = 1; k <= 8; ++k) {
        move(p + QPoint(0, 4 * k));
        QCoreApplication::processEvents();  // each asks for a render
    }
    release(p + QPoint(0, 32));  // before the last can be back
    const SoundSettings committed = d.h.document.settings();
    const std::vector<uint8_t> whole = sound_renderer::render(committed).wavImage(committed.repeatCount).bytes();
    QTest::qWait(300);  // anything still rendering comes back by now
    EXPECT_FALSE(d.h.document.previewPending());
    EXPECT_EQ(d.h.document.rendered().wavImage(committed.repeatCount).bytes(), whole);
    ASSERT_FALSE(player().replacements.empty());
    EXPECT_EQ(player().replacements.back(), whole);
    // Every image the player got was one the plot showed, or the commit's.
    for (const std::vector<uint8_t>& image : player().replacements)
        EXPECT_TRUE(image == whole || std::find(shown.begin(), shown.end(), image) != shown.end());
    EXPECT_LE(shown.size(), 8u);

    d.prompts.saveName(d.file(QStringLiteral("drag.wav")), 0);
    d.key(Qt::Key_E);
    QFile file(d.file(QStringLiteral("drag.wav")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray written = file.readAll();
    EXPECT_EQ(std::vector<uint8_t>(written.begin(), written.end()),
              sound_renderer::render(committed).wavImage(1).bytes())
        << "the export is the committed sound";
}

TEST(PlaybackSettings, TheThreeChecksAreKeptBetweenRuns) {
    QTemporaryFile file;
    ASSERT_TRUE(file.open());
    file.close();
    {
        WindowHarness h(QSize(1000, 700), file.fileName());
        EXPECT_FALSE(h.window->menu().playOnChangeAction->isChecked());
        h.window->menu().playOnChangeAction->setChecked(true);
        h.window->menu().livePreviewAction->setChecked(true);
    }
    WindowHarness h(QSize(1000, 700), file.fileName());
    EXPECT_TRUE(h.window->menu().playOnChangeAction->isChecked());
    EXPECT_FALSE(h.window->menu().loopAction->isChecked());
    EXPECT_TRUE(h.window->menu().livePreviewAction->isChecked());
    EXPECT_TRUE(h.editor().playOnChange());
    EXPECT_TRUE(h.editor().livePreview());
}

}  // namespace
