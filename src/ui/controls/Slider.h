#pragma once

#include <QImage>
#include <QRect>
#include <QString>

#include <functional>
#include <optional>

class DrawingTools;

// A vertical slider with a two-line caption, a track with eleven ticks and a
// knob; its position runs from 0 (bottom) to 1 (top of the track). It shows
// the position it is given, and during a drag the one the knob is at; the
// release hands that back for the caller to commit.
class Slider {
public:
    // How line 1 shows a position (the Length and Distort sliders): rewritten
    // while the knob is dragged and on release.
    using ValueText = std::function<QString(float position)>;

    explicit Slider(const DrawingTools& tools);

    // Stores the raw value: no clamping, no drawing.
    void setPosition(float position) { position_ = position; }
    float position() const { return position_; }

    bool isDragging() const { return dragging_; }

    // Line 0 or 1 of the caption (other indexes are ignored).
    void setLine(int index, const QString& text);
    const QString& line(int index) const { return lines_[index == 0 ? 0 : 1]; }

    // When set, line 1 follows the position on every press, drag step and
    // release, and on refreshValueLine().
    void setValueText(ValueText valueText) { valueText_ = std::move(valueText); }
    void refreshValueLine();

    // As OptionButton::setRect.
    void setRect(int left, int top, int right, int bottom, qreal devicePixelRatio = 1.0);
    // The same with a QRect (x, y, width, height).
    void setRect(const QRect& r, qreal devicePixelRatio = 1.0) {
        setRect(r.x(), r.y(), r.x() + r.width(), r.y() + r.height(), devicePixelRatio);
    }
    QRect rect() const { return rect_; }

    // The knob's box: 22 wide (cx - 11 to cx + 10) and 12 high around its centre.
    bool hitKnob(int x, int y) const;
    // The two caption lines: the slider's width, down to just above the
    // highest the knob's box reaches.
    bool hitCaption(int x, int y) const;
    // Sets the position from the pointer's client y; limited to 0..1 (NaN gives 0).
    void dragTo(int y);

    // Mouse handling for the dispatch, client coordinates.
    // press: on the knob, starts a drag and returns true; otherwise false.
    bool press(int x, int y);
    // move: while dragging, follows y, rewrites the value line and redraws;
    // returns true when it took the movement (the caller copies image()).
    bool move(int y);
    // release: ends a drag; the position it ended at when one was active
    // (the caller then commits it, which renders once).
    std::optional<float> release();

    // Paints image() unless it already shows this position and caption.
    void draw();
    const QImage& image() const { return image_; }

    // Whether the back buffer shows the slider as it is now: only a slider
    // whose look changed is drawn and copied there again.
    bool isShown() const { return shown_ && *shown_ == look(); }
    void markShown() { shown_ = look(); }

    // The picture of a slider at the image's size.
    static void paint(QImage& image, float position, const QString& line0, const QString& line1,
                      const DrawingTools& tools);

private:
    struct Look {
        float position;
        QString line0, line1;
        bool operator==(const Look& o) const { return position == o.position && line0 == o.line0 && line1 == o.line1; }
    };
    Look look() const { return {position_, lines_[0], lines_[1]}; }

    const DrawingTools& tools_;
    std::optional<Look> drawn_;  // what image() shows
    std::optional<Look> shown_;  // what the back buffer shows
    float position_ = 0.0f;
    bool dragging_ = false;
    QString lines_[2];
    ValueText valueText_;
    QRect rect_;
    QImage image_;
};

// The value lines of the Length and Distort sliders.
namespace slider_text {
// "%dms" of lengthMs(position), truncated: never below 20ms, 10000ms at the top.
QString lengthLine(float position);
// "%d%%" of position x 100, truncated.
QString percentLine(float position);
}  // namespace slider_text
