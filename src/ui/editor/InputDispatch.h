#pragma once

#include <QPoint>

#include <functional>

class Editor;
class EnvelopeGraph;

// The mouse half of the main window: each event is offered to the regions in
// a fixed order, the first that claims it acts, and the edit cycle follows
// (render once, replot, mark modified, hint stage, update the window).
// Coordinates are client coordinates.
class InputDispatch {
public:
    enum class Cursor { Arrow, Hand, Play };

    explicit InputDispatch(Editor& editor);

    // Opens the Adjust Point dialog of `graph` for point `index`; true when it
    // ended with OK and changed the point. Unset: a double click on a point
    // only ends the hint.
    std::function<bool(EnvelopeGraph& graph, int index)> adjustPoint;

    // Each returns after the window was updated.
    Cursor mouseMove(QPoint pos);
    // True when a drag began (the window keeps the mouse until release).
    bool leftDown(QPoint pos);
    void leftUp(QPoint pos);
    void leftDoubleClick(QPoint pos);
    void rightDown(QPoint pos);

    // The cursor for a pointer at pos with no drag in progress.
    Cursor cursorAt(QPoint pos);

private:
    void releaseGraph(EnvelopeGraph& graph, int y, bool raisesHint);
    bool rightClickGraph(EnvelopeGraph& graph, QPoint pos, bool insert);
    void adjustAfterDoubleClick(EnvelopeGraph& graph, QPoint pos);

    Editor& editor_;
};
