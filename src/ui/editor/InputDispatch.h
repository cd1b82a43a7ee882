#pragma once

#include <QPoint>

class Editor;
class EnvelopeGraph;
class PointAdjuster;
class SliderValueAsker;

// The mouse half of the main window: each event is offered to the regions in
// a fixed order, the first that claims it acts, and a gesture that ends
// builds the next settings from the document's and what the control gave
// back, and commits them (one undo step, one render); the hint stage and the
// window's update follow. Coordinates are client coordinates.
class InputDispatch {
public:
    enum class Cursor { Arrow, Hand, Play };

    explicit InputDispatch(Editor& editor);

    // What a double click on a point asks for its values (the window's
    // Adjust Point dialogs). None: a double click on a point only ends the hint.
    void setPointAdjuster(PointAdjuster* adjuster) { adjuster_ = adjuster; }
    // What a double click on a slider's caption asks for its value (the
    // window's value dialog). None: such a double click only ends the hint.
    void setSliderValueAsker(SliderValueAsker* asker) { asker_ = asker; }

    // Each returns after the window was updated.
    Cursor mouseMove(QPoint pos);
    // True when a drag began (the window keeps the mouse until release).
    bool leftDown(QPoint pos);
    void leftUp(QPoint pos);
    void leftDoubleClick(QPoint pos);
    void rightDown(QPoint pos);
    // The wheel over a slider: each notch (positive: away from the user) moves
    // it one step up or down, and is one undo step. Ignored during a drag.
    void wheel(QPoint pos, int notches);

    // The cursor for a pointer at pos with no drag in progress.
    Cursor cursorAt(QPoint pos);

private:
    void releaseGraph(EnvelopeGraph& graph, int y, bool raisesHint);
    bool rightClickGraph(EnvelopeGraph& graph, QPoint pos, bool insert);
    void adjustAfterDoubleClick(EnvelopeGraph& graph, QPoint pos);
    void askSliderValue(QPoint pos);
    void commitSlider(int slider, float position);

    Editor& editor_;
    PointAdjuster* adjuster_ = nullptr;
    SliderValueAsker* asker_ = nullptr;
};
