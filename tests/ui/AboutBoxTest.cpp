#include "ui/dialogs/AboutArtwork.h"
#include "ui/dialogs/AboutBox.h"
#include "ui/dialogs/CreditsScroller.h"
#include "ui/dialogs/HelpViewer.h"
#include "ui/drawing/DrawingTools.h"

#include "RecordingPlayer.h"
#include "WhenModal.h"

#include <QApplication>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

const QString kSound = QStringLiteral("/sounds/About.wav");

QImage plain(int width, int height, QRgb colour) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

QFont creditsFont() {
    QFont font = DrawingTools().boldFont;
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

CreditsScroller afterTicks(int ticks) {
    CreditsScroller credits;
    for (int i = 0; i < ticks; ++i) credits.tick();
    return credits;
}

bool rowsEqual(const QImage& a, int rowA, const QImage& b, int rowB) {
    for (int x = 0; x < a.width(); ++x)
        if (a.pixel(x, rowA) != b.pixel(x, rowB)) return false;
    return true;
}

int whitePixels(const QImage& image, const QRect& area) {
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) count += image.pixel(x, y) == qRgb(255, 255, 255);
    return count;
}

}  // namespace

TEST(CreditsScrollerTest, HoldsThenMovesOnePixelPerTickAndLoops) {
    const int hold = CreditsScroller::kHoldTicks;
    const int loop = CreditsScroller::kLoop;
    struct Case {
        int ticks;
        int offset;
        bool holding;
    };
    const Case cases[] = {
        {0, 0, true},
        {1, 0, true},
        {hold - 1, 0, true},
        {hold, 0, false},  // the hold ends with the credits still at the top
        {hold + 1, 1, false},
        {hold + 17, 17, false},  // one whole row
        {hold + loop - 1, loop - 1, false},
        {hold + loop, 0, false},  // back to the first row
        {hold + loop + 5, 5, false},
        {hold + 3 * loop + 2, 2, false},  // the hold never comes back
    };
    for (const Case& c : cases) {
        const CreditsScroller credits = afterTicks(c.ticks);
        EXPECT_EQ(credits.offset(), c.offset) << c.ticks << " ticks";
        EXPECT_EQ(credits.holding(), c.holding) << c.ticks << " ticks";
    }
}

// Over a plain background each tick moves every drawn pixel up by one, also
// across the end of the loop, so the wrap from the last row to the first is
// seamless.
TEST(CreditsScrollerTest, BandMovesUpOnePixelPerTickWithoutAJumpAtTheWrap) {
    const QImage background = plain(350, 285, qRgb(0, 0, 64));
    const QFont font = creditsFont();
    const int hold = CreditsScroller::kHoldTicks;
    const int startOffsets[] = {0, 5, 16, 17, 200, CreditsScroller::kLoop - 17, CreditsScroller::kLoop - 1};
    for (int start : startOffsets) {
        CreditsScroller credits = afterTicks(hold + start);
        ASSERT_EQ(credits.offset(), start);
        const QImage before = credits.band(background, 350, font);
        credits.tick();
        const QImage after = credits.band(background, 350, font);
        ASSERT_EQ(after.size(), QSize(350, CreditsScroller::kBandHeight));
        for (int y = 0; y + 1 < CreditsScroller::kBandHeight; ++y)
            ASSERT_TRUE(rowsEqual(after, y, before, y + 1)) << "offset " << start << ", row " << y;
    }
}

TEST(CreditsScrollerTest, BandShowsTheFirstRowsCentredAtTheStart) {
    const QImage background = plain(350, 285, qRgb(0, 0, 64));
    const QImage band = CreditsScroller().band(background, 350, creditsFont());
    // Rows 0 to 2 carry text, rows 3 and 4 are empty.
    EXPECT_GT(whitePixels(band, QRect(0, 0, 350, 51)), 0);
    EXPECT_EQ(whitePixels(band, QRect(0, 51, 350, 34)), 0);
    int left = 350;
    int right = -1;
    for (int y = 0; y < 17; ++y)
        for (int x = 0; x < 350; ++x)
            if (band.pixel(x, y) == qRgb(255, 255, 255)) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
    EXPECT_NEAR((left + right) / 2.0, 175.0, 2.0);
}

