#pragma once

#include <QImage>
#include <QRect>
#include <QSize>
#include <QStaticText>
#include <QString>

class DrawingTools;
class QPainter;

// The yellow callout that teaches the four gestures one after the other. Its
// stage only grows; at stage 4 nothing is shown any more.
class HintPanel {
public:
    static constexpr int kWidth = 272;
    static constexpr int kHeight = 30;
    static constexpr int kLastStage = 4;

    explicit HintPanel(const DrawingTools& tools);

    // Loads the callout artwork (three pictures, each image above its mask).
    // False when it is missing: then only the text is drawn.
    bool loadBitmap();
    // Uses the given artwork instead (272 x 180).
    void setBitmap(const QImage& bitmap) { bitmap_ = bitmap; }

    // Raises the stage to n and re-places the panel for `client` (the client
    // size); a lower or equal n does nothing. True when the stage changed.
    bool setStage(int n, QSize client);
    int stage() const { return stage_; }
    int style() const { return style_; }
    // Places the panel for the current stage (stages 0 to 3) in `client`.
    void layout(QSize client);
    // right = left + 272, bottom = top + 30.
    QRect rect() const { return QRect(left_, top_, kWidth, kHeight); }
    // The text of the current stage; empty at stage 4.
    QString text() const;
    // Whether anything is drawn (stages 0 to 3).
    bool isVisible() const { return stage_ < kLastStage; }

    // Draws the callout over the back buffer at rect(): mask ANDed, image
    // ORed, then the text. The surroundings keep what was there.
    void draw(QImage& backBuffer) const;
    void draw(QPainter& painter) const;

    static QString stageText(int stage);

private:
    const DrawingTools& tools_;
    QImage bitmap_;
    // The text laid out once per stage: the hint is drawn again over each
    // frame of a drag that changes what lies under it.
    mutable QStaticText laidOut_;
    mutable int laidOutStage_ = -1;
    int left_ = 0;
    int top_ = 0;
    int stage_ = 0;
    int style_ = 0;
};
