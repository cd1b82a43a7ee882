#pragma once

#include <QImage>
#include <QRect>
#include <QString>

class DrawingTools;

// A push button drawn from the shared button faces, with a caption and the
// integer it stands for. Groups of them act as option buttons (OptionGroup).
class OptionButton {
public:
    explicit OptionButton(const DrawingTools& tools);

    void define(const QString& caption, int value);
    const QString& caption() const { return caption_; }
    int value() const { return value_; }

    void setPressed(bool pressed) { pressed_ = pressed; }
    bool isPressed() const { return pressed_; }

    // Whether the back buffer shows the button as it is now: only a button
    // whose look changed is drawn and copied there again.
    bool isShown() const { return shown_ == int(pressed_); }
    void markShown() { shown_ = int(pressed_); }

    // Place in client coordinates, right and bottom exclusive; recreates the
    // image at that size for the given device-pixel ratio. An empty or inverted
    // rectangle leaves no image (drawing does nothing) until the next call.
    void setRect(int left, int top, int right, int bottom, qreal devicePixelRatio = 1.0);
    // The same with a QRect (x, y, width, height).
    void setRect(const QRect& r, qreal devicePixelRatio = 1.0) {
        setRect(r.x(), r.y(), r.x() + r.width(), r.y() + r.height(), devicePixelRatio);
    }
    QRect rect() const { return rect_; }

    // left <= x < right and top <= y < bottom.
    bool hitTest(int x, int y) const;

    // Paints the button into image(); the caller copies it to rect().topLeft().
    void draw();
    const QImage& image() const { return image_; }

    // The picture of a button: face raised or sunken, cut to the image's width
    // and closed by the face's last two columns; caption centred, one pixel
    // right and down when pressed.
    static void paint(QImage& image, const QString& caption, bool pressed, const DrawingTools& tools);

private:
    const DrawingTools& tools_;
    QString caption_;
    int value_ = 0;
    bool pressed_ = false;
    int shown_ = -1;  // the pressed state the back buffer shows; -1 none
    QRect rect_;
    QImage image_;
};
