#pragma once

#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>

class QPainter;

// Helpers shared by the views' drawing routines.
namespace view_image {

// An opaque image of w x h logical pixels at the given device-pixel ratio;
// a null image when w or h is not positive.
QImage create(int width, int height, qreal devicePixelRatio);

// An image's size in logical pixels, the ones every view draws in.
QSize logicalSize(const QImage& image);

// The rectangle (left, top, right, bottom), right and bottom exclusive.
QRect fromEdges(int left, int top, int right, int bottom);

// Copies a view's image into the back buffer at rect's top-left corner, in
// logical pixels; nothing when either image is null.
void copyTo(QImage& backBuffer, const QRect& rect, const QImage& image);

// Copies the pixels under a logical rectangle from `source` to the same place
// in `target` (two RGB32 images of one size and ratio, such as a view's grid
// and its window in the back buffer, whose rows may lie apart differently).
void copyPixels(QImage& target, const QImage& source, const QRect& rect);

enum class Anchor { Left, Centre, Right };
// Writes one line of text with its top at y and its left edge, centre or
// right edge at x, in the painter's current font and pen.
void text(QPainter& painter, int x, int y, const QString& line, Anchor anchor);
// The same, but narrowed (never cut) when the line is wider than maxWidth.
void fittedText(QPainter& painter, int x, int y, const QString& line, Anchor anchor, int maxWidth);

}  // namespace view_image
