#pragma once

#include <QPoint>
#include <QWidget>

class Editor;
class InputDispatch;

// The client area of the main window: shows the back buffer by copying the
// invalidated parts, lays everything out on every size change and hands the
// mouse to the dispatch. It paints every pixel itself, so nothing is erased.
class EditorCanvas : public QWidget {
    Q_OBJECT
public:
    EditorCanvas(Editor& editor, InputDispatch& dispatch, QWidget* parent = nullptr);

    // Paints the region now when the canvas is on screen, else later.
    void paintRegion(const QRegion& region);

    int paintCount() const { return paintCount_; }

    // Ends a drag that is still held as if the button had come up where the
    // pointer was last seen. A modal dialog or the close takes the mouse away
    // before the release arrives here; without this the drag would stay stuck
    // and its edit would be neither rendered nor marked.
    void endDrag();

signals:
    // The first frame has been painted.
    void firstPainted();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void relayout();
    void showCursorAt(QPoint pos);

    Editor& editor_;
    InputDispatch& dispatch_;
    int paintCount_ = 0;
    QPoint lastPos_;
    int wheelRemainder_ = 0;  // eighths of a degree short of a whole notch
};