TEST(CreditsScrollerTest, BandShowsTheBackgroundStripBehindTheText) {
    QImage background = plain(350, 285, qRgb(0, 0, 0));
    // Mark the strip's first and last rows and the row just outside it.
    for (int x = 0; x < 350; ++x) {
        background.setPixel(x, CreditsScroller::kBandTop, qRgb(1, 2, 3));
        background.setPixel(x, CreditsScroller::kBandTop + CreditsScroller::kBandHeight - 1, qRgb(4, 5, 6));
        background.setPixel(x, CreditsScroller::kBandTop - 1, qRgb(7, 8, 9));
    }
    const QImage band = CreditsScroller().band(background, 350, creditsFont());
    EXPECT_EQ(band.pixel(0, 0), qRgb(1, 2, 3));
    EXPECT_EQ(band.pixel(349, CreditsScroller::kBandHeight - 1), qRgb(4, 5, 6));
}

// A 2 x 2 square at (10, 5) of the title: its image is red, its mask black.
TEST(AboutArtworkTest, TitleIsDrawnThroughItsMaskWithAShadow) {
    const QRgb grey = qRgb(100, 100, 100);
    const QRgb red = qRgb(255, 0, 0);
    QImage title = plain(350, 67, qRgb(0, 0, 0));
    for (int y = 34; y <= 65; ++y)
        for (int x = 1; x <= 348; ++x) title.setPixel(x, y, qRgb(255, 255, 255));
    for (int dy = 0; dy < 2; ++dy)
        for (int dx = 0; dx < 2; ++dx) {
            title.setPixel(1 + 10 + dx, 1 + 5 + dy, red);
            title.setPixel(1 + 10 + dx, 34 + 5 + dy, qRgb(0, 0, 0));
        }
    const AboutArtwork artwork(plain(350, 285, grey), title);
    const QImage picture = artwork.compose(CreditsScroller(), QSize(350, 285), creditsFont());

    const int x0 = (350 - AboutArtwork::kTitleWidth) / 2 + 10;
    const int y0 = AboutArtwork::kTitleTop + 5;
    const int shadow = AboutArtwork::kShadowOffset;
    struct Probe {
        int x, y;
        QRgb colour;
        const char* what;
    };
    const Probe probes[] = {
        {x0, y0, red, "title"},
        {x0 + 1, y0 + 1, red, "title"},
        {x0 + shadow, y0 + shadow, qRgb(0, 0, 0), "shadow"},
        {x0 + shadow + 1, y0 + shadow + 1, qRgb(0, 0, 0), "shadow"},
        {x0 + 2, y0, grey, "beside the title"},
        {x0 - 1, y0, grey, "beside the title"},
        {x0 + shadow + 2, y0 + shadow, grey, "beside the shadow"},
        {5, 5, grey, "background"},
    };
    for (const Probe& p : probes) EXPECT_EQ(picture.pixel(p.x, p.y), p.colour) << p.what << " at " << p.x << "," << p.y;
}

TEST(AboutArtworkTest, CaptionLinesAreCentredAtTheirRows) {
    const AboutArtwork artwork(plain(350, 285, qRgb(0, 0, 64)), plain(350, 67, qRgb(0, 0, 0)));
    const QImage picture = artwork.compose(CreditsScroller(), QSize(350, 285), creditsFont());
    ASSERT_EQ(AboutArtwork::captionLines().size(), 3);
    const int tops[] = {285 - 110, 285 - 94, 285 - 78};
    for (int top : tops) {
        int left = 350;
        int right = -1;
        for (int y = top; y < top + 16; ++y)
            for (int x = 0; x < 350; ++x)
                if (picture.pixel(x, y) == qRgb(255, 255, 255)) {
                    left = std::min(left, x);
                    right = std::max(right, x);
                }
        ASSERT_GE(right, 0) << "no caption at row " << top;
        EXPECT_NEAR((left + right) / 2.0, 175.0, 2.0) << "caption at row " << top;
    }
    // Nothing below the captions but the background (the buttons go there).
    EXPECT_EQ(whitePixels(picture, QRect(0, 285 - 44, 350, 44)), 0);
}

