#include "ui/views/EnvelopeGraph.h"

#include "core/Envelope.h"
#include "ui/drawing/BackBuffer.h"
#include "ui/drawing/DrawingTools.h"
#include "ui/drawing/TimeGrid.h"
#include "ui/drawing/ViewImage.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr int kLeftInset = 40;  // holds the value labels
constexpr int kRightInset = 16;
constexpr int kTopInset = 16;
constexpr int kBottomInset = 16;
constexpr double kGrabRadius = 10.0;
constexpr int kCurveTolerance = 5;

// Graph-local position of a point on a plot of plotW x plotH pixels.
int pointX(int plotW, float time) { return static_cast<int>(plotW * static_cast<double>(time)) + kLeftInset; }
int pointY(int plotH, float value) { return static_cast<int>(plotH * (1.0 - static_cast<double>(value))) + kTopInset; }

// A filled disc of 6 x 6 pixels (px-3 .. px+2), corners cut: the marker.
void fillMarker(QPainter& p, int px, int py, const QBrush& brush) {
    p.fillRect(QRect(px - 2, py - 3, 4, 1), brush);
    p.fillRect(QRect(px - 3, py - 2, 6, 4), brush);
    p.fillRect(QRect(px - 2, py + 2, 4, 1), brush);
}

const char* const kFrequencyLabels[] = {"4.8KHz", "1.4KHz", "408Hz", "118Hz", "34Hz", "10Hz"};

}  // namespace

EnvelopeGraph::EnvelopeGraph(const Envelope& envelope, const DrawingTools& tools) : shown_(&envelope), tools_(tools) {}

EnvelopeGraph::~EnvelopeGraph() = default;

void EnvelopeGraph::show(const Envelope& envelope) {
    cancelDrag();
    shown_ = &envelope;
}

void EnvelopeGraph::setRect(int left, int top, int right, int bottom, qreal devicePixelRatio) {
    rect_ = view_image::fromEdges(left, top, right, bottom);
    image_ = view_image::create(rect_.width(), rect_.height(), devicePixelRatio);
    imageStale_ = true;
    grid_ = QImage();
    drawn_.reset();
}

void EnvelopeGraph::draw(int32_t lengthSamples, int32_t sampleRate) {
    lastLengthSamples_ = lengthSamples;
    lastSampleRate_ = sampleRate;
    imageStale_ = true;
}

void EnvelopeGraph::redraw() { draw(lastLengthSamples_, lastSampleRate_); }

const QImage& EnvelopeGraph::image() const {
    if (!imageStale_ || image_.isNull()) return image_;
    imageStale_ = false;
    const QImage& grid = gridFor(image_);
    // The same pixels as paint(): the grid first, then the curve over it.
    std::memcpy(image_.bits(), grid.constBits(), size_t(image_.sizeInBytes()));
    paintCurve(image_, envelope(), dragPoint_, curveDrag_, tools_);
    return image_;
}

const QImage& EnvelopeGraph::gridFor(const QImage& target) const {
    if (grid_.isNull() || grid_.size() != target.size() || grid_.devicePixelRatio() != target.devicePixelRatio() ||
        gridLengthSamples_ != lastLengthSamples_ || gridSampleRate_ != lastSampleRate_) {
        grid_ = QImage(target.size(), QImage::Format_RGB32);
        grid_.setDevicePixelRatio(target.devicePixelRatio());
        paintGrid(grid_, envelope().kind(), lastLengthSamples_, lastSampleRate_, tools_);
        gridLengthSamples_ = lastLengthSamples_;
        gridSampleRate_ = lastSampleRate_;
    }
    return grid_;
}

void EnvelopeGraph::drawInto(BackBuffer& buffer) {
    QImage target = buffer.window(rect_);
    drawn_.reset();
    if (target.isNull()) return;
    view_image::copyPixels(target, gridFor(target), QRect(QPoint(0, 0), rect_.size()));
    std::vector<CurveItem> items = curveItems(rect_.size(), envelope(), dragPoint_, curveDrag_);
    paintItems(target, items, tools_);
    drawn_ = std::move(items);
    drawnLengthSamples_ = lastLengthSamples_;
    drawnSampleRate_ = lastSampleRate_;
}

