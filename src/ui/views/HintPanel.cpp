#include "ui/views/HintPanel.h"

#include "ui/drawing/DrawingTools.h"
#include "ui/drawing/ViewImage.h"

#include <QPainter>

namespace {
constexpr int kPictureRows = 60;  // each picture: image rows, then mask rows
}  // namespace

HintPanel::HintPanel(const DrawingTools& tools) : tools_(tools) {}

bool HintPanel::loadBitmap() {
    // DrawingTools has registered the artwork by now.
    const QImage loaded(QStringLiteral(":/hints.png"));
    bitmap_ = loaded.isNull() ? QImage() : loaded.convertToFormat(QImage::Format_RGB32);
    return !bitmap_.isNull();
}

bool HintPanel::setStage(int n, QSize client) {
    if (n <= stage_) return false;
    stage_ = n;
    layout(client);
    return true;
}

void HintPanel::layout(QSize client) {
    const int w = client.width();
    const int h = client.height();
    const int centre = (w - 240) / 2;
    switch (stage_) {
    case 0:
        left_ = centre - 96;
        top_ = 5 * h / 6 - 15;
        style_ = 0;
        break;
    case 1:
        left_ = centre - 136;
        top_ = h / 6 - 15;
        style_ = 1;
        break;
    case 2:
        left_ = centre - 196;
        top_ = 3 * h / 6 - 55;
        style_ = 2;
        break;
    case 3:
        left_ = centre - 216;
        top_ = 3 * h / 6 + 35;
        style_ = 1;
        break;
    default: break;  // no hint any more: keep the last place
    }
}

QString HintPanel::stageText(int stage) {
    switch (stage) {
    case 0: return QStringLiteral("Click on the graph to play this sound");
    case 1: return QStringLiteral("Drag a point to change its position");
    case 2: return QStringLiteral("Delete or create with a right click");
    case 3: return QStringLiteral("Double click point to enter exact value");
    default: return QString();
    }
}

QString HintPanel::text() const { return stageText(stage_); }

void HintPanel::draw(QImage& backBuffer) const {
    if (!isVisible() || backBuffer.isNull()) return;
    QPainter p(&backBuffer);
    draw(p);
}

void HintPanel::draw(QPainter& p) const {
    if (!isVisible()) return;
    const QRect target = rect();
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    if (!bitmap_.isNull()) {
        const int top = kPictureRows * style_;
        p.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
        p.drawImage(target, bitmap_, QRect(0, top + kHeight, kWidth, kHeight));
        p.setCompositionMode(QPainter::RasterOp_SourceOrDestination);
        p.drawImage(target, bitmap_, QRect(0, top, kWidth, kHeight));
        p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    }

    const int middle = (left_ + left_ + kWidth - 11) / 2;
    const int x = style_ == 0 ? middle + 11 : middle;
    const int y = style_ == 1 ? top_ + 12 : top_;
    p.setFont(tools_.boldFont);
    p.setPen(Qt::black);
    // Centred on x as a text drawn in a box around it would be: the same pixels.
    if (laidOutStage_ != stage_) {
        laidOut_ = QStaticText(text());
        laidOut_.setTextFormat(Qt::PlainText);
        laidOut_.prepare(QTransform(), tools_.boldFont);
        laidOutStage_ = stage_;
    }
    p.drawStaticText(QPointF(x - laidOut_.size().width() / 2.0, y), laidOut_);
    p.restore();
}