TEST(AboutArtworkTest, BuiltInArtworkHasItsSizes) {
    const AboutArtwork artwork;
    EXPECT_EQ(artwork.background().size(), QSize(350, 285));
    const QImage picture = artwork.compose(CreditsScroller(), QSize(350, 285), creditsFont());
    // The title is there: some pixels in its rows differ from the background.
    int changed = 0;
    for (int y = AboutArtwork::kTitleTop; y < AboutArtwork::kTitleTop + AboutArtwork::kTitleHeight; ++y)
        for (int x = 0; x < 350; ++x) changed += picture.pixel(x, y) != artwork.background().pixel(x, y);
    EXPECT_GT(changed, 500);
}

class AboutBoxFixture : public ::testing::Test {
protected:
    std::unique_ptr<AboutBox> open(const QString& soundPath) {
        auto box = std::make_unique<AboutBox>(nullptr, player, tools, soundPath, [this] { ++helpCalls; });
        box->show();
        return box;
    }

    DrawingTools tools;
    RecordingPlayer player;
    int helpCalls = 0;
};

TEST_F(AboutBoxFixture, OpeningPlaysTheSoundAndStartsTheCredits) {
    const auto box = open(kSound);
    EXPECT_EQ(player.calls, std::vector<std::string>{"file " + kSound.toStdString()});
    EXPECT_TRUE(box->ticking());
    EXPECT_TRUE(box->credits().holding());
    EXPECT_EQ(box->size(), QSize(350, 285));
}

TEST_F(AboutBoxFixture, WithoutASoundFileItOpensSilentlyAndStillCloses) {
    const auto box = open(QString());
    EXPECT_TRUE(player.calls.empty());
    EXPECT_TRUE(box->isVisible());
    QTest::keyClick(box.get(), Qt::Key_Escape);
    EXPECT_FALSE(box->isVisible());
    EXPECT_FALSE(box->ticking());
}

TEST_F(AboutBoxFixture, EveryWayOfClosingStopsTheSoundAndTheCredits) {
    struct Case {
        const char* name;
        std::function<void(AboutBox&)> close;
        int result;
    };
    const Case cases[] = {
        {"Esc", [](AboutBox& box) { QTest::keyClick(&box, Qt::Key_Escape); }, QDialog::Rejected},
        {"OK", [](AboutBox& box) { QTest::mouseClick(box.okButton(), Qt::LeftButton); }, QDialog::Accepted},
        {"Enter", [](AboutBox& box) { QTest::keyClick(&box, Qt::Key_Return); }, QDialog::Accepted},
        {"close box", [](AboutBox& box) { box.close(); }, QDialog::Rejected},
    };
    for (const Case& c : cases) {
        player.calls.clear();
        const auto box = open(kSound);
        c.close(*box);
        EXPECT_FALSE(box->isVisible()) << c.name;
        EXPECT_FALSE(box->ticking()) << c.name;
        EXPECT_EQ(box->result(), c.result) << c.name;
        EXPECT_EQ(player.calls, (std::vector<std::string>{"file " + kSound.toStdString(), "stop"})) << c.name;
    }
}

TEST_F(AboutBoxFixture, HelpKeepsTheBoxOpenAndItsSoundPlaying) {
    const auto box = open(kSound);
    QTest::mouseClick(box->helpButton(), Qt::LeftButton);
    QTest::mouseClick(box->helpButton(), Qt::LeftButton);
    EXPECT_EQ(helpCalls, 2);
    EXPECT_TRUE(box->isVisible());
    EXPECT_TRUE(box->ticking());
    EXPECT_EQ(player.calls.size(), 1u);
}

