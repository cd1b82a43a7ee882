#pragma once

#include <QImage>
#include <QRect>

#include <cstdint>

class BackBuffer;
class OutputView;

// The line that runs over the output plot at the place being heard. It is
// drawn straight into the back buffer and taken away by putting back the
// strip of the picture it covered, so moving it never re-renders the sound
// or redraws the plot.
class PlayCursor {
public:
    // The plot column of the sample heard: the image holds `repeats` copies of
    // a sound of `total` samples whose main part (the part the plot shows) is
    // `main` samples long. Within each copy the line runs over the main part;
    // in the echo tail it stays at the right edge. -1 when there is nothing to
    // show. `plotLeft` and `plotWidth` are the data area's, in view pixels.
    static int columnFor(int64_t sample, int32_t main, int32_t total, int plotLeft, int plotWidth);

    // Puts the line at view column x (relative to the plot's rectangle),
    // restoring the strip under the old one first.
    void moveTo(int x, BackBuffer& buffer, const OutputView& plot);
    // Takes the line away.
    void hide(BackBuffer& buffer, const OutputView& plot);
    // The plot was drawn again: the line is gone with its old picture.
    void forget() {
        shownX_ = -1;
        under_ = QImage();
    }

    int shownX() const { return shownX_; }

private:
    void restore(BackBuffer& buffer, const OutputView& plot);
    QRect strip(int x, const OutputView& plot) const;

    int shownX_ = -1;
    QImage under_;  // what the line covers
};
