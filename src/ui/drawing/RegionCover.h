#pragma once

#include <QRect>
#include <QRegion>

#include <vector>

// Screen updates cost per rectangle as well as per pixel: a region of
// hundreds of thin pieces (a trace redrawn at the top and bottom of each
// column) copies faster as a few wider ones. Copying more of a complete
// picture than changed shows nothing new, so the cover may be larger.
namespace region_cover {

// The pieces themselves when there are at most `maxRects`; else, for each
// band of `bandRows` rows, rectangles spanning the rows the pieces there
// reach, one for each run of pieces close side by side.
std::vector<QRect> fewRects(const std::vector<QRect>& pieces, int maxRects = 32, int bandRows = 32);
// The same as a region.
QRegion regionOf(const std::vector<QRect>& pieces, int maxRects = 32, int bandRows = 32);
// The same for a region.
QRegion fewRects(const QRegion& region, int maxRects = 32, int bandRows = 32);

}  // namespace region_cover
