#include "ui/drawing/RegionCover.h"

#include <gtest/gtest.h>

#include <random>

namespace {

// Thin pieces at the top and bottom of each column, as a trace redrawn after
// a small move leaves them, with a few strays in between.
QRegion tracePieces(std::mt19937& random, int columns) {
    QRegion region;
    std::uniform_int_distribution<int> jitter(0, 4), stray(0, 40);
    for (int x = 0; x < columns; x += 1 + jitter(random)) {
        region += QRect(40 + x, 100 + jitter(random), 2, 1 + jitter(random));
        region += QRect(40 + x, 500 + jitter(random), 2, 1 + jitter(random));
        if (stray(random) == 0) region += QRect(40 + x, 200 + 8 * jitter(random), 1, 3);
        if (stray(random) == 0) region += QRect(40 + x, 120, 1, 70 + jitter(random));  // across bands
    }
    return region;
}

TEST(RegionCover, CoversEveryPieceWithFewRectangles) {
    std::mt19937 random(7);
    for (const int columns : {10, 300, 1700}) {
        SCOPED_TRACE(columns);
        const QRegion region = tracePieces(random, columns);
        const QRegion cover = region_cover::fewRects(region);
        // Made straight from the rectangles: the region their union makes.
        QRegion united;
        for (const QRect& r : region_cover::fewRects(std::vector<QRect>(region.begin(), region.end()))) united += r;
        EXPECT_TRUE((cover ^ united).isEmpty());
        EXPECT_TRUE((region - cover).isEmpty()) << "a piece left out";
        EXPECT_TRUE(region.boundingRect().contains(cover.boundingRect())) << "nothing beyond the pieces' bounds";
        if (region.rectCount() <= 32) {
            EXPECT_EQ(cover, region) << "a few pieces go as they are";
        } else {
            EXPECT_LE(cover.rectCount(), 64) << "of " << region.rectCount();
            // Each band keeps to its pieces' rows: the empty rows between the
            // top and the bottom of the trace are not sent.
            EXPECT_FALSE(cover.intersects(QRect(0, 300, 2000, 150)));
        }
    }
}

}  // namespace
