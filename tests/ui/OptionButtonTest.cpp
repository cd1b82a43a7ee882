#include "ui/controls/OptionButton.h"
#include "ui/controls/OptionGroup.h"
#include "ui/drawing/DrawingTools.h"

#include <gtest/gtest.h>

namespace {

QRgb pixel(const QImage& image, int x, int y) { return image.pixel(x, y) & 0xFFFFFF; }
constexpr QRgb kBlack = 0x000000, kWhite = 0xFFFFFF, kLight = 0xC0C0C0, kDark = 0x808080, kMagenta = 0xFF00FF;

QImage buttonImage(const DrawingTools& tools, int width, const QString& caption, bool pressed) {
    QImage image(width, 24, QImage::Format_RGB32);
    OptionButton::paint(image, caption, pressed, tools);
    return image;
}

TEST(ButtonFaces, HoldTwoFacesInAMagentaFrame) {
    DrawingTools tools;
    const QImage& faces = tools.buttonFaces;
    ASSERT_EQ(faces.size(), QSize(80, 51));
    for (int x = 0; x < 80; ++x)
        for (int y : {0, 25, 50}) EXPECT_EQ(pixel(faces, x, y), kMagenta) << x << "," << y;
    struct Case {
        int x, y;
        QRgb colour;
    } cases[] = {
        {1, 1, kWhite},   {40, 1, kWhite},  {1, 12, kWhite},  {40, 12, kLight},
        {40, 23, kDark},  {77, 12, kDark},  {40, 24, kBlack}, {78, 12, kBlack},  // raised
        {1, 26, kBlack},  {40, 26, kBlack}, {40, 27, kDark},  {2, 40, kDark},
        {40, 40, kLight}, {40, 49, kWhite}, {78, 40, kWhite},  // sunken
    };
    for (const Case& c : cases) EXPECT_EQ(pixel(faces, c.x, c.y), c.colour) << c.x << "," << c.y;
}

TEST(OptionButton, PressedCaptionMovesOnePixelRightAndDown) {
    DrawingTools tools;
    const QImage up = buttonImage(tools, 78, QStringLiteral("Square"), false);
    const QImage down = buttonImage(tools, 78, QStringLiteral("Square"), true);
    int textPixels = 0;
    for (int y = 2; y <= 20; ++y) {
        for (int x = 2; x <= 74; ++x) {
            EXPECT_EQ(pixel(down, x + 1, y + 1), pixel(up, x, y)) << x << "," << y;
            if (pixel(up, x, y) != kLight) ++textPixels;
        }
    }
    EXPECT_GT(textPixels, 30);  // the caption is there
    // Faces: raised has a white top row, sunken a black one.
    EXPECT_EQ(pixel(up, 40, 0), kWhite);
    EXPECT_EQ(pixel(down, 40, 0), kBlack);
}

TEST(OptionButton, NarrowButtonIsClosedByTheFacesLastColumns) {
    DrawingTools tools;
    const QImage image = buttonImage(tools, 22, QString(), false);
    EXPECT_EQ(pixel(image, 0, 10), kWhite);
    EXPECT_EQ(pixel(image, 19, 10), kLight);
    EXPECT_EQ(pixel(image, 19, 22), kDark);
    EXPECT_EQ(pixel(image, 20, 10), kDark);
    EXPECT_EQ(pixel(image, 21, 10), kBlack);
    EXPECT_EQ(pixel(image, 10, 23), kBlack);
}

TEST(OptionButton, HitTestExcludesRightAndBottomEdges) {
    DrawingTools tools;
    OptionButton button(tools);
    button.setRect(100, 182, 178, 206);
    struct Case {
        int x, y;
        bool hit;
    } cases[] = {{100, 182, true}, {177, 205, true}, {178, 190, false}, {150, 206, false}, {99, 190, false}};
    for (const Case& c : cases) EXPECT_EQ(button.hitTest(c.x, c.y), c.hit) << c.x << "," << c.y;
}

class OptionGroupTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (int i = 0; i < 3; ++i) {
            group.add(QStringLiteral("%1KHz").arg(11 << i), 11025 << i);
            group.button(i).setRect(10 + 80 * i, 10, 88 + 80 * i, 34);
        }
    }
    int pressedCount() const {
        int n = 0;
        for (int i = 0; i < group.size(); ++i) n += group.button(i).isPressed() ? 1 : 0;
        return n;
    }
    DrawingTools tools;
    OptionGroup group{tools};
};

TEST_F(OptionGroupTest, SelectingLeavesExactlyOnePressed) {
    EXPECT_EQ(group.select(1), 22050);
    EXPECT_EQ(group.select(2), 44100);
    EXPECT_EQ(pressedCount(), 1);
    EXPECT_EQ(group.pressedIndex(), 2);
    // The chosen button's picture is the sunken face.
    EXPECT_EQ(pixel(group.button(2).image(), 40, 0), kBlack);
    EXPECT_EQ(pixel(group.button(1).image(), 40, 0), kWhite);
    EXPECT_EQ(group.select(7), 0);
    EXPECT_EQ(pressedCount(), 0);
}

TEST_F(OptionGroupTest, SelectValueMatchesOrClearsAll) {
    group.selectValue(22050);
    EXPECT_EQ(group.pressedIndex(), 1);
    EXPECT_EQ(pressedCount(), 1);
    group.selectValue(8000);  // not one of the buttons
    EXPECT_EQ(pressedCount(), 0);
}

TEST_F(OptionGroupTest, HitFindsTheButtonUnderThePointer) {
    struct Case {
        int x, y, index;
    } cases[] = {{10, 10, 0}, {87, 33, 0}, {88, 20, -1}, {90, 20, 1}, {240, 20, 2}, {240, 34, -1}};
    for (const Case& c : cases) EXPECT_EQ(group.hit(c.x, c.y), c.index) << c.x << "," << c.y;
}

}  // namespace
