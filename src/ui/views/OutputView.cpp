#include "ui/views/OutputView.h"

#include "core/RenderedSound.h"
#include "ui/drawing/BackBuffer.h"
#include "ui/drawing/DrawingTools.h"
#include "ui/drawing/RegionCover.h"
#include "ui/drawing/TimeGrid.h"
#include "ui/drawing/ViewImage.h"
#include "ui/views/OutputTrace.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cstring>

namespace {

constexpr int kLeft = OutputView::kPlotLeft;
constexpr int kRight = OutputView::kPlotRight;
constexpr int kTop = OutputView::kPlotTop;
constexpr int kBottom = OutputView::kPlotBottom;
constexpr int kLevelLabelRight = 34;  // the level labels end here
constexpr int kTimeLabelTop = 18;     // time labels hang from h - 18

const char* const kLevelLabels[] = {"+1.0", "+0.5", "0", "-0.5", "-1.0"};

}  // namespace

OutputView::OutputView(const RenderedSound& sound, const DrawingTools& tools) : sound_(sound), tools_(tools) {}

void OutputView::setRect(int left, int top, int right, int bottom, qreal devicePixelRatio) {
    rect_ = view_image::fromEdges(left, top, right, bottom);
    image_ = view_image::create(rect_.width(), rect_.height(), devicePixelRatio);
    grid_ = QImage();
    drawn_ = false;
}

bool OutputView::contains(int x, int y) const { return rect_.contains(x, y); }

OutputView::GridKey OutputView::keyNow() const {
    return {std::min(sound_.lengthSamples(), sound_.sampleCount()), sound_.sampleRate(), sound_.lengthMs()};
}

const QImage& OutputView::gridFor(const QImage& target) {
    const GridKey key = keyNow();
    if (grid_.isNull() || grid_.size() != target.size() || grid_.devicePixelRatio() != target.devicePixelRatio() ||
        !(key == gridKey_)) {
        grid_ = QImage(target.size(), QImage::Format_RGB32);
        grid_.setDevicePixelRatio(target.devicePixelRatio());
        paintGrid(grid_, sound_, tools_);
        gridKey_ = key;
    }
    return grid_;
}

void OutputView::draw() {
    if (image_.isNull()) return;
    // The same pixels as paint(): the grid first, then the trace over it.
    const QImage& grid = gridFor(image_);
    std::memcpy(image_.bits(), grid.constBits(), size_t(image_.sizeInBytes()));
    paintTrace(image_, sound_, tools_);
}

void OutputView::drawInto(BackBuffer& buffer) {
    QImage target = buffer.window(rect_);
    drawn_ = !target.isNull();
    if (!drawn_) return;
    view_image::copyPixels(target, gridFor(target), QRect(QPoint(0, 0), rect_.size()));
    paintTrace(target, sound_, tools_);
    drawnKey_ = keyNow();
    const int f = rect_.width() - kLeft - kRight;
    footprints_ = output_trace::footprints(sound_, {kLeft, kTop, f, rect_.height() - kTop - kBottom}, drawnKey_.count);
}

QRegion OutputView::updateInto(BackBuffer& buffer, int32_t first, int32_t end, const QRect& covered) {
    const int f = rect_.width() - kLeft - kRight;
    const int d = rect_.height() - kTop - kBottom;
    const int32_t count = keyNow().count;
    const output_trace::Area area{kLeft, kTop, f, d};
    QImage whole = buffer.window(rect_);
    if (!drawn_ || !(keyNow() == drawnKey_) || whole.isNull() || !output_trace::drawsColumns(whole, area, count) ||
        footprints_.size() != size_t(f)) {
        drawInto(buffer);
        return drawn_ ? QRegion(rect_) : QRegion();
    }
    first = std::max(first, 0);
    end = std::min(end, count);
    if (first >= end) return QRegion();
    // A column's pixels come from its samples, the first of the next one and
    // the colour of the one before: one column more on either side.
    const int from = std::max(0, static_cast<int>(int64_t(first) * f / count) - 1);
    const int to = std::min(f, static_cast<int>(int64_t(end - 1) * f / count) + 2);
    // From the column before, whose line comes in; the image's right edge
    // cuts the line going out of the last one.
    const QRect reach(rect_.left() + kLeft + from - 1, rect_.top(), to - from + 1, rect_.height());
    QImage part = buffer.window(reach);
    if (part.isNull()) {
        drawInto(buffer);
        return QRegion(rect_);
    }
    // The grid at the same place as `part`, read only.
    const QImage& grid = gridFor(whole);
    const QImage gridPart(grid.constBits() + qsizetype(kLeft + from - 1) * 4, part.width(), part.height(),
                          grid.bytesPerLine(), grid.format());
    const std::vector<QRect> rects =
        output_trace::drawColumns(part, gridPart, footprints_, sound_, tools_, {1 - from, kTop, f, d}, count, from, to,
                                  covered.translated(-reach.topLeft()));
    // Hundreds of pieces when every column changed: joined into few first,
    // as each join into a region costs the rectangles it holds.
    return region_cover::regionOf(rects).translated(reach.topLeft());
}

