#include "ui/window/EditorCanvas.h"

#include "ui/drawing/DrawingTools.h"
#include "ui/drawing/RegionCover.h"
#include "ui/editor/Editor.h"
#include "ui/editor/InputDispatch.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QWheelEvent>

EditorCanvas::EditorCanvas(Editor& editor, InputDispatch& dispatch, QWidget* parent)
    : QWidget(parent), editor_(editor), dispatch_(dispatch) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setMouseTracking(true);  // the cursor follows the region under it without a button held
    setFocusPolicy(Qt::StrongFocus);
}

void EditorCanvas::paintRegion(const QRegion& region) {
    const QRegion cover = region_cover::fewRects(region);
    if (isVisible())
        repaint(cover);
    else
        update(cover);
}

void EditorCanvas::relayout() { editor_.relayout(size(), devicePixelRatioF()); }

void EditorCanvas::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    relayout();
}

void EditorCanvas::paintEvent(QPaintEvent* event) {
    BackBuffer& buffer = editor_.backBuffer();
    // Moved to a screen of another pixel ratio: rebuild the picture for it.
    if (buffer.logicalSize() != size() || buffer.devicePixelRatio() != devicePixelRatioF()) relayout();

    QPainter painter(this);
    for (const QRect& rect : event->region()) buffer.copyTo(painter, rect);
    painter.end();
    buffer.markPainted(event->region());

    if (++paintCount_ == 1) emit firstPainted();
}

void EditorCanvas::showCursorAt(QPoint pos) {
    switch (dispatch_.mouseMove(pos)) {
    case InputDispatch::Cursor::Hand: setCursor(editor_.tools().handCursor); break;
    case InputDispatch::Cursor::Play: setCursor(editor_.tools().playCursor); break;
    case InputDispatch::Cursor::Arrow: setCursor(Qt::ArrowCursor); break;
    }
}

void EditorCanvas::mouseMoveEvent(QMouseEvent* event) {
    lastPos_ = event->position().toPoint();
    showCursorAt(lastPos_);
}

void EditorCanvas::mousePressEvent(QMouseEvent* event) {
    // Qt keeps sending the mouse here while a button is held, which is the
    // capture a drag needs.
    const QPoint pos = event->position().toPoint();
    lastPos_ = pos;
    if (event->button() == Qt::LeftButton)
        dispatch_.leftDown(pos);
    else if (event->button() == Qt::RightButton)
        dispatch_.rightDown(pos);
}

void EditorCanvas::endDrag() {
    if (editor_.isDragging()) dispatch_.leftUp(lastPos_);
}

void EditorCanvas::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) dispatch_.leftUp(event->position().toPoint());
}

void EditorCanvas::mouseDoubleClickEvent(QMouseEvent* event) {
    // The second press of a double click arrives only as this event; a right
    // double click does nothing more than its first click did.
    if (event->button() == Qt::LeftButton) dispatch_.leftDoubleClick(event->position().toPoint());
}

void EditorCanvas::wheelEvent(QWheelEvent* event) {
    // Fine-grained wheels and touchpads send parts of a notch (15 degrees).
    // Natural scrolling reverses the deltas: undone, so that a finger moving
    // up raises the slider as a wheel turned up does.
    int delta = event->angleDelta().y();
    if (event->inverted()) delta = -delta;
    wheelRemainder_ += delta;
    const int notches = wheelRemainder_ / QWheelEvent::DefaultDeltasPerStep;
    wheelRemainder_ -= notches * QWheelEvent::DefaultDeltasPerStep;
    if (notches != 0) dispatch_.wheel(event->position().toPoint(), notches);
    event->accept();
}
