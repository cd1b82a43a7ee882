#include "ui/drawing/RegionCover.h"

#include <algorithm>
#include <vector>

namespace region_cover {

namespace {

// Columns of nothing that a cover still spans rather than start another
// rectangle.
constexpr int kGapColumns = 64;

}  // namespace

QRegion fewRects(const QRegion& region, int maxRects, int bandRows) {
    if (region.rectCount() <= maxRects || bandRows < 1) return region;
    const QRect bounds = region.boundingRect();
    // The pieces of each band, then joined from left to right across gaps
    // narrower than kGapColumns.
    std::vector<std::vector<QRect>> bands(size_t((bounds.height() + bandRows - 1) / bandRows));
    for (const QRect& r : region) {
        const int first = (r.top() - bounds.top()) / bandRows;
        const int last = (r.bottom() - bounds.top()) / bandRows;
        for (int b = first; b <= last; ++b) {
            const int top = bounds.top() + b * bandRows;
            bands[size_t(b)].push_back(r.intersected(QRect(bounds.left(), top, bounds.width(), bandRows)));
        }
    }
    QRegion cover;
    for (std::vector<QRect>& pieces : bands) {
        std::sort(pieces.begin(), pieces.end(), [](const QRect& a, const QRect& b) { return a.left() < b.left(); });
        QRect run;
        for (const QRect& piece : pieces) {
            if (!run.isEmpty() && piece.left() - run.right() > kGapColumns) {
                cover += run;
                run = QRect();
            }
            run |= piece;
        }
        if (!run.isEmpty()) cover += run;
    }
    return cover;
}

}  // namespace region_cover