QString OutputView::tickLabel(int m, int stepMs) {
    if (stepMs < 500) return QStringLiteral("%1ms").arg(m);
    if (stepMs == 500) return QString::fromLatin1(m % 1000 == 500 ? "%1.5s" : "%1.0s").arg(m / 1000);
    return QStringLiteral("%1s").arg(m / 1000);
}

std::vector<OutputView::TimeTick> OutputView::timeTicks(QSize size, int32_t count, int32_t rate, float lengthMs,
                                                        const QFontMetrics& metrics) {
    std::vector<TimeTick> ticks;
    const int w = size.width();
    const int f = w - kLeft - kRight;
    if (f <= 0 || size.height() - kTop - kBottom <= 0 || count <= 0 || rate <= 0 || !(lengthMs > 0)) return ticks;
    const int t = time_grid::stepMs(static_cast<float>(f / static_cast<double>(lengthMs)));
    const int64_t s = static_cast<int64_t>(rate) * t / 1000;
    for (int64_t k = 0; s > 0 && k * s < count; ++k)
        ticks.push_back({kLeft + static_cast<int>(k * s * f / count), tickLabel(static_cast<int>(k * t), t), QRect()});
    if (ticks.empty()) return ticks;

    // Centred under its tick, but clear of "-1.0" beside the first one and
    // whole at the right end.
    const int gap = metrics.horizontalAdvance(QLatin1Char('0'));
    const int minLeft = kLevelLabelRight + gap;
    const int maxRight = w - 2;
    std::vector<QRect> boxes;
    for (const TimeTick& tick : ticks) {
        const int width = metrics.horizontalAdvance(tick.label);
        const int left = std::max(minLeft, std::min(tick.x - width / 2, maxRight + 1 - width));
        boxes.emplace_back(left, size.height() - kTimeLabelTop, width, metrics.height());
    }
    auto fits = [&](const QRect& box) { return box.left() >= minLeft && box.right() <= maxRight; };
    auto apart = [&](const QRect& a, const QRect& b) { return a.right() + gap < b.left(); };

    // Every k-th tick is labelled, with the smallest k whose labels all fit
    // and keep clear of each other: one step along the whole axis reads
    // better than labels that thin out where they crowd.
    for (size_t k = 1; k <= ticks.size(); ++k) {
        bool readable = true;
        for (size_t i = 0; i < ticks.size() && readable; i += k)
            readable = fits(boxes[i]) && (i == 0 || apart(boxes[i - k], boxes[i]));
        if (!readable) continue;
        for (size_t i = 0; i < ticks.size(); i += k) ticks[i].box = boxes[i];
        break;
    }
    return ticks;
}

void OutputView::paint(QImage& image, const RenderedSound& sound, const DrawingTools& tools) {
    paintGrid(image, sound, tools);
    paintTrace(image, sound, tools);
}

void OutputView::paintGrid(QImage& image, const RenderedSound& sound, const DrawingTools& tools) {
    const QSize size = view_image::logicalSize(image);
    const int w = size.width();
    const int h = size.height();
    const int f = w - kLeft - kRight;
    const int d = h - kTop - kBottom;
    image.fill(Qt::black);
    if (f <= 0 || d <= 0) return;

    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setFont(tools.smallFont);
    const QColor labelColour(128, 128, 128);

    // Only the main part; a broken setting must not make us read past the buffer.
    const int32_t count = std::min(sound.lengthSamples(), sound.sampleCount());
    for (const TimeTick& tick : timeTicks(size, count, sound.sampleRate(), sound.lengthMs(), p.fontMetrics())) {
        p.setPen(tools.dottedPen);
        p.drawLine(tick.x, kTop, tick.x, h - kBottom - 1);
        if (tick.box.isNull()) continue;
        p.setPen(labelColour);
        view_image::text(p, tick.box.left(), tick.box.top(), tick.label, view_image::Anchor::Left);
    }

    for (int i = 0; i <= 8; ++i) {
        const int y = kTop + (i * d) / 8;
        p.setPen(tools.dottedPen);
        p.drawLine(kLeft, y, w - kRight - 1, y);
        if (i % 2 != 0) continue;
        p.setPen(labelColour);
        view_image::text(p, 34, y - 7, QString::fromLatin1(kLevelLabels[i / 2]), view_image::Anchor::Right);
    }
}

void OutputView::paintTrace(QImage& image, const RenderedSound& sound, const DrawingTools& tools) {
    const QSize size = view_image::logicalSize(image);
    const int f = size.width() - kLeft - kRight;
    const int d = size.height() - kTop - kBottom;
    const int32_t count = std::min(sound.lengthSamples(), sound.sampleCount());
    if (f <= 0 || d <= 0 || count <= 0) return;
    output_trace::draw(image, sound, tools, {kLeft, kTop, f, d}, count);
}
