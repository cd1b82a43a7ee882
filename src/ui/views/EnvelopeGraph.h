#pragma once

#include <QImage>
#include <QRect>

#include "core/Envelope.h"

#include <cstdint>
#include <optional>
#include <vector>

class BackBuffer;
class DrawingTools;

// The on-screen editor of one Envelope: grid, labels, curve and point markers,
// and the point and curve drags. All coordinates are client coordinates.
// It shows a curve it never writes: a drag edits a copy of its own, and the
// release and the right click give the edited curve back to the caller,
// which renders and commits it.
class EnvelopeGraph {
public:
    EnvelopeGraph(const Envelope& envelope, const DrawingTools& tools);
    ~EnvelopeGraph();

    // What the graph shows: the copy being dragged, else the shown curve.
    const Envelope& envelope() const { return working_ ? *working_ : *shown_; }
    // Shows another curve (ending any drag).
    void show(const Envelope& envelope);

    // Stores the rectangle (right and bottom exclusive) and recreates the image.
    void setRect(int left, int top, int right, int bottom, qreal devicePixelRatio = 1.0);
    // The same with a QRect (x, y, width, height).
    void setRect(const QRect& r, qreal devicePixelRatio = 1.0) {
        setRect(r.x(), r.y(), r.x() + r.width(), r.y() + r.height(), devicePixelRatio);
    }
    QRect rect() const { return rect_; }

    // The graph's own picture, image(), is composed when it is next read.
    // lengthSamples and sampleRate set the time grid; they are kept for redraw().
    void draw(int32_t lengthSamples, int32_t sampleRate);
    // draw() with the timing of the last draw() or setTiming().
    void redraw();

    // Draws the whole graph straight into the back buffer at rect().
    void drawInto(BackBuffer& buffer);
    // Draws again only what differs from the last drawInto() or updateInto()
    // (a moved point, a held look): the grid under it and the curve over it,
    // the same pixels a whole drawing gives. Returns the client rectangle it
    // changed; empty when nothing did.
    QRect updateInto(BackBuffer& buffer);
    // The sound's main part changed (length or rate): later redraws, such as
    // those of a drag, lay their time grid out for it.
    void setTiming(int32_t lengthSamples, int32_t sampleRate) {
        lastLengthSamples_ = lengthSamples;
        lastSampleRate_ = sampleRate;
    }
    // Composed on demand: the editor draws into the back buffer instead.
    const QImage& image() const;

    // Index of the nearest point closer than 10 pixels (lower index on a tie),
    // -1 when none or when (x, y) lies outside rect().
    int findPointNear(int x, int y) const;
    // Whether (x, y) lies less than 5 pixels above or below the curve.
    bool hitCurve(int x, int y) const;
    // Cursor query: a point or the curve is under (x, y).
    bool wantsHandCursor(int x, int y) const { return findPointNear(x, y) >= 0 || hitCurve(x, y); }

    // Raw drag state.
    void setDragPoint(int index);
    int dragPoint() const { return dragPoint_; }
    bool pointMoved() const { return pointMoved_; }
    void dragPointTo(int x, int y);
    void setCurveDrag(bool on, int y);
    bool curveDrag() const { return curveDrag_; }
    bool curveMoved() const { return curveMoved_; }
    void dragCurveTo(int y);
    bool isDragging() const { return dragPoint_ >= 0 || curveDrag_; }
    // Ends any drag, dropping its copy (New or Open replaced the points).
    void cancelDrag();

    // Left press: holds the point under (x, y), else the curve. Returns true
    // when a drag began (the image is redrawn; the caller captures the mouse).
    bool press(int x, int y);
    // Move during a drag: moves the point or curve and redraws; true when
    // this graph took the movement.
    bool move(int x, int y);

    struct Release {
        bool wasDragging = false;       // a point or the curve was held: render once
        bool wasPoint = false;          // it was a point (the amplitude graph's raises the hint)
        bool modified = false;          // it moved
        std::optional<Envelope> curve;  // the edited curve, when a drag ended
    };
    // Left release: ends the drag and redraws.
    Release release(int y);

    struct RightClick {
        bool hit = false;               // a point was clicked or a point was inserted: render, mark modified
        bool changed = false;           // the points actually changed
        std::optional<Envelope> curve;  // the edited curve, on a hit
    };
    // Right click on a point: deletes it (the first and last stay, but it
    // still counts as a hit). Ignored while a left drag is held here.
    RightClick rightClickDelete(int x, int y);
    // Right click elsewhere: inserts a point in the plot area. Ignored while a
    // left drag is held here.
    RightClick rightClickInsert(int x, int y);

    // The picture of an envelope graph at the image's size. dragPoint and
    // curveDrag colour the held point or the whole curve red.
    static void paint(QImage& image, const Envelope& envelope, int dragPoint, bool curveDrag, int32_t lengthSamples,
                      int32_t sampleRate, const DrawingTools& tools);
    // Its two layers: the background with the grid and labels, and the
    // curve with its points over them.
    static void paintGrid(QImage& image, EnvelopeKind kind, int32_t lengthSamples, int32_t sampleRate,
                          const DrawingTools& tools);
    static void paintCurve(QImage& image, const Envelope& envelope, int dragPoint, bool curveDrag,
                           const DrawingTools& tools);

private:
    // One line of the curve or one marker, as drawn: what tells which parts
    // of the picture a change touches.
    struct CurveItem {
        bool marker;
        bool red;
        int x0, y0, x1, y1;  // a line's ends; a marker's centre in x0, y0
        bool operator==(const CurveItem& o) const {
            return marker == o.marker && red == o.red && x0 == o.x0 && y0 == o.y0 && x1 == o.x1 && y1 == o.y1;
        }
        QRect box() const;  // every pixel it may touch, with a margin
    };
    static std::vector<CurveItem> curveItems(QSize size, const Envelope& envelope, int dragPoint, bool curveDrag);
    static void paintItems(QImage& image, const std::vector<CurveItem>& items, const DrawingTools& tools);
    // The grid for `target`'s size and the current timing, made when missing.
    const QImage& gridFor(const QImage& target) const;

    // Inserts a point at (x, y) inside the plot area into `curve`; false when refused.
    bool insertPointAt(Envelope& curve, int x, int y) const;
    // Shows the edited curve once and hands it back.
    RightClick edited(Envelope curve, bool changed);
    int plotW() const { return rect_.width() - 56; }
    int plotH() const { return rect_.height() - 32; }

    const Envelope* shown_;
    std::optional<Envelope> working_;  // the copy a drag edits
    const DrawingTools& tools_;
    QRect rect_;
    // Caches, filled when read.
    mutable QImage image_;
    mutable bool imageStale_ = true;
    // The grid and labels for the timing they were drawn for: a drag redraws
    // only the curve over a copy of them.
    mutable QImage grid_;
    mutable int32_t gridLengthSamples_ = -1;
    mutable int32_t gridSampleRate_ = -1;
    // What the back buffer holds at rect(): the curve as last drawn there,
    // over the grid of that timing; none until drawInto().
    std::optional<std::vector<CurveItem>> drawn_;
    int32_t drawnLengthSamples_ = -1;
    int32_t drawnSampleRate_ = -1;
    int dragPoint_ = -1;
    bool pointMoved_ = false;
    bool curveDrag_ = false;
    int lastDragY_ = 0;
    bool curveMoved_ = false;
    int32_t lastLengthSamples_ = 0;
    int32_t lastSampleRate_ = 11025;
};
