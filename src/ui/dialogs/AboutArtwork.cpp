#include "ui/dialogs/AboutArtwork.h"

#include "ui/dialogs/CreditsScroller.h"

#include <QPainter>

// The artwork lives in the zindle_ui library; nothing registers it unless
// asked to. Q_INIT_RESOURCE must stand outside any namespace.
static void initAboutArtwork() { Q_INIT_RESOURCE(zindle); }

namespace {

QImage loaded(const QString& path, int width, int height) {
    QImage image(path);
    if (image.isNull()) {
        // Without its artwork the box still works: plain black.
        image = QImage(width, height, QImage::Format_RGB32);
        image.fill(Qt::black);
    }
    return image.convertToFormat(QImage::Format_RGB32);
}

void drawShadowedText(QPainter& painter, int centreX, int top, const QString& text) {
    const QRect slot(centreX - 1000, top, 2000, 40);
    painter.setPen(Qt::black);
    painter.drawText(slot.translated(1, 1), Qt::AlignHCenter | Qt::AlignTop, text);
    painter.setPen(Qt::white);
    painter.drawText(slot, Qt::AlignHCenter | Qt::AlignTop, text);
}

}  // namespace

AboutArtwork::AboutArtwork() {
    initAboutArtwork();
    background_ = loaded(QStringLiteral(":/about/background.png"), kBackgroundWidth, kBackgroundHeight);
    // A black title and a white mask draw nothing.
    title_ = QImage(kBackgroundWidth, 67, QImage::Format_RGB32);
    title_.fill(Qt::white);
    const QImage title(QStringLiteral(":/about/title.png"));
    if (!title.isNull()) title_ = title.convertToFormat(QImage::Format_RGB32);
}

AboutArtwork::AboutArtwork(QImage background, QImage title)
    : background_(background.convertToFormat(QImage::Format_RGB32)),
      title_(title.convertToFormat(QImage::Format_RGB32)) {}

QStringList AboutArtwork::captionLines() {
    return {QStringLiteral("Zindle, a sound-effect editor"), QStringLiteral("Shape a sound, click its plot to hear it"),
            QStringLiteral("Press Help for the manual")};
}

QImage AboutArtwork::compose(const CreditsScroller& credits, QSize size, const QFont& font) const {
    const int width = qMax(1, size.width());
    const int height = qMax(1, size.height());
    QImage picture(width, height, QImage::Format_RGB32);
    picture.fill(Qt::black);

    QPainter painter(&picture);
    painter.drawImage(QPoint(0, 0), background_);

    // Title: the mask punches the shape and its shadow black, then the image
    // is ORed into the hole.
    const int x0 = (width - kTitleWidth) / 2;
    const QRect image(1, 1, kTitleWidth, kTitleHeight);
    const QRect mask(1, 34, kTitleWidth, kTitleHeight);
    painter.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
    painter.drawImage(QPoint(x0, kTitleTop), title_, mask);
    painter.drawImage(QPoint(x0 + kShadowOffset, kTitleTop + kShadowOffset), title_, mask);
    painter.setCompositionMode(QPainter::RasterOp_SourceOrDestination);
    painter.drawImage(QPoint(x0, kTitleTop), title_, image);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);

    painter.setFont(font);
    const QStringList captions = captionLines();
    const int captionTops[] = {height - 110, height - 94, height - 78};
    for (int i = 0; i < captions.size(); ++i) drawShadowedText(painter, width / 2, captionTops[i], captions[i]);

    painter.drawImage(QPoint(0, CreditsScroller::kBandTop), credits.band(background_, width, font));
    return picture;
}