// Enter presses the button that has the focus, reached with Tab.
TEST_F(AboutBoxFixture, EnterPressesTheFocusedButton) {
    struct Case {
        const char* focused;
        std::function<QPushButton*(AboutBox&)> button;
        int helpCalls;
        bool open;
    };
    const Case cases[] = {
        {"Help", [](AboutBox& box) { return box.helpButton(); }, 1, true},
        {"OK", [](AboutBox& box) { return box.okButton(); }, 0, false},
    };
    for (const Case& c : cases) {
        helpCalls = 0;
        const auto box = open(kSound);
        QApplication::setActiveWindow(box.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(box.get())) << c.focused;
        QPushButton* const button = c.button(*box);
        for (int step = 0; step < 4 && QApplication::focusWidget() != button; ++step)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        ASSERT_EQ(QApplication::focusWidget(), button) << c.focused;
        QTest::keyClick(button, Qt::Key_Return);
        EXPECT_EQ(helpCalls, c.helpCalls) << c.focused;
        EXPECT_EQ(box->isVisible(), c.open) << c.focused;
        EXPECT_EQ(box->ticking(), c.open) << c.focused;
        if (!c.open) {
            EXPECT_EQ(box->result(), QDialog::Accepted) << c.focused;
        }
    }
}

TEST_F(AboutBoxFixture, DestroyingAnOpenBoxStopsItsSound) {
    open(kSound).reset();
    EXPECT_EQ(player.calls, (std::vector<std::string>{"file " + kSound.toStdString(), "stop"}));
}

TEST_F(AboutBoxFixture, EachOpeningStartsTheCreditsAndTheSoundAgain) {
    for (int opening = 1; opening <= 2; ++opening) {
        const auto box = open(kSound);
        EXPECT_EQ(box->credits().offset(), 0);
        for (int i = 0; i < CreditsScroller::kHoldTicks + 9; ++i) box->tick();
        EXPECT_EQ(box->credits().offset(), 9);
        box->accept();
    }
    EXPECT_EQ(player.calls, (std::vector<std::string>{"file " + kSound.toStdString(), "stop",
                                                      "file " + kSound.toStdString(), "stop"}));
}

TEST_F(AboutBoxFixture, TheWidgetShowsTheScrolledPicture) {
    const auto box = open(kSound);
    for (int i = 0; i < CreditsScroller::kHoldTicks + 30; ++i) box->tick();
    const QImage shown = box->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QImage expected = box->picture();
    // The band, left of the buttons' columns: the buttons sit below it anyway.
    for (int y = CreditsScroller::kBandTop; y < CreditsScroller::kBandTop + CreditsScroller::kBandHeight; ++y)
        ASSERT_TRUE(rowsEqual(shown, y, expected, y)) << "row " << y;
}

// Counts mouse presses that reach a widget.
class PressCounter : public QObject {
public:
    int presses = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonPress) ++presses;
        return false;
    }
};

// The real thing: the box runs modally over an editor window; Help opens the
// manual's window, which takes input while the editor's window does not.
TEST_F(AboutBoxFixture, HelpViewerStaysUsableWhileTheModalBoxIsOpen) {
    QWidget editor;
    editor.resize(800, 600);
    editor.show();
    HelpViewer viewer;
    AboutBox box(&editor, player, tools, kSound, [&viewer] { viewer.showManual(QStringLiteral("/nonexistent/")); });

    PressCounter toEditor;
    PressCounter toViewer;
    editor.installEventFilter(&toEditor);
    viewer.installEventFilter(&toViewer);
    bool checked = false;
    whenModal([&](QWidget* w) {
        if (w != &box) return false;
        QTest::mouseClick(box.helpButton(), Qt::LeftButton);
        EXPECT_TRUE(viewer.isVisible());
        EXPECT_TRUE(box.isVisible());
        // Through the window system, where modality is enforced.
        QTest::mousePress(viewer.windowHandle(), Qt::LeftButton, {}, QPoint(5, 5));
        QTest::mouseRelease(viewer.windowHandle(), Qt::LeftButton, {}, QPoint(5, 5));
        QTest::mousePress(editor.windowHandle(), Qt::LeftButton, {}, QPoint(5, 5));
        QTest::mouseRelease(editor.windowHandle(), Qt::LeftButton, {}, QPoint(5, 5));
        checked = true;
        QTest::keyClick(&box, Qt::Key_Escape);
        return true;
    });
    box.exec();

    ASSERT_TRUE(checked);
    EXPECT_EQ(toViewer.presses, 1);
    EXPECT_EQ(toEditor.presses, 0);
    EXPECT_TRUE(viewer.isVisible());
    EXPECT_EQ(player.calls, (std::vector<std::string>{"file " + kSound.toStdString(), "stop"}));
}

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
