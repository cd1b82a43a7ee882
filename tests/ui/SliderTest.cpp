#include "ui/controls/Slider.h"
#include "ui/drawing/DrawingTools.h"

#include <gtest/gtest.h>

namespace {

// A slider 58 wide and 200 high at (300, 344): the track runs from y 380 to 540.
constexpr int kLeft = 300, kTop = 344;

class SliderTest : public ::testing::Test {
protected:
    void SetUp() override {
        slider.setRect(kLeft, kTop, kLeft + 58, kTop + 200);
        slider.setLine(0, QStringLiteral("Length"));
        slider.setValueText(slider_text::lengthLine);
    }
    DrawingTools tools;
    Slider slider{tools};
};

QRgb pixel(const QImage& image, int x, int y) { return image.pixel(x, y) & 0xFFFFFF; }
constexpr QRgb kBlack = 0x000000, kWhite = 0xFFFFFF, kGrey = 0xC0C0C0;

TEST_F(SliderTest, KnobAndTicksAreDrawnAtTheirRows) {
    slider.setPosition(0.5f);
    slider.draw();
    const QImage& image = slider.image();
    ASSERT_EQ(image.size(), QSize(58, 200));
    const int cx = 29;
    // Knob centre 116: outline rows 112 and 119, columns cx-9 and cx+8, white inside.
    for (int x = cx - 9; x <= cx + 8; ++x) {
        EXPECT_EQ(pixel(image, x, 112), kBlack) << x;
        EXPECT_EQ(pixel(image, x, 119), kBlack) << x;
    }
    for (int y = 113; y <= 118; ++y) {
        EXPECT_EQ(pixel(image, cx - 9, y), kBlack) << y;
        EXPECT_EQ(pixel(image, cx + 8, y), kBlack) << y;
        for (int x = cx - 8; x <= cx + 7; ++x) EXPECT_EQ(pixel(image, x, y), kWhite) << x << "," << y;
    }
    EXPECT_EQ(pixel(image, cx, 111), kBlack);  // the axis above the knob
    EXPECT_EQ(pixel(image, cx - 1, 111), kGrey);
    EXPECT_EQ(pixel(image, cx, 120), kBlack);
    EXPECT_EQ(pixel(image, cx + 9, 115), kGrey);

    // Ticks every 16 rows from 36 to 196; the end ticks are twice as wide.
    for (int b = 0; b <= 10; ++b) {
        const int y = 36 + 16 * b;
        if (b == 5) continue;  // under the knob
        const int d = (b == 0 || b == 10) ? 8 : 4;
        EXPECT_EQ(pixel(image, cx - d, y), kBlack) << y;
        EXPECT_EQ(pixel(image, cx + d - 1, y), kBlack) << y;
        EXPECT_EQ(pixel(image, cx + d, y), kGrey) << y;
        EXPECT_EQ(pixel(image, cx - d - 1, y), kGrey) << y;
        EXPECT_EQ(pixel(image, cx - d, y + 1), kGrey) << y;
    }
    EXPECT_EQ(pixel(image, cx, 196), kBlack);
    EXPECT_EQ(pixel(image, cx, 197), kGrey);  // the axis ends where the bottom tick is
}

TEST_F(SliderTest, DragMapsThePointerOntoTheTrack) {
    struct Case {
        int below;  // pointer rows below the slider's top
        float position;
    } cases[] = {{76, 0.75f}, {36, 1.0f}, {196, 0.0f}, {116, 0.5f}, {10, 1.0f}, {300, 0.0f}, {-5000, 1.0f}};
    for (const Case& c : cases) {
        slider.dragTo(kTop + c.below);
        EXPECT_FLOAT_EQ(slider.position(), c.position) << c.below;
    }
}

TEST_F(SliderTest, KnobHitBoxIs22By12) {
    slider.setPosition(0.5f);  // knob centre at 116 below the top
    const int cx = kLeft + 29, k = kTop + 116;
    struct Case {
        int x, y;
        bool hit;
    } cases[] = {{cx - 11, k, true}, {cx + 10, k, true}, {cx + 11, k, false}, {cx - 12, k, false},
                 {cx, k - 6, true},  {cx, k + 5, true},  {cx, k + 6, false},  {cx, k - 7, false}};
    for (const Case& c : cases) EXPECT_EQ(slider.hitKnob(c.x, c.y), c.hit) << c.x - cx << "," << c.y - k;
}

TEST_F(SliderTest, DragRewritesTheValueLineLiveAndEndsOnRelease) {
    slider.setPosition(0.2f);
    slider.refreshValueLine();
    EXPECT_EQ(slider.line(1), "400ms");
    const int cx = kLeft + 29;
    const int knob = kTop + 36 + static_cast<int>(160 * 0.8);

    EXPECT_FALSE(slider.press(cx + 11, knob));
    EXPECT_FALSE(slider.move(kTop + 36));
    EXPECT_FALSE(slider.isDragging());

    ASSERT_TRUE(slider.press(cx, knob));
    const QImage before = slider.image().copy();
    ASSERT_TRUE(slider.move(kTop + 36));
    EXPECT_FLOAT_EQ(slider.position(), 1.0f);
    EXPECT_EQ(slider.line(1), "10000ms");
    EXPECT_NE(slider.image(), before);  // the knob and the value line were redrawn
    ASSERT_TRUE(slider.move(kTop + 500));
    EXPECT_EQ(slider.line(1), "20ms");
    EXPECT_TRUE(slider.release());
    EXPECT_FALSE(slider.isDragging());
    EXPECT_FALSE(slider.release());
    EXPECT_EQ(slider.line(0), "Length");
}

TEST(SliderText, ValueLinesTruncate) {
    struct Case {
        float position;
        const char* length;
        const char* percent;
    } cases[] = {{0.0f, "20ms", "0%"},
                 {0.2f, "400ms", "20%"},
                 {0.29f, "840ms", "28%"},
                 {0.5f, "2500ms", "50%"},
                 {1.0f, "10000ms", "100%"}};
    for (const Case& c : cases) {
        EXPECT_EQ(slider_text::lengthLine(c.position), c.length) << c.position;
        EXPECT_EQ(slider_text::percentLine(c.position), c.percent) << c.position;
    }
}

TEST(SliderHiDpi, DrawsInLogicalPixelsAtTwiceTheResolution) {
    DrawingTools tools;
    Slider slider(tools);
    slider.setRect(0, 0, 58, 200, 2.0);
    slider.setPosition(0.5f);
    slider.draw();
    const QImage& image = slider.image();
    ASSERT_EQ(image.size(), QSize(116, 400));
    EXPECT_EQ(image.devicePixelRatio(), 2.0);
    // The knob's top outline row 112 and its white inside, at twice the coordinates.
    EXPECT_EQ(pixel(image, 2 * 25, 2 * 112), kBlack);
    EXPECT_EQ(pixel(image, 2 * 25, 2 * 115), kWhite);
    EXPECT_EQ(pixel(image, 2 * 25, 2 * 108), kGrey);
    EXPECT_EQ(slider.rect(), QRect(0, 0, 58, 200));
}

TEST(SliderEdges, DegenerateRectanglesAreHarmless) {
    DrawingTools tools;
    Slider slider(tools);
    slider.setRect(10, 10, 10, 10);
    slider.draw();
    EXPECT_TRUE(slider.image().isNull());
    slider.setRect(10, 10, 68, 50);  // track of length 0
    slider.dragTo(30);
    EXPECT_FLOAT_EQ(slider.position(), 1.0f);
    slider.dragTo(46);
    EXPECT_FLOAT_EQ(slider.position(), 0.0f);  // 0 / 0
    slider.draw();
    EXPECT_FALSE(slider.image().isNull());
}

}  // namespace
