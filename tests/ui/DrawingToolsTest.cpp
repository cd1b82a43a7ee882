#include "ui/drawing/DrawingTools.h"

#include <QFontInfo>
#include <QFontMetrics>

#include <gtest/gtest.h>

namespace {

TEST(DrawingTools, FontsAreArialLikeAndFitTheirCells) {
    DrawingTools tools;
    struct Case {
        const QFont& font;
        int cell;
        bool bold;
    } cases[] = {{tools.smallFont, 14, false}, {tools.boldFont, 16, true}};
    for (const Case& c : cases) {
        // "Arial" resolves to the metric-compatible Liberation Sans here.
        EXPECT_EQ(QFontInfo(c.font).family(), "Liberation Sans");
        const QFontMetrics metrics(c.font);
        EXPECT_LE(metrics.ascent() + metrics.descent(), c.cell);
        EXPECT_GE(metrics.ascent() + metrics.descent(), c.cell - 2);
        EXPECT_EQ(c.font.weight() > QFont::Normal, c.bold);
    }
}

TEST(DrawingTools, PensAndCursors) {
    DrawingTools tools;
    EXPECT_EQ(tools.dottedPen.style(), Qt::DotLine);
    EXPECT_EQ(tools.dottedPen.color(), QColor(64, 64, 64));
    EXPECT_EQ(tools.greenPen.color(), QColor(0, 255, 0));
    EXPECT_EQ(tools.handCursor.shape(), Qt::PointingHandCursor);
    EXPECT_EQ(tools.playCursor.shape(), Qt::BitmapCursor);
    EXPECT_EQ(tools.playCursor.hotSpot(), QPoint(5, 0));
    EXPECT_FALSE(DrawingTools::appIcon().isNull());
}

TEST(DrawingTools, StartDirectoryEndsWithExactlyOneSlash) {
    struct Case {
        const char* in;
        const char* out;
    } cases[] = {{"/", "/"}, {"/home/user", "/home/user/"}, {"/home/user/", "/home/user/"}};
    for (const Case& c : cases) EXPECT_EQ(DrawingTools::withTrailingSlash(c.in), c.out);
    EXPECT_TRUE(DrawingTools().startDirectory.endsWith('/'));
}

}  // namespace
