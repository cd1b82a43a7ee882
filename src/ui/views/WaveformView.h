#pragma once

#include <QImage>
#include <QRect>

class BackBuffer;
class DrawingTools;
class WaveformTable;

// The plot of one cycle of the selected waveform against degrees of phase.
class WaveformView {
public:
    WaveformView(const WaveformTable& table, const DrawingTools& tools);

    void setRect(int left, int top, int right, int bottom, qreal devicePixelRatio = 1.0);
    // The same with a QRect (x, y, width, height).
    void setRect(const QRect& r, qreal devicePixelRatio = 1.0) {
        setRect(r.x(), r.y(), r.x() + r.width(), r.y() + r.height(), devicePixelRatio);
    }
    QRect rect() const { return rect_; }

    // Composes the plot into its own picture, image().
    void draw();
    const QImage& image() const { return image_; }
    // Draws the plot straight into the back buffer at rect().
    void drawInto(BackBuffer& buffer) const;

    static void paint(QImage& image, const WaveformTable& table, const DrawingTools& tools);

private:
    const WaveformTable& table_;
    const DrawingTools& tools_;
    QRect rect_;
    QImage image_;
};
