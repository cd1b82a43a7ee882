// The window on a screen with two device pixels per logical pixel: the back
// buffer and every view carry the ratio, so the picture is drawn at full
// resolution in the same logical layout.

#include "WindowHarness.h"

#include <QApplication>

#include <gtest/gtest.h>

namespace {

TEST(MainWindowHiDpi, TheBackBufferHasTheScreensPixelRatio) {
    WindowHarness h(QSize(900, 650));
    ASSERT_DOUBLE_EQ(h.canvas()->devicePixelRatioF(), 2.0);
    const BackBuffer& buffer = h.editor().backBuffer();
    EXPECT_EQ(buffer.logicalSize(), QSize(900, 650));
    EXPECT_EQ(buffer.image().size(), QSize(1800, 1300));
    EXPECT_DOUBLE_EQ(buffer.image().devicePixelRatio(), 2.0);

    const EnvelopeGraph& graph = h.editor().amplitudeGraph();
    EXPECT_EQ(graph.rect(), WindowLayout::compute(QSize(900, 650)).amplitude) << "layout in logical pixels";
    EXPECT_EQ(graph.image().size(), graph.rect().size() * 2);

    // The graph's black starts exactly at device pixel (16, 40), logical (8, 20).
    const QImage& image = buffer.image();
    EXPECT_EQ(image.pixel(16, 40), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(15, 40), BackBuffer::kBackground);
    EXPECT_EQ(image.pixel(16, 39), BackBuffer::kBackground);

    // What reaches the screen is the full-resolution buffer, not a scaled copy.
    const QImage screen = h.canvas()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(screen.size(), image.size());
    EXPECT_TRUE(screen == image);
}

TEST(MainWindowHiDpi, TheMouseWorksInLogicalPixels) {
    WindowHarness h(QSize(900, 650));
    const EnvelopeGraph& graph = h.editor().amplitudeGraph();
    const QRect r = graph.rect();
    // Point 2 (t = 0.4, 75%) dragged to the middle of the plot area.
    const QPoint from(r.left() + 40 + static_cast<int>((r.width() - 56) * 0.4f),
                      r.top() + 16 + static_cast<int>((r.height() - 32) * 0.25f));
    const QPoint to(r.left() + 40 + (r.width() - 56) / 2, r.top() + 16 + (r.height() - 32) / 2);
    QTest::mousePress(h.canvas(), Qt::LeftButton, {}, from);
    QTest::mouseMove(h.canvas(), to);
    QTest::mouseRelease(h.canvas(), Qt::LeftButton, {}, to);
    EXPECT_NEAR(h.document.settings().amplitude.time(2), 0.5, 0.01);
    EXPECT_NEAR(h.document.settings().amplitude.value(2), 0.5, 0.01);
}

}  // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
