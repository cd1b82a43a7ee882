#include "ui/views/OutputTrace.h"

#include "core/RenderedSound.h"
#include "ui/drawing/DrawingTools.h"

#include <QPainter>

#include <algorithm>
#include <climits>
#include <cstring>
#include <vector>

namespace output_trace {

namespace {

// The pixels of a join (see drawJoin) in rows [0, size.height()) and
// columns [0, size.width()); false for a line that is no join.
bool writeJoin(uchar* bits, qsizetype bytesPerLine, QSize size, QRgb colour, const QLine& line) {
    const int x = line.x1(), dx = line.x2() - line.x1();
    if (dx != 0 && dx != 1) return false;
    auto column = [&](int cx, int from, int to) {  // rows from..to, both included, from <= to
        if (cx < 0 || cx >= size.width()) return;
        for (int y = std::max(0, from); y <= std::min(size.height() - 1, to); ++y)
            reinterpret_cast<QRgb*>(bits + qsizetype(y) * bytesPerLine)[cx] = colour;
    };
    const int y0 = line.y1(), y1 = line.y2();
    if (dx == 0) {
        column(x, std::min(y0, y1), std::max(y0, y1));
        return true;
    }
    // On to the next column: the first column takes every row but the
    // last one's, the next column only the end.
    const int beforeEnd = y1 > y0 ? y1 - 1 : y1 < y0 ? y1 + 1 : y1;
    column(x, std::min(y0, beforeEnd), std::max(y0, beforeEnd));
    column(x + 1, y1, y1);
    return true;
}

// Screen row and clipping of one sample, read straight from the PCM bytes:
// this loop runs over up to 441,000 samples per redraw.
template <bool Wide>
struct SampleReader {
    const uint8_t* data;
    int top;
    int d;

    // The raw value: the byte at 8 bits, the signed sample at 16.
    int raw(int32_t j) const {
        if (Wide) {
            int16_t s;
            std::memcpy(&s, data + 2 * size_t(j), 2);  // little-endian samples, as the renderer stores them
            return s;
        }
        return data[j];
    }
    int yOf(int s) const { return Wide ? top + ((32768 - s) * d) / 65536 : top + ((255 - s) * d) / 256; }
    static bool clippedLow(int lowest) { return Wide ? lowest <= -32767 : lowest <= 1; }
    static bool clippedHigh(int highest) { return Wide ? highest >= 32767 : highest == 255; }

    // The lowest and highest raw value of samples [from, to); for none, the
    // highest value as the lowest and the other way round, which no min or
    // max, nor the clip test, can tell from "no value". Kept in the samples'
    // own width so that the loop vectorises with the baseline instruction set
    // (a minimum of 16-bit or unsigned 8-bit lanes; 32-bit ones need more).
    void range(int32_t from, int32_t to, int& lowest, int& highest) const {
        if (Wide) {
            int16_t low = INT16_MAX, high = INT16_MIN;
            for (int32_t j = from; j < to; ++j) {
                int16_t s;
                std::memcpy(&s, data + 2 * size_t(j), 2);
                low = s < low ? s : low;
                high = s > high ? s : high;
            }
            lowest = low;
            highest = high;
            return;
        }
        uint8_t low = UINT8_MAX, high = 0;
        for (int32_t j = from; j < to; ++j) {
            const uint8_t b = data[j];
            low = b < low ? b : low;
            high = b > high ? b : high;
        }
        lowest = low;
        highest = high;
    }

