#pragma once

#include "ui/views/OutputTrace.h"

#include <QImage>
#include <QRect>
#include <QRegion>
#include <QSize>
#include <QString>

#include <cstdint>
#include <utility>
#include <vector>

class BackBuffer;
class DrawingTools;
class QFontMetrics;
class RenderedSound;

// The plot of the rendered main part (the echo tail is not shown), with a
// time axis; columns holding a clipped sample are drawn red. It is also the
// play button: the dispatch plays on a click inside rect().
class OutputView {
public:
    // One time tick and, where it fits, its label.
    struct TimeTick {
        int x;
        QString label;
        QRect box;  // where the label is drawn; null when the tick has none
    };

    // The data area inside the view: from x = kPlotLeft to width - kPlotRight
    // and from y = kPlotTop to height - kPlotBottom.
    static constexpr int kPlotLeft = 40;
    static constexpr int kPlotRight = 16;
    static constexpr int kPlotTop = 12;
    static constexpr int kPlotBottom = 20;

    OutputView(const RenderedSound& sound, const DrawingTools& tools);

    void setRect(int left, int top, int right, int bottom, qreal devicePixelRatio = 1.0);
    // The same with a QRect (x, y, width, height).
    void setRect(const QRect& r, qreal devicePixelRatio = 1.0) {
        setRect(r.x(), r.y(), r.x() + r.width(), r.y() + r.height(), devicePixelRatio);
    }
    QRect rect() const { return rect_; }
    // left <= x < right and top <= y < bottom: plays, shows the play cursor.
    bool contains(int x, int y) const;

    // Composes the plot into its own picture, image().
    void draw();
    const QImage& image() const { return image_; }

    // Draws the whole plot straight into the back buffer at rect().
    void drawInto(BackBuffer& buffer);
    // The sound changed only in samples [first, end) since the plot was last
    // drawn into the buffer, with the same sizes: draws again only the
    // columns those samples reach, the same pixels a whole drawing gives.
    // Returns the client pixels it wrote; the whole plot when it could not
    // draw a part. `covered` is the client rectangle something else draws
    // over the plot (the hint): its pixels are never taken for the trace's.
    QRegion updateInto(BackBuffer& buffer, int32_t first, int32_t end, const QRect& covered = QRect());

    // The picture of the plot at the image's size.
    static void paint(QImage& image, const RenderedSound& sound, const DrawingTools& tools);

    // The picture without the trace: background, grid and labels.
    static void paintGrid(QImage& image, const RenderedSound& sound, const DrawingTools& tools);
    // Only the trace of the main part, over whatever the image holds.
    static void paintTrace(QImage& image, const RenderedSound& sound, const DrawingTools& tools);

    // The label of the tick at m milliseconds for step t.
    static QString tickLabel(int m, int stepMs);
    // Every time tick of a plot of `size` over `count` samples, with labels
    // on every k-th tick from the first: the smallest k whose labels each keep
    // the width of a digit from the next one and from the level labels, with
    // none cut off at the right end.
    static std::vector<TimeTick> timeTicks(QSize size, int32_t count, int32_t rate, float lengthMs,
                                           const QFontMetrics& metrics);

private:
    struct GridKey {
        int32_t count = -1, rate = 0;
        float lengthMs = 0;
        bool operator==(const GridKey& o) const { return count == o.count && rate == o.rate && lengthMs == o.lengthMs; }
    };
    GridKey keyNow() const;
    // The grid for `target`'s size and the sound's timing, made when missing.
    const QImage& gridFor(const QImage& target);

    const RenderedSound& sound_;
    const DrawingTools& tools_;
    QRect rect_;
    QImage image_;
    // The grid and labels, kept while the size and the timing stay: a drag
    // redraws only the trace over a copy of them.
    QImage grid_;
    GridKey gridKey_;
    // The timing of what the back buffer holds at rect(); none until drawInto().
    bool drawn_ = false;
    GridKey drawnKey_;
    // What the trace the buffer holds at rect() drew in each column: only
    // pixels it or the next trace reach are written when columns are drawn again.
    std::vector<output_trace::Footprint> footprints_;
};
