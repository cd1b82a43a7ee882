#pragma once

#include <QFont>
#include <QImage>
#include <QSize>
#include <QStringList>

class CreditsScroller;

// The About box's picture: the background, the title with its drop shadow,
// three caption lines and the credits band, composed into one image.
class AboutArtwork {
public:
    static constexpr int kBackgroundWidth = 350;
    static constexpr int kBackgroundHeight = 285;
    // The title's image and its mask: 348 x 32 each, from column 1, the image
    // from row 1 and the mask (black = shape) from row 34.
    static constexpr int kTitleWidth = 348;
    static constexpr int kTitleHeight = 32;
    static constexpr int kTitleTop = 20;
    static constexpr int kShadowOffset = 4;

    // The artwork built into the program.
    AboutArtwork();
    // Other artwork, for tests.
    AboutArtwork(QImage background, QImage title);

    static QStringList captionLines();

    // The whole picture at `size` (the box's client size) with the credits
    // where `credits` has them; `font` draws the captions and the credits.
    QImage compose(const CreditsScroller& credits, QSize size, const QFont& font) const;

    const QImage& background() const { return background_; }

private:
    QImage background_;
    QImage title_;
};
