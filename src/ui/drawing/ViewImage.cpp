#include "ui/drawing/ViewImage.h"

#include <QFontMetrics>
#include <QPainter>

#include <cmath>
#include <cstring>

namespace view_image {

QImage create(int width, int height, qreal devicePixelRatio) {
    if (width <= 0 || height <= 0) return QImage();
    const qreal dpr = devicePixelRatio > 0 ? devicePixelRatio : 1.0;
    QImage image(qRound(width * dpr), qRound(height * dpr), QImage::Format_RGB32);
    if (image.isNull()) return image;
    image.setDevicePixelRatio(dpr);
    image.fill(Qt::black);
    return image;
}

QSize logicalSize(const QImage& image) {
    const qreal dpr = image.devicePixelRatio();
    return QSize(qRound(image.width() / dpr), qRound(image.height() / dpr));
}

QRect fromEdges(int left, int top, int right, int bottom) { return QRect(left, top, right - left, bottom - top); }

void copyTo(QImage& backBuffer, const QRect& rect, const QImage& image) {
    if (backBuffer.isNull() || image.isNull()) return;
    QPainter p(&backBuffer);
    p.drawImage(rect.topLeft(), image);
}

void copyPixels(QImage& target, const QImage& source, const QRect& rect) {
    if (target.isNull() || source.size() != target.size() || rect.isEmpty()) return;
    const qreal dpr = target.devicePixelRatio();
    // Whole device pixels covering the rectangle.
    const QRect device =
        QRect(QPoint(int(std::floor(rect.left() * dpr)), int(std::floor(rect.top() * dpr))),
              QPoint(int(std::ceil((rect.right() + 1) * dpr)) - 1, int(std::ceil((rect.bottom() + 1) * dpr)) - 1))
            .intersected(QRect(QPoint(0, 0), target.size()));
    if (device.isEmpty()) return;
    const size_t bytes = size_t(device.width()) * 4;
    uchar* to = target.bits();
    const uchar* from = source.constBits();
    for (int y = device.top(); y <= device.bottom(); ++y)
        std::memcpy(to + qsizetype(y) * target.bytesPerLine() + device.left() * 4,
                    from + qsizetype(y) * source.bytesPerLine() + device.left() * 4, bytes);
}

void text(QPainter& painter, int x, int y, const QString& line, Anchor anchor) {
    // A box wide enough for any label, anchored at x; the text hangs from y.
    constexpr int kWide = 4000;
    QRect box;
    Qt::Alignment align = Qt::AlignTop;
    switch (anchor) {
    case Anchor::Left:
        box = QRect(x, y, kWide, kWide);
        align |= Qt::AlignLeft;
        break;
    case Anchor::Centre:
        box = QRect(x - kWide, y, 2 * kWide, kWide);
        align |= Qt::AlignHCenter;
        break;
    case Anchor::Right:
        box = QRect(x - kWide, y, kWide, kWide);
        align |= Qt::AlignRight;
        break;
    }
    painter.drawText(box, static_cast<int>(align) | Qt::TextSingleLine, line);
}

void fittedText(QPainter& painter, int x, int y, const QString& line, Anchor anchor, int maxWidth) {
    const int width = QFontMetrics(painter.font()).horizontalAdvance(line);
    if (width <= maxWidth || width <= 0 || maxWidth <= 0) {
        text(painter, x, y, line, anchor);
        return;
    }
    const QFont original = painter.font();
    QFont narrow = original;
    narrow.setStretch(qMax(1, 100 * maxWidth / width));
    painter.setFont(narrow);
    text(painter, x, y, line, anchor);
    painter.setFont(original);
}

}  // namespace view_image
