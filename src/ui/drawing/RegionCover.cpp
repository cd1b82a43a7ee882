#include "ui/drawing/RegionCover.h"

#include <algorithm>
#include <climits>

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
    // Each band's pieces joined from left to right across narrow gaps, each
    // run as high as the band's pieces reach: a region's own form (bands of
    // equal height, apart, in order), so that it is made without a union.
    std::vector<QRect> cover;
    for (std::vector<QRect>& band : bands) {
        std::sort(band.begin(), band.end(), [](const QRect& a, const QRect& b) { return a.left() < b.left(); });
        int top = INT_MAX, bottom = INT_MIN;
        for (const QRect& piece : band) {
            top = std::min(top, piece.top());
            bottom = std::max(bottom, piece.bottom());
        }
        int left = 0, right = 0;
        bool open = false;
        for (const QRect& piece : band) {
            if (open && piece.left() - right > kGapColumns) {
                cover.push_back(QRect(QPoint(left, top), QPoint(right, bottom)));
                open = false;
            }
            if (!open) left = piece.left();
            right = open ? std::max(right, piece.right()) : piece.right();
            open = true;
        }
        if (open) cover.push_back(QRect(QPoint(left, top), QPoint(right, bottom)));
    }
    return cover;
}

QRegion regionOf(const std::vector<QRect>& pieces, int maxRects, int bandRows) {
    QRegion region;
    if (int(pieces.size()) <= maxRects || bandRows < 1) {  // the pieces as they are
        for (const QRect& r : pieces) region += r;
        return region;
    }
    const std::vector<QRect> cover = fewRects(pieces, maxRects, bandRows);
    region.setRects(cover.data(), int(cover.size()));
    return region;
}

QRegion fewRects(const QRegion& region, int maxRects, int bandRows) {
    if (region.rectCount() <= maxRects) return region;
    return regionOf(std::vector<QRect>(region.begin(), region.end()), maxRects, bandRows);
}

}  // namespace region_cover
