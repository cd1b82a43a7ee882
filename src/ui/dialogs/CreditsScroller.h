#pragma once

#include <QFont>
#include <QImage>

#include <array>

// The About box's credits: a loop of rows that stands still for a moment
// after opening and then moves up one pixel per tick, forever.
class CreditsScroller {
public:
    static constexpr int kRows = 28;
    static constexpr int kRowHeight = 17;
    // One full turn of the loop in pixels (and ticks): 28 rows of 17.
    static constexpr int kLoop = kRows * kRowHeight;
    // Ticks the credits stand still before they start to move.
    static constexpr int kHoldTicks = 31;
    // The band's height and its top in the box's picture.
    static constexpr int kBandHeight = 85;
    static constexpr int kBandTop = 77;
    // Rows drawn into the band per frame: enough to cover it at any offset.
    static constexpr int kVisibleRows = 7;

    static const std::array<const char*, kRows>& lines();

    // Back to the first row, holding.
    void restart();
    // One step of the scroll.
    void tick();

    // How far the loop has moved up, in pixels, 0..kLoop-1.
    int offset() const { return offset_; }
    bool holding() const { return holding_; }

    // The band, width x kBandHeight: `background`'s strip behind it (rows
    // kBandTop on), the visible rows centred, white over a black shadow.
    QImage band(const QImage& background, int width, const QFont& font) const;

private:
    int scrollPos_ = 0;
    int offset_ = 0;
    bool holding_ = true;
};
