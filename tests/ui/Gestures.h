#pragma once

#include "ui/controls/Slider.h"
#include "ui/views/EnvelopeGraph.h"

#include <QPoint>
#include <QRect>
#include <QTest>
#include <QWidget>

// Where the controls draw what a test points the mouse at.
namespace gestures {

// Client position of point i of a graph, as the graph draws it.
inline QPoint pointPos(const EnvelopeGraph& graph, int i) {
    const QRect r = graph.rect();
    const int plotW = r.width() - 56;
    const int plotH = r.height() - 32;
    const Envelope& e = graph.envelope();
    return {r.left() + static_cast<int>(plotW * e.time(i)) + 40,
            r.top() + static_cast<int>(plotH * (1.0 - e.value(i))) + 16};
}

inline QPoint knobPos(const Slider& slider) {
    const QRect r = slider.rect();
    const int cx = (r.left() + r.left() + r.width()) / 2;
    return {cx, r.top() + 36 + static_cast<int>((r.height() - 40) * (1.0f - slider.position()))};
}

// A left-button drag from one place to another, by way of the middle.
inline void drag(QWidget* canvas, QPoint from, QPoint to) {
    QTest::mousePress(canvas, Qt::LeftButton, {}, from);
    QTest::mouseMove(canvas, (from + to) / 2);
    QTest::mouseMove(canvas, to);
    QTest::mouseRelease(canvas, Qt::LeftButton, {}, to);
}

}  // namespace gestures
