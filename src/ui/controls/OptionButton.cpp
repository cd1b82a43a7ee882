#include "ui/controls/OptionButton.h"

#include "ui/drawing/DrawingTools.h"
#include "ui/drawing/ViewImage.h"

#include <QPainter>

namespace {
constexpr int kFaceWidth = 78;
constexpr int kFaceHeight = 24;
constexpr int kRaisedTop = 1;
constexpr int kSunkenTop = 26;
}  // namespace

OptionButton::OptionButton(const DrawingTools& tools) : tools_(tools) {}

void OptionButton::define(const QString& caption, int value) {
    caption_ = caption;
    value_ = value;
}

void OptionButton::setRect(int left, int top, int right, int bottom, qreal devicePixelRatio) {
    rect_ = view_image::fromEdges(left, top, right, bottom);
    image_ = view_image::create(rect_.width(), rect_.height(), devicePixelRatio);
    shown_ = -1;
}

bool OptionButton::hitTest(int x, int y) const {
    return x >= rect_.left() && x < rect_.left() + rect_.width() && y >= rect_.top() &&
           y < rect_.top() + rect_.height();
}

void OptionButton::draw() {
    if (!image_.isNull()) paint(image_, caption_, pressed_, tools_);
}

void OptionButton::paint(QImage& image, const QString& caption, bool pressed, const DrawingTools& tools) {
    const qreal dpr = image.devicePixelRatio();
    const int w = qRound(image.width() / dpr);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.fillRect(QRect(0, 0, w, qRound(image.height() / dpr)), QColor(192, 192, 192));

    // The face is cut to the button's width and closed by its last two columns.
    const int faceTop = pressed ? kSunkenTop : kRaisedTop;
    const int body = qMax(0, w - 2);
    if (body > 0) p.drawImage(QRect(0, 0, body, kFaceHeight), tools.buttonFaces, QRect(1, faceTop, body, kFaceHeight));
    p.drawImage(QRect(body, 0, 2, kFaceHeight), tools.buttonFaces, QRect(kFaceWidth - 1, faceTop, 2, kFaceHeight));

    p.setFont(tools.boldFont);
    p.setPen(Qt::black);
    const int shift = pressed ? 1 : 0;
    view_image::text(p, w / 2 + shift, 3 + shift, caption, view_image::Anchor::Centre);
}
