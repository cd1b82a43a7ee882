#pragma once

#include <QImage>
#include <QRegion>
#include <QSize>

class QPainter;

// The off-screen picture of the whole client area. Views draw into it and
// invalidate their rectangle; painting copies only invalidated parts to the
// screen. It is sized in logical pixels and carries the screen's
// device-pixel ratio so that a HiDPI screen gets a sharp picture.
class BackBuffer {
public:
    static constexpr QRgb kBackground = qRgb(192, 192, 192);  // light grey behind everything

    // Replaces the picture with a fresh one filled with the background. An
    // empty size leaves no picture at all (a minimised window).
    void recreate(QSize logicalSize, qreal devicePixelRatio);

    bool isNull() const { return image_.isNull(); }
    QImage& image() { return image_; }
    const QImage& image() const { return image_; }
    QSize logicalSize() const { return size_; }
    qreal devicePixelRatio() const { return dpr_; }

    // Remembers that this part of the picture must reach the screen.
    void invalidate(const QRect& rect);
    void invalidate(const QRegion& region);
    const QRegion& dirty() const { return dirty_; }
    QRegion takeDirty();
    // This part reached the screen by other means (a paint the system asked for).
    void markPainted(const QRegion& region) { dirty_ -= region; }

    // Copies a logical rectangle of the picture to the same place.
    void copyTo(QPainter& painter, const QRect& rect) const;

    // The part of the picture under a logical rectangle, as an image that
    // shares the picture's pixels: what is painted into it is painted here,
    // with no copy. It is valid until the picture is recreated; make a new
    // one for each drawing rather than keeping it (a copy of the picture
    // taken meanwhile would take the pixels with it). Null when the
    // rectangle is empty or not wholly inside the picture.
    QImage window(const QRect& rect);

private:
    QImage image_;
    QSize size_;
    qreal dpr_ = 1.0;
    QRegion dirty_;
};