QRect EnvelopeGraph::updateInto(BackBuffer& buffer) {
    if (!drawn_ || drawnLengthSamples_ != lastLengthSamples_ || drawnSampleRate_ != lastSampleRate_) {
        drawInto(buffer);
        return drawn_ ? rect_ : QRect();
    }
    QImage target = buffer.window(rect_);
    if (target.isNull()) {
        drawn_.reset();
        return QRect();
    }
    std::vector<CurveItem> items = curveItems(rect_.size(), envelope(), dragPoint_, curveDrag_);
    // Every item that is new, gone or changed marks its place; the rest
    // draws the same pixels again.
    QRect changed;
    const std::vector<CurveItem>& old = *drawn_;
    const bool sameCount = old.size() == items.size();
    for (size_t i = 0; i < std::max(old.size(), items.size()); ++i) {
        if (sameCount && old[i] == items[i]) continue;
        if (i < old.size()) changed |= old[i].box();
        if (i < items.size()) changed |= items[i].box();
    }
    changed &= QRect(QPoint(0, 0), rect_.size());
    if (changed.isEmpty()) return QRect();
    view_image::copyPixels(target, gridFor(target), changed);
    paintItems(target, items, tools_);
    drawn_ = std::move(items);
    return changed.translated(rect_.topLeft());
}

void EnvelopeGraph::paint(QImage& image, const Envelope& envelope, int dragPoint, bool curveDrag, int32_t lengthSamples,
                          int32_t sampleRate, const DrawingTools& tools) {
    paintGrid(image, envelope.kind(), lengthSamples, sampleRate, tools);
    paintCurve(image, envelope, dragPoint, curveDrag, tools);
}

void EnvelopeGraph::paintGrid(QImage& image, EnvelopeKind kind, int32_t lengthSamples, int32_t sampleRate,
                              const DrawingTools& tools) {
    const QSize size = view_image::logicalSize(image);
    const int width = size.width();
    const int height = size.height();
    const int plotW = width - kLeftInset - kRightInset;
    const int plotH = height - kTopInset - kBottomInset;
    image.fill(Qt::black);
    if (plotW <= 0 || plotH <= 0) return;

    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);

    // Time lines every l ms, chosen from the pixels per millisecond.
    p.setPen(tools.dottedPen);
    if (lengthSamples > 0 && sampleRate > 0) {
        const float g = static_cast<float>(plotW / (lengthSamples * 1000.0 / sampleRate));
        const int64_t step = static_cast<int64_t>(time_grid::stepMs(g)) * sampleRate / 1000;
        for (int64_t m = 0; step > 0 && m < lengthSamples; m += step) {
            const int x = static_cast<int>(plotW * m / lengthSamples) + kLeftInset;
            p.drawLine(x, kTopInset, x, height - kBottomInset - 1);
        }
    }

    // Value lines, every other one labelled.
    p.setFont(tools.smallFont);
    const bool amplitude = kind == EnvelopeKind::Amplitude;
    const int labelRight = amplitude ? 37 : 38;
    for (int i = 0; i <= 10; ++i) {
        const int y = i * plotH / 10 + kTopInset;
        p.setPen(tools.dottedPen);
        p.drawLine(kLeftInset, y, width - kRightInset - 1, y);
        if (i % 2 != 0) continue;
        const QString label =
            amplitude ? QStringLiteral("%1%").arg(100 - 10 * i) : QString::fromLatin1(kFrequencyLabels[i / 2]);
        p.setPen(QColor(128, 128, 128));
        // The label margin is narrow: a wide label is narrowed rather than cut at the edge.
        view_image::fittedText(p, labelRight, y - 7, label, view_image::Anchor::Right, labelRight - 1);
    }
}