    int y(int32_t j, bool& clipped) const {
        if (Wide) {
            const auto lo = static_cast<uint16_t>(data[2 * j]);
            const auto hi = static_cast<uint16_t>(data[2 * j + 1]);
            const int s = static_cast<int16_t>(static_cast<uint16_t>(lo | (hi << 8)));
            clipped = s >= 32767 || s <= -32767;
            return top + ((32768 - s) * d) / 65536;
        }
        const int b = data[j];
        clipped = b <= 1 || b == 255;
        return top + ((255 - b) * d) / 256;
    }
};

// Draws the trace with as few painter calls as the picture allows: the lines
// joining the columns are collected and drawn together while the colour
// stays the same (one colour's pixels do not depend on their order), and each
// column's extent is filled straight into the pixels when the device-pixel
// ratio is whole. Over 441,000 samples that is most of the plot's time.
class TraceCanvas {
public:
    TraceCanvas(QImage& image, QPainter& p, const DrawingTools& tools) : image_(image), p_(p), tools_(tools) {
        const qreal dpr = image.devicePixelRatio();
        scale_ = dpr >= 1.0 && dpr == qreal(int(dpr)) ? int(dpr) : 0;
        // Taken once the painter holds the image, so that it is not detached later.
        bits_ = image.bits();
        bytesPerLine_ = image.bytesPerLine();
        p_.setPen(tools.greenPen);
    }
    ~TraceCanvas() { flush(); }

