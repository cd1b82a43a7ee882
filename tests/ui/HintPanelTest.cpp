#include "ui/drawing/DrawingTools.h"
#include "ui/views/HintPanel.h"

#include <QPainter>

#include <gtest/gtest.h>

namespace {

QRgb pixel(const QImage& image, int x, int y) { return image.pixel(x, y) & 0xFFFFFF; }
constexpr QRgb kBlue = 0x0000FF, kYellow = 0xFFFF00;

class HintPanelTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(panel.loadBitmap());
        panel.layout(client);
    }
    QImage blueBackBuffer() const {
        QImage image(client, QImage::Format_RGB32);
        image.fill(QColor(0, 0, 255));
        return image;
    }
    QSize client{1000, 700};
    DrawingTools tools;
    HintPanel panel{tools};
};

TEST_F(HintPanelTest, StagesPlaceTheCallout) {
    struct Case {
        int stage;
        int left, top, style;
        const char* text;
    } cases[] = {
        {0, 284, 568, 0, "Click on the graph to play this sound"},    // (1000-240)/2-96, 5*700/6-15
        {1, 244, 101, 1, "Drag a point to change its position"},      // -136, 700/6-15
        {2, 184, 295, 2, "Delete or create with a right click"},      // -196, 3*700/6-55
        {3, 164, 385, 1, "Double click point to enter exact value"},  // -216, 3*700/6+35
        {4, 164, 385, 1, ""},                                         // stays where it was
    };
    for (const Case& c : cases) {
        panel.setStage(c.stage, client);
        EXPECT_EQ(panel.stage(), c.stage);
        EXPECT_EQ(panel.rect(), QRect(c.left, c.top, 272, 30)) << c.stage;
        EXPECT_EQ(panel.style(), c.style) << c.stage;
        EXPECT_EQ(panel.text(), c.text);
    }
}

TEST_F(HintPanelTest, StageOnlyGrows) {
    EXPECT_TRUE(panel.setStage(3, client));
    const QRect at3 = panel.rect();
    EXPECT_FALSE(panel.setStage(2, client));
    EXPECT_FALSE(panel.setStage(3, QSize(1600, 900)));
    EXPECT_EQ(panel.stage(), 3);
    EXPECT_EQ(panel.rect(), at3);
    // Resizing re-places the same stage.
    panel.layout(QSize(1600, 900));
    EXPECT_EQ(panel.rect().topLeft(), QPoint((1600 - 240) / 2 - 216, 3 * 900 / 6 + 35));
    EXPECT_TRUE(panel.setStage(4, client));
    EXPECT_FALSE(panel.isVisible());
}

TEST_F(HintPanelTest, CalloutIsDrawnTransparentlyOverTheBackBuffer) {
    QImage back = blueBackBuffer();
    panel.draw(back);
    const QRect r = panel.rect();
    ASSERT_EQ(r.left(), 284);
    ASSERT_EQ(r.right() + 1, 556);
    // Style 0: bar in rows 0..17 from x 11, pointer at the bottom left.
    EXPECT_EQ(pixel(back, r.left() + 265, r.top() + 3), kYellow);
    EXPECT_EQ(pixel(back, r.left() + 3, r.top() + 3), kBlue);      // left of the bar
    EXPECT_EQ(pixel(back, r.left() + 200, r.top() + 25), kBlue);   // below the bar
    EXPECT_EQ(pixel(back, r.left() + 18, r.top() + 20), kYellow);  // in the pointer
    EXPECT_EQ(pixel(back, r.left() - 1, r.top() + 5), kBlue);
    EXPECT_EQ(pixel(back, r.right() + 1, r.top() + 5), kBlue);
    // The text darkens part of the bar.
    int dark = 0;
    for (int x = r.left() + 20; x < r.right() - 20; ++x)
        for (int y = r.top() + 2; y < r.top() + 16; ++y) dark += qGray(back.pixel(x, y)) < 100 ? 1 : 0;
    EXPECT_GT(dark, 50);
}

// The text is laid out once per stage; it must land where a text centred in
// a box lands, pixel for pixel, at every stage and place.
TEST_F(HintPanelTest, TheTextIsWhereATextCentredInABoxIs) {
    panel.setBitmap(QImage());
    for (int stage = 0; stage < HintPanel::kLastStage; ++stage) {
        for (const QSize size : {QSize(1000, 700), QSize(1001, 700), QSize(1517, 933)}) {
            panel.setStage(stage, size);
            panel.layout(size);
            QImage drawn = blueBackBuffer(), boxed = blueBackBuffer();
            panel.draw(drawn);
            QPainter p(&boxed);
            p.setFont(tools.boldFont);
            p.setPen(Qt::black);
            const QRect r = panel.rect();
            const int middle = (r.left() + r.left() + r.width() - 11) / 2;
            const QPoint at(stage == 0 ? middle + 11 : middle, stage % 2 == 1 ? r.top() + 12 : r.top());
            p.drawText(QRect(at.x() - 4000, at.y(), 8000, 4000), Qt::AlignTop | Qt::AlignHCenter | Qt::TextSingleLine,
                       panel.text());
            p.end();
            EXPECT_TRUE(drawn == boxed) << "stage " << stage << " in " << size.width() << "x" << size.height();
        }
    }
}

TEST_F(HintPanelTest, NothingIsDrawnAfterTheLastStage) {
    panel.setStage(4, client);
    QImage back = blueBackBuffer();
    panel.draw(back);
    EXPECT_EQ(back, blueBackBuffer());
}

TEST_F(HintPanelTest, WithoutArtworkOnlyTheTextIsDrawn) {
    panel.setBitmap(QImage());
    QImage back = blueBackBuffer();
    panel.draw(back);
    const QRect r = panel.rect();
    EXPECT_EQ(pixel(back, r.left() + 265, r.top() + 3), kBlue);
    EXPECT_NE(back, blueBackBuffer());
}

}  // namespace