void EnvelopeGraph::paintCurve(QImage& image, const Envelope& envelope, int dragPoint, bool curveDrag,
                               const DrawingTools& tools) {
    paintItems(image, curveItems(view_image::logicalSize(image), envelope, dragPoint, curveDrag), tools);
}

QRect EnvelopeGraph::CurveItem::box() const {
    if (marker) return QRect(x0 - 4, y0 - 4, 8, 8);
    // Aliased one-pixel lines stay within their ends; two pixels spare.
    return QRect(QPoint(std::min(x0, x1), std::min(y0, y1)), QPoint(std::max(x0, x1), std::max(y0, y1)))
        .adjusted(-2, -2, 2, 2);
}

std::vector<EnvelopeGraph::CurveItem> EnvelopeGraph::curveItems(QSize size, const Envelope& envelope, int dragPoint,
                                                                bool curveDrag) {
    std::vector<CurveItem> items;
    const int plotW = size.width() - kLeftInset - kRightInset;
    const int plotH = size.height() - kTopInset - kBottomInset;
    if (plotW <= 0 || plotH <= 0) return items;
    const int n = envelope.pointCount();
    // The lines first, then the markers over them.
    for (int i = 0; i + 1 < n; ++i)
        items.push_back({false, curveDrag, pointX(plotW, envelope.time(i)), pointY(plotH, envelope.value(i)),
                         pointX(plotW, envelope.time(i + 1)), pointY(plotH, envelope.value(i + 1))});
    for (int i = 0; i < n; ++i)
        items.push_back({true, i == dragPoint || curveDrag, pointX(plotW, envelope.time(i)),
                         pointY(plotH, envelope.value(i)), 0, 0});
    return items;
}

void EnvelopeGraph::paintItems(QImage& image, const std::vector<CurveItem>& items, const DrawingTools& tools) {
    if (items.empty()) return;
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);
    std::optional<bool> penRed;
    for (const CurveItem& item : items) {
        if (item.marker) {
            fillMarker(p, item.x0, item.y0, item.red ? tools.redBrush : tools.whiteBrush);
            continue;
        }
        if (penRed != item.red) {
            p.setPen(item.red ? tools.redPen : tools.whitePen);
            penRed = item.red;
        }
        p.drawLine(item.x0, item.y0, item.x1, item.y1);
    }
}

int EnvelopeGraph::findPointNear(int x, int y) const {
    const Envelope& curve = envelope();
    if (!rect_.contains(x, y) || curve.pointCount() <= 0) return -1;
    int result = -1;
    double best = 9999.0;
    for (int i = 0; i < curve.pointCount(); ++i) {
        const int dx = x - rect_.left() - pointX(plotW(), curve.time(i));
        const int dy = y - rect_.top() - pointY(plotH(), curve.value(i));
        const double d = std::sqrt(static_cast<double>(dx) * dx + static_cast<double>(dy) * dy);
        if (d < kGrabRadius && d < best) {
            result = i;
            best = d;
        }
    }
    return result;
}

bool EnvelopeGraph::hitCurve(int x, int y) const {
    const Envelope& curve = envelope();
    const int n = curve.pointCount();
    if (!rect_.contains(x, y) || n - 1 <= 0 || plotW() <= 0) return false;
    const float t = static_cast<float>(static_cast<double>(x - rect_.left() - kLeftInset) / plotW());

    int segment = -1;
    for (int i = 0; i + 1 < n; ++i)
        if (curve.time(i) <= t && t <= curve.time(i + 1)) segment = i;
    if (segment < 0) return false;

    const double t0 = curve.time(segment);
    const double t1 = curve.time(segment + 1);
    if (t1 <= t0) return false;  // a step's vertical line: no value of its own
    const double v0 = curve.value(segment);
    const double v = v0 + (curve.value(segment + 1) - v0) * (t - t0) / (t1 - t0);
    const int cv = static_cast<int>((1.0 - v) * plotH());
    const int cy = y - rect_.top() - kTopInset;
    return cv - kCurveTolerance < cy && cy < cv + kCurveTolerance;
}

