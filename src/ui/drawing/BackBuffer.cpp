#include "ui/drawing/BackBuffer.h"

#include <QPainter>

#include <cmath>

void BackBuffer::recreate(QSize logicalSize, qreal devicePixelRatio) {
    size_ = logicalSize;
    dpr_ = devicePixelRatio > 0 ? devicePixelRatio : 1.0;
    dirty_ = QRegion();
    if (logicalSize.isEmpty()) {
        image_ = QImage();
        return;
    }
    const QSize device(static_cast<int>(std::ceil(logicalSize.width() * dpr_)),
                       static_cast<int>(std::ceil(logicalSize.height() * dpr_)));
    image_ = QImage(device, QImage::Format_RGB32);
    if (image_.isNull()) return;  // out of memory: nothing is drawn until the next size
    image_.setDevicePixelRatio(dpr_);
    image_.fill(kBackground);
    dirty_ = QRegion(QRect(QPoint(0, 0), logicalSize));
}

void BackBuffer::invalidate(const QRect& rect) {
    const QRect clipped = rect.intersected(QRect(QPoint(0, 0), size_));
    if (!clipped.isEmpty()) dirty_ += clipped;
}

QRegion BackBuffer::takeDirty() {
    QRegion taken;
    taken.swap(dirty_);
    return taken;
}

void BackBuffer::copyTo(QPainter& painter, const QRect& rect) const {
    if (image_.isNull() || rect.isEmpty()) return;
    const QRectF source(rect.x() * dpr_, rect.y() * dpr_, rect.width() * dpr_, rect.height() * dpr_);
    painter.drawImage(QRectF(rect), image_, source);
}
