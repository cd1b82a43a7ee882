#include "ui/controls/Slider.h"

#include "core/SoundSettings.h"
#include "ui/drawing/DrawingTools.h"
#include "ui/drawing/ViewImage.h"

#include <QPainter>

#include <cmath>

namespace {

constexpr int kTrackTop = 36;    // position 1
constexpr int kTrackSpare = 40;  // the track is h - 40 long, ending 4 above the bottom

// Offset of the knob's centre from the slider's top.
int knobOffset(int height, float position) {
    return kTrackTop + static_cast<int>((height - kTrackSpare) * (1.0 - static_cast<double>(position)));
}

}  // namespace

Slider::Slider(const DrawingTools& tools) : tools_(tools) {}

void Slider::setLine(int index, const QString& text) {
    if (index == 0 || index == 1) lines_[index] = text;
}

void Slider::refreshValueLine() {
    if (valueText_) lines_[1] = valueText_(position_);
}

void Slider::setRect(int left, int top, int right, int bottom, qreal devicePixelRatio) {
    rect_ = view_image::fromEdges(left, top, right, bottom);
    image_ = view_image::create(rect_.width(), rect_.height(), devicePixelRatio);
    drawn_.reset();
    shown_.reset();
}

bool Slider::hitKnob(int x, int y) const {
    const int cx = (rect_.left() + rect_.left() + rect_.width()) / 2;
    if (x < cx - 11 || x >= cx + 11) return false;
    const int k = rect_.top() + knobOffset(rect_.height(), position_);
    return y >= k - 6 && y < k + 6;
}

bool Slider::hitCaption(int x, int y) const {
    return x >= rect_.left() && x < rect_.left() + rect_.width() && y >= rect_.top() && y < rect_.top() + kTrackTop - 6;
}

void Slider::dragTo(int y) {
    const double p = 1.0 - static_cast<double>(y - rect_.top() - kTrackTop) / (rect_.height() - kTrackSpare);
    if (std::isnan(p) || p < 0.0)
        position_ = 0.0f;
    else if (p > 1.0)
        position_ = 1.0f;
    else
        position_ = static_cast<float>(p);
}

bool Slider::press(int x, int y) {
    if (!hitKnob(x, y)) return false;
    dragging_ = true;
    return true;
}

bool Slider::move(int y) {
    if (!dragging_) return false;
    dragTo(y);
    refreshValueLine();
    draw();
    return true;
}

std::optional<float> Slider::release() {
    if (!dragging_) return std::nullopt;
    dragging_ = false;
    refreshValueLine();
    draw();
    return position_;
}

void Slider::draw() {
    if (image_.isNull() || drawn_ == look()) return;
    paint(image_, position_, lines_[0], lines_[1], tools_);
    drawn_ = look();
}

void Slider::paint(QImage& image, float position, const QString& line0, const QString& line1,
                   const DrawingTools& tools) {
    const qreal dpr = image.devicePixelRatio();
    const int w = qRound(image.width() / dpr);
    const int h = qRound(image.height() / dpr);
    const int cx = w / 2;
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.fillRect(QRect(0, 0, w, h), QColor(192, 192, 192));

    p.setFont(tools.boldFont);
    p.setPen(Qt::black);
    view_image::text(p, cx, 0, line0, view_image::Anchor::Centre);
    view_image::text(p, cx, 16, line1, view_image::Anchor::Centre);

    // Lines stop one pixel short of their end point, as a "line to" does.
    p.setPen(QPen(Qt::black, 0));
    if (h - 5 >= kTrackTop) p.drawLine(cx, kTrackTop, cx, h - 5);
    for (int b = 0; b <= 10; ++b) {
        const int y = kTrackTop + (b * (h - kTrackSpare)) / 10;
        const int d = (b == 0 || b == 10) ? 8 : 4;
        p.drawLine(cx - d, y, cx + d - 1, y);
    }

    // Knob: outline and fill cover cx-9 .. cx+8 and k-4 .. k+3.
    const int k = knobOffset(h, position);
    p.setBrush(Qt::white);
    p.drawRect(QRect(cx - 9, k - 4, 17, 7));
}

namespace slider_text {

QString lengthLine(float position) { return QStringLiteral("%1ms").arg(static_cast<int>(lengthMs(position))); }

QString percentLine(float position) {
    return QStringLiteral("%1%").arg(static_cast<int>(static_cast<double>(position) * 100.0));
}

}  // namespace slider_text
