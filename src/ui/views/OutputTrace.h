#pragma once

#include <QImage>
#include <QLine>
#include <QRect>

#include <climits>
#include <cstdint>
#include <utility>
#include <vector>

class DrawingTools;
class RenderedSound;

// The trace of the output plot: the first `count` samples drawn over the data
// area, one pixel column after another, each column's extent filled, lines
// joining the columns, red where a sample is clipped.
namespace output_trace {

struct Area {
    int left;    // x of sample 0
    int top;     // y of full scale
    int width;   // f: sample j lies in column left + j * f / count
    int height;  // d
};

// How the samples are walked. Both give the same pixels: PerColumn takes each
// column's samples in one tight loop and is the one used whenever every
// column holds at least one sample; PerSample is the plain walk, kept for
// zoomed-in plots and as the reference the other is tested against.
enum class Walk { Fastest, PerSample };

void draw(QImage& image, const RenderedSound& sound, const DrawingTools& tools, Area area, int32_t count,
          Walk walk = Walk::Fastest);

// What the trace drew in one column of the data area: its extent (none when
// top > bottom), its colour, the rows any of its pixels may take (the extent
// and the lines coming in and going out; none when first > last), and the
// rows the line going out starts and ends on.
struct Footprint {
    int top = INT_MAX, bottom = INT_MIN;
    int first = INT_MAX, last = INT_MIN;
    bool red = false;
    int outFrom = INT_MIN, outTo = INT_MIN;

    bool operator==(const Footprint& o) const {
        return top == o.top && bottom == o.bottom && first == o.first && last == o.last && red == o.red &&
               outFrom == o.outFrom && outTo == o.outTo;
    }
};

// A line of the trace, within one column or on to the next (x2 - x1 is 0 or
// 1), written straight into a 32-bit image at one device pixel per logical
// one: the pixels QPainter's one-pixel pen gives it, clipped to the image.
// Any other line, or image, goes through a painter (and gives false).
bool drawJoin(QImage& image, QRgb colour, const QLine& line);

// Whether drawColumns() can draw part of this plot: every column holds a
// sample and a logical pixel is a device pixel.
bool drawsColumns(const QImage& image, Area area, int32_t count);
// The footprint of every column of the data area, as draw() leaves them.
std::vector<Footprint> footprints(const RenderedSound& sound, Area area, int32_t count);

// Draws the trace's columns [from, to) of the data area again (column c lies
// at x = area.left + c), the same pixels draw() gives there, given that the
// image holds the picture whose footprints are `drawn` (one per column; those
// of [from, to) become the new ones) and that the columns either side keep
// theirs. Only pixels that may change are written: in each column those the
// old or the new trace reaches, less the rows where both fill it in the same
// colour; there `grid` (the picture without the trace, at the image's size
// and place) or the new trace goes. Within `covered` (image pixels drawn over
// by something else, which is drawn again after) nothing is kept. Returns the
// rectangles written, in the image's pixels. The image may end anywhere right
// of column from - 1, which must be inside it: the line coming into column
// `from` starts there.
std::vector<QRect> drawColumns(QImage& image, const QImage& grid, std::vector<Footprint>& drawn,
                               const RenderedSound& sound, const DrawingTools& tools, Area area, int32_t count,
                               int from, int to, const QRect& covered = QRect());

}  // namespace output_trace
