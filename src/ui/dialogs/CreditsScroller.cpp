#include "ui/dialogs/CreditsScroller.h"

#include <QPainter>

namespace {

const std::array<const char*, CreditsScroller::kRows> kLines = {
    "Generate .WAV sound effects files via",
    "the easy to use interface",
    "Version 2.2c",
    "",
    "",
    "",
    "",
    "",
    "",
    "-- A program by --",
    "The Zindle developers",
    "",
    "-- Thanks to --",
    "Everyone who tried the early builds",
    "",
    "-- Bibliography --",
    "The Computer Music Tutorial",
    "Curtis Roads",
    "",
    "-- Programs used --",
    "Qt 6",
    "",
    "SDL2",
    "",
    "GCC and CMake",
    "",
    "",
    "",
};

}  // namespace

const std::array<const char*, CreditsScroller::kRows>& CreditsScroller::lines() { return kLines; }

void CreditsScroller::restart() {
    scrollPos_ = 0;
    offset_ = 0;
    holding_ = true;
}

void CreditsScroller::tick() {
    scrollPos_ = (scrollPos_ + 1) % kLoop;
    if (holding_) {
        offset_ = 0;
        if (scrollPos_ >= kHoldTicks) {
            holding_ = false;
            scrollPos_ = 0;
        }
    } else {
        offset_ = scrollPos_;
    }
}

QImage CreditsScroller::band(const QImage& background, int width, const QFont& font) const {
    QImage image(qMax(1, width), kBandHeight, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter painter(&image);
    painter.drawImage(QPoint(0, 0), background, QRect(0, kBandTop, width, kBandHeight));
    painter.setFont(font);

    const int sub = offset_ % kRowHeight;
    int line = offset_ / kRowHeight;
    const int centre = width / 2;
    for (int i = 0; i < kVisibleRows; ++i, ++line) {
        const QString text = QString::fromLatin1(kLines[static_cast<size_t>(line % kRows)]);
        const int y = i * kRowHeight - sub;
        // Wide enough for any row; its middle is the centre line.
        const QRect slot(centre - 1000, y, 2000, 2 * kRowHeight);
        painter.setPen(Qt::black);
        painter.drawText(slot.translated(1, 1), Qt::AlignHCenter | Qt::AlignTop, text);
        painter.setPen(Qt::white);
        painter.drawText(slot, Qt::AlignHCenter | Qt::AlignTop, text);
    }
    return image;
}
