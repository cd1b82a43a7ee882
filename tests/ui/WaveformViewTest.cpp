#include "core/WaveformTable.h"
#include "ui/drawing/DrawingTools.h"
#include "ui/views/WaveformView.h"

#include <gtest/gtest.h>

namespace {

QRgb pixel(const QImage& image, int x, int y) { return image.pixel(x, y) & 0xFFFFFF; }

TEST(WaveformView, SquareHasItsHalvesAtTheTopAndBottom) {
    DrawingTools tools;
    WaveformTable table;
    table.build(200);
    WaveformView view(table, tools);
    view.setRect(776, 20, 1016, 180);  // f = 184, d = 128
    view.draw();
    const QImage& image = view.image();
    ASSERT_EQ(image.size(), QSize(240, 160));
    const int top = 12, bottom = 12 + 128;
    auto xOf = [](int degree) { return 40 + degree * 184 / 360; };
    struct Case {
        int degree;
        int y;
        bool green;
    } cases[] = {{10, top, true},     {90, top, true},     {170, top, true},  {190, bottom, true}, {270, bottom, true},
                 {350, bottom, true}, {90, bottom, false}, {270, top, false}, {90, top + 1, false}};
    for (const Case& c : cases)
        EXPECT_EQ(pixel(image, xOf(c.degree), c.y) == 0x00FF00, c.green) << c.degree << "," << c.y;
    // One steep line joins entry 179 to entry 180.
    for (int y = top; y <= bottom; ++y) {
        const bool green = pixel(image, xOf(179), y) == 0x00FF00 || pixel(image, xOf(180), y) == 0x00FF00;
        EXPECT_TRUE(green) << y;
    }
}

TEST(WaveformView, SineCrossesTheMiddleAtZeroAndHalfACycle) {
    DrawingTools tools;
    WaveformTable table;  // Sine
    WaveformView view(table, tools);
    view.setRect(0, 0, 416, 232);  // f = 360, d = 200: one pixel per degree
    view.draw();
    // Table values are single precision: allow the row just above.
    auto greenNear = [&](int x, int y) {
        return pixel(view.image(), x, y) == 0x00FF00u || pixel(view.image(), x, y - 1) == 0x00FF00u;
    };
    EXPECT_TRUE(greenNear(40, 112));
    EXPECT_TRUE(greenNear(40 + 90, 12));
    EXPECT_TRUE(greenNear(40 + 180, 112));
    EXPECT_TRUE(greenNear(40 + 270, 212));
    EXPECT_FALSE(greenNear(40 + 90, 112));
}

}  // namespace
