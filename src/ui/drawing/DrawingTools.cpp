#include "ui/drawing/DrawingTools.h"

#include <QDir>
#include <QFontMetrics>
#include <QPixmap>

// Q_INIT_RESOURCE must stand outside any namespace; the artwork lives in this
// static library, so nothing registers it unless asked to.
static void initArtwork() { Q_INIT_RESOURCE(zindle); }

namespace {

QPen solidPen(const QColor& colour) {
    QPen pen(colour);
    pen.setWidth(1);
    pen.setStyle(Qt::SolidLine);
    return pen;
}

}  // namespace

DrawingTools::DrawingTools()
    : whitePen(solidPen(QColor(255, 255, 255))),
      redPen(solidPen(QColor(255, 0, 0))),
      greenPen(solidPen(QColor(0, 255, 0))),
      dottedPen(solidPen(QColor(64, 64, 64))),
      whiteBrush(QColor(255, 255, 255)),
      redBrush(QColor(255, 0, 0)),
      handCursor(Qt::PointingHandCursor) {
    initArtwork();
    dottedPen.setStyle(Qt::DotLine);  // one pixel on, two off at width 1

    smallFont = fontForCellHeight(QStringLiteral("Arial"), 14, QFont::Normal);
    boldFont = fontForCellHeight(QStringLiteral("Arial"), 16, QFont::DemiBold);

    const QPixmap play(QStringLiteral(":/playcursor.png"));
    playCursor = play.isNull() ? QCursor(Qt::PointingHandCursor) : QCursor(play, 5, 0);

    buttonFaces = QImage(QStringLiteral(":/buttonfaces.png")).convertToFormat(QImage::Format_RGB32);
    startDirectory = withTrailingSlash(QDir::currentPath());
}

QIcon DrawingTools::appIcon() {
    initArtwork();
    QIcon icon;
    icon.addFile(QStringLiteral(":/icons/zindle32.png"), QSize(32, 32));
    icon.addFile(QStringLiteral(":/icons/zindle16.png"), QSize(16, 16));
    return icon;
}

QString DrawingTools::withTrailingSlash(const QString& dir) {
    return dir.endsWith(QLatin1Char('/')) ? dir : dir + QLatin1Char('/');
}

QFont DrawingTools::fontForCellHeight(const QString& family, int cellHeight, int weight) {
    QFont font(family);
    font.setWeight(static_cast<QFont::Weight>(weight));
    font.setStyleHint(QFont::SansSerif);
    int size = cellHeight;
    for (; size > 1; --size) {
        font.setPixelSize(size);
        const QFontMetrics metrics(font);
        if (metrics.ascent() + metrics.descent() <= cellHeight) break;
    }
    font.setPixelSize(size);
    return font;
}