bool EnvelopeGraph::insertPointAt(Envelope& curve, int x, int y) const {
    const int cx = x - rect_.left() - kLeftInset;
    const int cy = y - rect_.top() - kTopInset;
    if (cx < 0 || cx >= plotW() || cy < 0 || cy >= plotH()) return false;
    const float t = static_cast<float>(static_cast<double>(cx) / plotW());
    const float v = static_cast<float>(1.0 - static_cast<double>(cy) / plotH());
    return curve.insertPoint(t, v);
}

void EnvelopeGraph::setDragPoint(int index) {
    dragPoint_ = (index >= 0 && index < envelope().pointCount()) ? index : -1;
    pointMoved_ = false;
    if (dragPoint_ >= 0 && !working_) working_ = *shown_;
}

void EnvelopeGraph::dragPointTo(int x, int y) {
    // The points may have been replaced under the drag; never move a stale index.
    if (dragPoint_ < 0 || !working_ || dragPoint_ >= working_->pointCount() || plotW() <= 0 || plotH() <= 0) return;
    pointMoved_ = true;
    const float t = static_cast<float>(static_cast<double>(x - rect_.left() - kLeftInset) / plotW());
    const float v = static_cast<float>(1.0 - static_cast<double>(y - rect_.top() - kTopInset) / plotH());
    working_->movePoint(dragPoint_, t, v);
}

void EnvelopeGraph::setCurveDrag(bool on, int y) {
    curveDrag_ = on;
    lastDragY_ = y;
    curveMoved_ = false;
    if (on && !working_) working_ = *shown_;
}

void EnvelopeGraph::dragCurveTo(int y) {
    if (!curveDrag_ || !working_ || plotH() <= 0) return;
    curveMoved_ = true;
    working_->shiftValues(static_cast<float>(static_cast<double>(lastDragY_ - y) / plotH()));
    // What the limit swallowed is dropped, so moving back acts at once.
    lastDragY_ = y;
}

void EnvelopeGraph::cancelDrag() {
    dragPoint_ = -1;
    pointMoved_ = false;
    curveDrag_ = false;
    curveMoved_ = false;
    working_.reset();
}

bool EnvelopeGraph::press(int x, int y) {
    const int i = findPointNear(x, y);
    if (i >= 0)
        setDragPoint(i);
    else if (hitCurve(x, y))
        setCurveDrag(true, y);
    else
        return false;
    redraw();
    return true;
}

bool EnvelopeGraph::move(int x, int y) {
    if (dragPoint_ >= 0)
        dragPointTo(x, y);
    else if (curveDrag_)
        dragCurveTo(y);
    else
        return false;
    redraw();
    return true;
}

EnvelopeGraph::Release EnvelopeGraph::release(int y) {
    Release r;
    if (dragPoint_ >= 0) {
        r.wasDragging = r.wasPoint = true;
        r.modified = pointMoved_;
        setDragPoint(-1);
    } else if (curveDrag_) {
        r.wasDragging = true;
        r.modified = curveMoved_;
        setCurveDrag(false, y);
    } else {
        return r;
    }
    redraw();  // the edited curve, until the document shows it
    r.curve = std::move(working_);
    working_.reset();
    return r;
}

EnvelopeGraph::RightClick EnvelopeGraph::edited(Envelope curve, bool changed) {
    working_ = std::move(curve);
    redraw();
    RightClick r{true, changed, std::move(working_)};
    working_.reset();
    return r;
}

EnvelopeGraph::RightClick EnvelopeGraph::rightClickDelete(int x, int y) {
    if (isDragging()) return {};
    const int i = findPointNear(x, y);
    if (i < 0) return {};
    Envelope curve = envelope();
    curve.deletePoint(i);
    const bool changed = curve.pointCount() != envelope().pointCount();
    return edited(std::move(curve), changed);
}

EnvelopeGraph::RightClick EnvelopeGraph::rightClickInsert(int x, int y) {
    if (isDragging()) return {};
    Envelope curve = envelope();
    if (!insertPointAt(curve, x, y)) return {};
    return edited(std::move(curve), true);
}
