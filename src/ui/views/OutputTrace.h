#pragma once

#include <QImage>

#include <cstdint>
#include <utility>

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

// Whether drawColumns() can draw part of this plot: every column holds a
// sample and a logical pixel is a device pixel.
bool drawsColumns(const QImage& image, Area area, int32_t count);
// The rows [first, second] (inclusive) that hold every trace pixel of columns
// [from, to) whichever way it is drawn: those of the lowest and highest
// sample from column from - 1 to column to, which the lines join, with a row
// to spare either side. None (first > second) without samples there.
std::pair<int, int> rowsOf(const RenderedSound& sound, Area area, int32_t count, int from, int to);

// Only the trace's pixels in columns [from, to) of the data area (column c
// lies at x = area.left + c), the same ones draw() gives there, provided the
// image holds the whole trace's picture elsewhere, and in those columns the
// grid except in rows oldRows (inclusive), where `grid` (the picture without
// the trace, at the image's size and place) is taken. The image may end
// anywhere right of column from - 1, which must be inside it: the line coming
// into column `from` starts there.
void drawColumns(QImage& image, const QImage& grid, std::pair<int, int> oldRows, const RenderedSound& sound,
                 const DrawingTools& tools, Area area, int32_t count, int from, int to);

}  // namespace output_trace