    // The pen is switched only when the colour changes: most columns keep it.
    void select(bool red) {
        if (red == red_) return;
        flush();
        p_.setPen(red ? tools_.redPen : tools_.greenPen);
        red_ = red;
    }
    // At one device pixel per logical one a join goes straight into the
    // pixels (the painter's per-line cost was most of a redraw's).
    void line(int x0, int y0, int x1, int y1) {
        const QLine l(x0, y0, x1, y1);
        if (scale_ != 1 || !writeJoin(bits_, bytesPerLine_, image_.size(), rgb(red_), l)) lines_.push_back(l);
    }
    void flush() {
        if (!lines_.empty()) p_.drawLines(lines_.data(), static_cast<int>(lines_.size()));
        lines_.clear();
    }
    // The device pixels per logical one when whole, else 0.
    int scale() const { return scale_; }
    QRgb rgb(bool red) const { return (red ? tools_.redPen.color() : tools_.greenPen.color()).rgb(); }
    uchar* bits() const { return bits_; }
    qsizetype bytesPerLine() const { return bytesPerLine_; }
    QSize deviceSize() const { return image_.size(); }
    // The column x from y0 to y1 (both included), as a one-pixel-wide fillRect.
    void extent(int x, int y0, int y1) {
        const QColor colour = red_ ? tools_.redPen.color() : tools_.greenPen.color();
        if (scale_ == 0) {
            p_.fillRect(x, y0, 1, y1 - y0 + 1, colour);
            return;
        }
        const QRgb rgb = colour.rgb();
        const int left = std::max(0, x * scale_), right = std::min(image_.width(), (x + 1) * scale_);
        const int top = std::max(0, y0 * scale_), bottom = std::min(image_.height(), (y1 + 1) * scale_);
        for (int y = top; y < bottom; ++y) {
            auto* row = reinterpret_cast<QRgb*>(bits_ + qsizetype(y) * bytesPerLine_);
            for (int xx = left; xx < right; ++xx) row[xx] = rgb;
        }
    }

private:
    QImage& image_;
    QPainter& p_;
    const DrawingTools& tools_;
    int scale_ = 0;
    uchar* bits_ = nullptr;
    qsizetype bytesPerLine_ = 0;
    bool red_ = false;
    std::vector<QLine> lines_;
};

template <bool Wide>
void walkPerSample(TraceCanvas& canvas, const SampleReader<Wide>& reader, int32_t count, int left, int f) {
    bool clipped = false;
    int prevX = left;
    int lastY = reader.y(0, clipped);
    int minY = lastY;
    int maxY = lastY;
    int merged = 0;
    bool mark = false;
    // x of sample j is 40 + (j * f) / count; kept as a running quotient and
    // remainder instead of a division per sample.
    int x = left;
    int64_t remainder = 0;
    for (int32_t j = 1; j < count; ++j) {
        remainder += f;
        while (remainder >= count) {
            remainder -= count;
            ++x;
        }
        const int y = reader.y(j, clipped);
        if (clipped) mark = true;
        if (x > prevX) {
            // A new pixel column: close the previous one with its extent, join them.
            canvas.select(mark);
            // The direction of the extent does not change its pixels.
            if (merged > 0) canvas.extent(prevX, minY, maxY);
            canvas.line(prevX, lastY, x, y);
            minY = maxY = y;
            merged = 0;
            mark = false;
        } else {
            minY = std::min(minY, y);
            maxY = std::max(maxY, y);
            ++merged;
        }
        prevX = x;
        lastY = y;
    }
    // The last column's extent too, so the end of the sound is not cut off.
    if (merged > 0) {
        canvas.select(mark);
        canvas.line(prevX, minY, prevX, maxY);
    }
}

// The same pixels as walkPerSample, column by column. Column c holds the
// samples j with j * f / count == c, from first(c) = ceil(c * count / f).
// As the walk above does, a column's colour counts its samples after the
// first and the first of the next column; the extent is drawn for columns of
// two samples or more. The screen row falls as the value rises, so the
// extent comes from the lowest and highest value. One column as drawn:
struct Column {
    int top = INT_MAX, bottom = INT_MIN;  // the extent's rows; none when top > bottom
    bool red = false;
    QLine out;  // the line to the next column (or the last column's extent)
    bool hasOut = false;
};

// Columns [firstColumn, to) of the data area, while they hold samples.
template <bool Wide>
std::vector<Column> columnsOf(const SampleReader<Wide>& reader, int32_t count, int left, int f, int firstColumn,
                              int to) {
    std::vector<Column> columns;
    columns.reserve(size_t(std::max(0, to - firstColumn)) + 1);
    auto first = [&](int64_t c) { return static_cast<int32_t>((c * count + f - 1) / f); };
    int32_t begin = first(firstColumn);
    for (int64_t c = firstColumn; begin < count && c < to; ++c) {
        const int32_t end = std::min(count, first(c + 1));  // one past the column's last sample
        // The samples after the first.
        int innerLow = 0, innerHigh = 0;
        reader.range(begin + 1, end, innerLow, innerHigh);
        const int head = reader.raw(begin);
        const int lowest = std::min(head, innerLow), highest = std::max(head, innerHigh);
        int markLow = innerLow, markHigh = innerHigh;
        if (end < count) {
            markLow = std::min(markLow, reader.raw(end));
            markHigh = std::max(markHigh, reader.raw(end));
        }
        Column column;
        column.red = SampleReader<Wide>::clippedLow(markLow) || SampleReader<Wide>::clippedHigh(markHigh);
        const int x = left + static_cast<int>(c);
        const bool several = end - begin > 1;
        if (end < count) {
            if (several) {
                column.top = reader.yOf(highest);
                column.bottom = reader.yOf(lowest);
            }
            column.out = QLine(x, reader.yOf(reader.raw(end - 1)), x + 1, reader.yOf(reader.raw(end)));
            column.hasOut = true;
        } else if (several) {
            column.out = QLine(x, reader.yOf(highest), x, reader.yOf(lowest));
            column.hasOut = true;
        }
        columns.push_back(column);
        begin = end;
    }
    return columns;
}

// A line's pixels lie in its bounding box: the rows it may take in either
// of its columns.
void takeRows(Footprint& print, const Column& column) {
    if (!column.hasOut) return;
    print.first = std::min({print.first, column.out.y1(), column.out.y2()});
    print.last = std::max({print.last, column.out.y1(), column.out.y2()});
}

Footprint footprintOf(const Column& column, const Column* before) {
    Footprint print;
    print.top = column.top;
    print.bottom = column.bottom;
    print.red = column.red;
    if (column.hasOut) {
        print.outFrom = column.out.y1();
        print.outTo = column.out.y2();
    }
    if (column.top <= column.bottom) {
        print.first = column.top;
        print.last = column.bottom;
    }
    takeRows(print, column);
    if (before) takeRows(print, *before);
    return print;
}

// The lines joining the columns, then the extents from column `skip` on
// again where the colour changes from the column before (see below).
// `unseen`, when given, marks the lines whose pixels are all there already.
void drawLines(TraceCanvas& canvas, const std::vector<Column>& columns, size_t skip, int firstX,
               const std::vector<bool>* unseen = nullptr) {
    for (size_t c = 0; c < columns.size(); ++c) {
        const Column& column = columns[c];
        if (!column.hasOut || (unseen && (*unseen)[c])) continue;
        canvas.select(column.red);
        canvas.line(column.out.x1(), column.out.y1(), column.out.x2(), column.out.y2());
    }
    canvas.flush();
    for (size_t c = std::max<size_t>(1, skip); c < columns.size(); ++c) {
        if (columns[c].red == columns[c - 1].red || columns[c].top > columns[c].bottom) continue;
        canvas.select(columns[c].red);
        canvas.extent(firstX + int(c), columns[c].top, columns[c].bottom);
    }
}

// The extents are filled row by row (the cache's order, not column by
// column), before the lines. That gives the walk's pixels because a column is
// touched only by the line coming in (the previous colour), its extent and
// the line going out (its own colour): only where the colour changes must the
// extent be filled again over the line coming in.
template <bool Wide>
void walkPerColumn(TraceCanvas& canvas, const SampleReader<Wide>& reader, int32_t count, int left, int f) {
    const std::vector<Column> columns = columnsOf(reader, count, left, f, 0, f);
    if (columns.empty()) return;
    const int scale = canvas.scale();
    const QSize device = canvas.deviceSize();
    const int fillCount = std::min(int(columns.size()), device.width() / scale - left);
    std::vector<int> tops(size_t(std::max(0, fillCount))), bottoms(tops.size());
    std::vector<QRgb> colours(tops.size());
    int highestRow = INT_MAX, lowestRow = INT_MIN;
    for (size_t c = 0; c < tops.size(); ++c) {
        tops[c] = columns[c].top;
        bottoms[c] = columns[c].bottom;
        colours[c] = canvas.rgb(columns[c].red);
        if (columns[c].top <= columns[c].bottom) {
            highestRow = std::min(highestRow, columns[c].top);
            lowestRow = std::max(lowestRow, columns[c].bottom);
        }
    }
    const int rowFrom = highestRow > lowestRow ? 0 : std::max(0, highestRow * scale);
    const int rowTo = highestRow > lowestRow ? 0 : std::min(device.height(), (lowestRow + 1) * scale);
    for (int dy = rowFrom; dy < rowTo; ++dy) {
        const int y = dy / scale;
        auto* row = reinterpret_cast<QRgb*>(canvas.bits() + qsizetype(dy) * canvas.bytesPerLine()) + left * scale;
        if (scale == 1) {
            // Branch-free (a mask, not a choice), so that it vectorises.
            for (int c = 0; c < fillCount; ++c) {
                const QRgb inside = QRgb(0) - QRgb((tops[size_t(c)] <= y) & (y <= bottoms[size_t(c)]));
                row[c] = (colours[size_t(c)] & inside) | (row[c] & ~inside);
            }
            continue;
        }
        for (int c = 0; c < fillCount; ++c) {
            if (tops[size_t(c)] > y || y > bottoms[size_t(c)]) continue;
            for (int k = 0; k < scale; ++k) row[c * scale + k] = colours[size_t(c)];
        }
    }
    drawLines(canvas, columns, 0, left);
}

// Joins the rows written in neighbouring columns into few rectangles to send
// to the screen: a column joins the run while it adds little height.
class RowRuns {
public:
    explicit RowRuns(std::vector<QRect>& out) : out_(out) {}
    ~RowRuns() { close(); }
    void add(int x, int y0, int y1) {
        if (y0 > y1) return;
        if (open_) {
            const int top = std::min(top_, y0), bottom = std::max(bottom_, y1);
            if (x - right_ <= kGap && bottom - top <= std::max(bottom_ - top_, y1 - y0) + kSlack) {
                top_ = top;
                bottom_ = bottom;
                right_ = x;
                return;
            }
            close();
        }
        open_ = true;
        left_ = right_ = x;
        top_ = y0;
        bottom_ = y1;
    }
    void close() {
        if (open_) out_.emplace_back(left_, top_, right_ - left_ + 1, bottom_ - top_ + 1);
        open_ = false;
    }

private:
    static constexpr int kGap = 4;    // columns
    static constexpr int kSlack = 8;  // rows
    std::vector<QRect>& out_;
    bool open_ = false;
    int left_ = 0, right_ = 0, top_ = 0, bottom_ = 0;
};

// A redraw at one device pixel per logical one. Within a column, the pixels
// outside what the old and the new trace reach stay the grid; those inside
// both extents, both in the same colour, stay that colour (lines drawn there
// are either the column's own colour or covered by its extent again). Only
// the rest is written: a small move of a curve writes a few rows at the top
// and bottom of each extent, not the plot.
template <bool Wide>
std::vector<QRect> redrawColumns(TraceCanvas& canvas, const SampleReader<Wide>& reader, int32_t count, int left, int f,
                                 int from, int to, const QImage& grid, std::vector<Footprint>& drawn,
                                 const QRect& covered) {
    std::vector<QRect> written;
    const int firstColumn = std::max(0, from - 1);
    const std::vector<Column> columns = columnsOf(reader, count, left, f, firstColumn, to);
    const size_t skip = size_t(from - firstColumn);
    const int last =
        std::min({firstColumn + int(columns.size()), to, int(drawn.size()), canvas.deviceSize().width() - left});
    const int height = canvas.deviceSize().height();
    const uchar* gridBits = grid.constBits();
    const qsizetype gridLine = grid.bytesPerLine();
    // The rows each column kept, none where it is covered: a line lying in
    // what both its columns kept has its pixels there already. The columns
    // either side of [from, last) keep all they had.
    std::vector<std::pair<int, int>> kept(columns.size() + 1, {INT_MIN, INT_MAX});
    auto keptAt = [&](int c) -> std::pair<int, int>& { return kept[size_t(c - firstColumn)]; };
    {
        RowRuns upper(written), lower(written);
        for (int c = from; c < last; ++c) {
            const size_t i = size_t(c - firstColumn);
            const Footprint was = drawn[size_t(c)];
            const Footprint now = footprintOf(columns[i], i > 0 ? &columns[i - 1] : nullptr);
            drawn[size_t(c)] = now;
            const int x = left + c;
            const int first = std::max(0, std::min(was.first, now.first));
            const int end = std::min(height - 1, std::max(was.last, now.last));
            int keepTop = was.red == now.red ? std::max(was.top, now.top) : INT_MAX;
            int keepEnd = was.red == now.red ? std::min(was.bottom, now.bottom) : INT_MIN;
            const QRgb colour = canvas.rgb(now.red);
            auto write = [&](int y0, int y1) {
                for (int y = y0; y <= y1; ++y) {
                    auto* pixel = reinterpret_cast<QRgb*>(canvas.bits() + qsizetype(y) * canvas.bytesPerLine()) + x;
                    const auto* beneath = reinterpret_cast<const QRgb*>(gridBits + qsizetype(y) * gridLine) + x;
                    *pixel = now.top <= y && y <= now.bottom ? colour : *beneath;
                }
            };
            const bool underCover = !covered.isEmpty() && covered.left() <= x && x <= covered.right();
            // A column's pixels are its extent, the rows of its line going
            // out and the end of the one coming in, which lies in the extent
            // (and is drawn over again in its colour where it differs). The
            // same extent and line going out, then, leave every pixel as it
            // was: none is written, and lines through it find all theirs.
            // (The sound's last column has no extent, only its line: never.)
            if (was == now && now.top <= now.bottom && !underCover) {
                keptAt(c) = {INT_MIN, INT_MAX};
                continue;
            }
            keptAt(c) = underCover ? std::pair<int, int>{INT_MAX, INT_MIN} : std::pair<int, int>{keepTop, keepEnd};
            if (keepTop > keepEnd || keepTop > end || keepEnd < first) {
                write(first, end);
                upper.add(x, first, end);
                continue;
            }
            keepTop = std::max(keepTop, first);
            keepEnd = std::min(keepEnd, end);
            write(first, keepTop - 1);
            upper.add(x, first, keepTop - 1);
            write(keepEnd + 1, end);
            lower.add(x, keepEnd + 1, end);
            // Under the cover the pixels are not the trace's: all go again
            // (the rectangle is sent below, once).
            if (underCover) write(std::max(keepTop, covered.top()), std::min(keepEnd, covered.bottom()));
        }
    }
    const QRect redrawn(left + from, 0, std::max(0, last - from), height);
    if (!covered.intersected(redrawn).isEmpty()) written.push_back(covered.intersected(redrawn));
    std::vector<bool> unseen(columns.size(), false);
    for (size_t i = 0; i < columns.size(); ++i) {
        const QLine& line = columns[i].out;
        const int top = std::min(line.y1(), line.y2()), bottom = std::max(line.y1(), line.y2());
        const auto& here = kept[i];
        const auto& next = line.x2() > line.x1() ? kept[i + 1] : here;
        unseen[i] = here.first <= top && bottom <= here.second && next.first <= top && bottom <= next.second;
    }
    drawLines(canvas, columns, skip, left + firstColumn, &unseen);
    return written;
}

template <bool Wide>
void walk(TraceCanvas& canvas, const RenderedSound& sound, Area area, int32_t count, Walk how) {
    const SampleReader<Wide> reader{sound.samples().data(), area.top, area.height};
    if (how == Walk::Fastest && count >= area.width && canvas.scale() > 0)
        walkPerColumn(canvas, reader, count, area.left, area.width);
    else
        walkPerSample(canvas, reader, count, area.left, area.width);
}

}  // namespace

bool drawJoin(QImage& image, QRgb colour, const QLine& line) {
    if (image.depth() == 32 && writeJoin(image.bits(), image.bytesPerLine(), image.size(), colour, line)) return true;
    QPainter p(&image);
    p.setPen(QPen(QColor::fromRgb(colour), 1));
    p.drawLine(line);
    return false;
}

bool drawsColumns(const QImage& image, Area area, int32_t count) {
    // At other ratios a line's pixels spill into the next column's device
    // pixels, so a column is not the picture's own any more.
    return area.width > 0 && area.height > 0 && count >= area.width && image.devicePixelRatio() == 1.0;
}

std::vector<Footprint> footprints(const RenderedSound& sound, Area area, int32_t count) {
    std::vector<Footprint> prints;
    if (area.width <= 0 || area.height <= 0 || count < area.width) return prints;
    const std::vector<Column> columns =
        sound.bits() == 16 ? columnsOf(SampleReader<true>{sound.samples().data(), area.top, area.height}, count,
                                       area.left, area.width, 0, area.width)
                           : columnsOf(SampleReader<false>{sound.samples().data(), area.top, area.height}, count,
                                       area.left, area.width, 0, area.width);
    prints.reserve(columns.size());
    for (size_t c = 0; c < columns.size(); ++c)
        prints.push_back(footprintOf(columns[c], c > 0 ? &columns[c - 1] : nullptr));
    prints.resize(size_t(area.width));
    return prints;
}

std::vector<QRect> drawColumns(QImage& image, const QImage& grid, std::vector<Footprint>& drawn,
                               const RenderedSound& sound, const DrawingTools& tools, Area area, int32_t count,
                               int from, int to, const QRect& covered) {
    from = std::max(0, from);
    to = std::min(area.width, to);
    if (!drawsColumns(image, area, count) || from >= to || grid.size() != image.size() ||
        grid.format() != image.format() || drawn.size() != size_t(area.width))
        return {};
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);
    TraceCanvas canvas(image, p, tools);
    if (sound.bits() == 16)
        return redrawColumns(canvas, SampleReader<true>{sound.samples().data(), area.top, area.height}, count,
                             area.left, area.width, from, to, grid, drawn, covered);
    return redrawColumns(canvas, SampleReader<false>{sound.samples().data(), area.top, area.height}, count, area.left,
                         area.width, from, to, grid, drawn, covered);
}

void draw(QImage& image, const RenderedSound& sound, const DrawingTools& tools, Area area, int32_t count, Walk how) {
    if (area.width <= 0 || area.height <= 0 || count <= 0) return;
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);
    TraceCanvas canvas(image, p, tools);
    if (sound.bits() == 16)
        walk<true>(canvas, sound, area, count, how);
    else
        walk<false>(canvas, sound, area, count, how);
}

}  // namespace output_trace
