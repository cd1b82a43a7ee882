#include "ui/drawing/RegionCover.h"

#include <algorithm>

namespace region_cover {

namespace {

// Columns of nothing that a cover still spans rather than start another
// rectangle.
constexpr int kGapColumns = 64;

QRect boundsOf(const std::vector<QRect>& pieces) {
    QRect bounds;
    for (const QRect& r : pieces) bounds |= r;
    return bounds;
}

}  // namespace

std::vector<QRect> fewRects(const std::vector<QRect>& pieces, int maxRects, int bandRows) {
    if (int(pieces.size()) <= maxRects || bandRows < 1) return pieces;
    const QRect bounds = boundsOf(pieces);
    std::vector<std::vector<QRect>> bands(size_t((bounds.height() + bandRows - 1) / bandRows));
    for (const QRect& r : pieces) {
        if (r.isEmpty()) continue;
        const int first = (r.top() - bounds.top()) / bandRows;
        const int last = (r.bottom() - bounds.top()) / bandRows;
        for (int b = first; b <= last; ++b) {
            const int top = bounds.top() + b * bandRows;
            bands[size_t(b)].push_back(r.intersected(QRect(bounds.left(), top, bounds.width(), bandRows)));
        }
    }
    // Each band's pieces joined from left to right across narrow gaps.
    std::vector<QRect> cover;
    for (std::vector<QRect>& band : bands) {
        std::sort(band.begin(), band.end(), [](const QRect& a, const QRect& b) { return a.left() < b.left(); });
        QRect run;
        for (const QRect& piece : band) {
            if (!run.isEmpty() && piece.left() - run.right() > kGapColumns) {
                cover.push_back(run);
                run = QRect();
            }
            run |= piece;
        }
        if (!run.isEmpty()) cover.push_back(run);
    }
    return cover;
}

QRegion fewRects(const QRegion& region, int maxRects, int bandRows) {
    if (region.rectCount() <= maxRects) return region;
    QRegion cover;
    for (const QRect& r : fewRects(std::vector<QRect>(region.begin(), region.end()), maxRects, bandRows)) cover += r;
    return cover;
}

}  // namespace region_cover
