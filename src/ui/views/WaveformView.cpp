#include "ui/views/WaveformView.h"

#include "core/WaveformTable.h"
#include "ui/drawing/BackBuffer.h"
#include "ui/drawing/DrawingTools.h"
#include "ui/drawing/ViewImage.h"

#include <QPainter>

namespace {
constexpr int kLeft = 40;
constexpr int kRight = 16;
constexpr int kTop = 12;
constexpr int kBottom = 20;
const char* const kLevelLabels[] = {"+1.0", "+0.5", "0", "-0.5", "-1.0"};
}  // namespace

WaveformView::WaveformView(const WaveformTable& table, const DrawingTools& tools) : table_(table), tools_(tools) {}

void WaveformView::setRect(int left, int top, int right, int bottom, qreal devicePixelRatio) {
    rect_ = view_image::fromEdges(left, top, right, bottom);
    image_ = view_image::create(rect_.width(), rect_.height(), devicePixelRatio);
}

void WaveformView::draw() {
    if (!image_.isNull()) paint(image_, table_, tools_);
}

void WaveformView::drawInto(BackBuffer& buffer) const {
    QImage target = buffer.window(rect_);
    if (!target.isNull()) paint(target, table_, tools_);
}

void WaveformView::paint(QImage& image, const WaveformTable& table, const DrawingTools& tools) {
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

    for (int a = 0; a <= 360; a += 45) {
        const int x = kLeft + (a * f) / 360;
        p.setPen(tools.dottedPen);
        p.drawLine(x, kTop, x, h - kBottom - 1);
        p.setPen(labelColour);
        view_image::text(p, x, h - 17, QString::number(a), view_image::Anchor::Centre);
    }
    for (int i = 0; i <= 4; ++i) {
        const int y = kTop + (i * d) / 4;
        p.setPen(tools.dottedPen);
        p.drawLine(kLeft, y, w - kRight - 1, y);
        p.setPen(labelColour);
        view_image::text(p, 34, y - 7, QString::fromLatin1(kLevelLabels[i]), view_image::Anchor::Right);
    }

    p.setPen(tools.greenPen);
    auto point = [&](int i) {
        return QPoint(kLeft + (i * f) / WaveformTable::kSize,
                      kTop + static_cast<int>((1.0 - static_cast<double>(table[i])) * d * 0.5));
    };
    for (int i = 0; i + 1 < WaveformTable::kSize; ++i) p.drawLine(point(i), point(i + 1));
}
