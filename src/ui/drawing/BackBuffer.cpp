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

void BackBuffer::invalidate(const QRegion& region) { dirty_ += region.intersected(QRect(QPoint(0, 0), size_)); }

QRegion BackBuffer::takeDirty() {
    QRegion taken;
    taken.swap(dirty_);
    return taken;
}

void BackBuffer::copyTo(QPainter& painter, const QRect& rect) const {
    if (image_.isNull() || rect.isEmpty()) return;
    // One pixel for one: the painter's plain copy, not a scaled drawing.
    if (dpr_ == 1.0) {
        painter.drawImage(rect.topLeft(), image_, rect);
        return;
    }
    const QRectF source(rect.x() * dpr_, rect.y() * dpr_, rect.width() * dpr_, rect.height() * dpr_);
    painter.drawImage(QRectF(rect), image_, source);
}

QImage BackBuffer::window(const QRect& rect) {
    if (image_.isNull() || rect.isEmpty()) return QImage();
    const QRect device(qRound(rect.x() * dpr_), qRound(rect.y() * dpr_), qRound(rect.width() * dpr_),
                       qRound(rect.height() * dpr_));
    if (!QRect(QPoint(0, 0), image_.size()).contains(device)) return QImage();
    // bits() first: it detaches the picture from any copy, so that the window
    // shares the pixels that stay here.
    uchar* origin = image_.bits() + qsizetype(device.y()) * image_.bytesPerLine() + qsizetype(device.x()) * 4;
    QImage window(origin, device.width(), device.height(), image_.bytesPerLine(), image_.format());
    window.setDevicePixelRatio(dpr_);
    return window;
}
