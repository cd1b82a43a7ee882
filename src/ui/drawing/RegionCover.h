#pragma once

#include <QRegion>

// Screen updates cost per rectangle as well as per pixel: a region of
// hundreds of thin pieces (a trace redrawn at the top and bottom of each
// column) copies faster as a few wider ones. Copying more of a complete
// picture than changed shows nothing new, so the cover may be larger.
namespace region_cover {

// `region` itself when it has at most `maxRects` rectangles; else, for each
// band of `bandRows` rows, the bounding rectangles of its parts there, those
// close side by side joined.
QRegion fewRects(const QRegion& region, int maxRects = 32, int bandRows = 32);

}  // namespace region_cover
