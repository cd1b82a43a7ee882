#include "core/Envelope.h"
#include "ui/drawing/DrawingTools.h"
#include "ui/drawing/TimeGrid.h"
#include "ui/views/EnvelopeGraph.h"

#include <QMouseEvent>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <set>

namespace {

const char* const kDefault = "0:75 20:75 40:75 60:75 80:75 100:0";

// The graph at (8, 20) - (564, 252): a plot area of 500 x 200 from (48, 36).
constexpr int kLeft = 8, kTop = 20, kRight = 564, kBottom = 252;

// Client position of time and value in percent.
QPoint at(double t, double v) { return QPoint(48 + static_cast<int>(5 * t), 36 + static_cast<int>(2 * (100 - v))); }

// Hands mouse events to one graph as the window's dispatch does, and takes
// the edited curve back into `shown` as the document would.
class GraphHarness : public QWidget {
public:
    GraphHarness(EnvelopeGraph& graph, Envelope& shown) : graph_(graph), shown_(shown) {
        setMouseTracking(true);
        resize(800, 400);
    }
    EnvelopeGraph::Release lastRelease;
    EnvelopeGraph::RightClick lastRightClick;

protected:
    void mousePressEvent(QMouseEvent* e) override {
        const QPoint p = e->position().toPoint();
        if (e->button() == Qt::LeftButton) {
            graph_.press(p.x(), p.y());
        } else if (e->button() == Qt::RightButton) {
            lastRightClick = graph_.rightClickDelete(p.x(), p.y());
            if (!lastRightClick.hit) lastRightClick = graph_.rightClickInsert(p.x(), p.y());
            if (lastRightClick.curve) shown_ = *lastRightClick.curve;
        }
    }
    void mouseMoveEvent(QMouseEvent* e) override {
        graph_.move(e->position().toPoint().x(), e->position().toPoint().y());
    }
    void mouseReleaseEvent(QMouseEvent* e) override {
        if (e->button() != Qt::LeftButton) return;
        lastRelease = graph_.release(e->position().toPoint().y());
        if (lastRelease.curve) shown_ = *lastRelease.curve;
    }

private:
    EnvelopeGraph& graph_;
    Envelope& shown_;
};

class EnvelopeGraphTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(envelope.fromText(kDefault));
        graph.setRect(kLeft, kTop, kRight, kBottom);
        graph.draw(4410, 11025);
    }
    void drag(QPoint from, QPoint to) {
        QTest::mousePress(&harness, Qt::LeftButton, {}, from);
        QTest::mouseMove(&harness, to);
        QTest::mouseRelease(&harness, Qt::LeftButton, {}, to);
    }
    void rightClick(QPoint p) { QTest::mouseClick(&harness, Qt::RightButton, {}, p); }

    DrawingTools tools;
    Envelope envelope{EnvelopeKind::Amplitude};
    EnvelopeGraph graph{envelope, tools};
    GraphHarness harness{graph, envelope};
};

QRgb pixel(const QImage& image, int x, int y) { return image.pixel(x, y) & 0xFFFFFF; }

TEST_F(EnvelopeGraphTest, PointDragsAreClampedToEdgesAndNeighbours) {
    struct Case {
        QPoint from;
        QPoint to;
        const char* after;
    } cases[] = {
        {at(20, 75), at(30, 90), "0:75 30:90 40:75 60:75 80:75 100:0"},
        {at(20, 75), at(55, 75), "0:75 40:75 40:75 60:75 80:75 100:0"},    // past the right neighbour
        {at(40, 75), at(30, 130), "0:75 20:75 30:100 60:75 80:75 100:0"},  // above the top
        {at(40, 75), at(45, -40), "0:75 20:75 45:0 60:75 80:75 100:0"},    // below the bottom
        {at(0, 75), at(30, 50), "0:50 20:75 40:75 60:75 80:75 100:0"},     // the first only moves up and down
        {at(100, 0), at(50, 20), "0:75 20:75 40:75 60:75 80:75 100:20"},   // so does the last
        {at(80, 75), at(130, 60), "0:75 20:75 40:75 60:75 100:60 100:0"},  // past the edge, onto the last's time
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(envelope.fromText(kDefault));
        drag(c.from, c.to);
        EXPECT_EQ(envelope.toText(), c.after) << c.after;
        EXPECT_TRUE(harness.lastRelease.wasDragging);
        EXPECT_TRUE(harness.lastRelease.wasPoint);
        EXPECT_TRUE(harness.lastRelease.modified);
        EXPECT_EQ(graph.dragPoint(), -1);
    }
}

TEST_F(EnvelopeGraphTest, ReleasingAnUnmovedPointAsksForARenderButIsNoChange) {
    QTest::mousePress(&harness, Qt::LeftButton, {}, at(20, 75));
    EXPECT_EQ(graph.dragPoint(), 1);
    QTest::mouseRelease(&harness, Qt::LeftButton, {}, at(20, 75));
    EXPECT_TRUE(harness.lastRelease.wasDragging);
    EXPECT_FALSE(harness.lastRelease.modified);
    EXPECT_EQ(envelope.toText(), kDefault);

    // A release with nothing held asks for nothing.
    QTest::mouseRelease(&harness, Qt::LeftButton, {}, at(20, 75));
    EXPECT_FALSE(harness.lastRelease.wasDragging);
}

TEST_F(EnvelopeGraphTest, CurveDragStopsAtTheTopAndMovesBackAtOnce) {
    const QPoint onCurve = at(10, 75);
    ASSERT_EQ(graph.findPointNear(onCurve.x(), onCurve.y()), -1);
    ASSERT_TRUE(graph.hitCurve(onCurve.x(), onCurve.y()));

    QTest::mousePress(&harness, Qt::LeftButton, {}, onCurve);
    EXPECT_TRUE(graph.curveDrag());
    QTest::mouseMove(&harness, onCurve - QPoint(0, 100));  // +50%, limited to +25%
    EXPECT_EQ(graph.envelope().toText(), "0:100 20:100 40:100 60:100 80:100 100:25");
    EXPECT_EQ(envelope.toText(), kDefault) << "the drag edits a copy of its own";
    QTest::mouseMove(&harness, onCurve - QPoint(0, 80));  // 20 px back down: -10% at once
    EXPECT_EQ(graph.envelope().toText(), "0:90 20:90 40:90 60:90 80:90 100:15");
    QTest::mouseRelease(&harness, Qt::LeftButton, {}, onCurve - QPoint(0, 80));
    EXPECT_TRUE(harness.lastRelease.wasDragging);
    EXPECT_FALSE(harness.lastRelease.wasPoint);
    EXPECT_TRUE(harness.lastRelease.modified);
    EXPECT_FALSE(graph.curveDrag());
}

TEST_F(EnvelopeGraphTest, RightClickInsertsBetweenPointsAndDeletesInnerPoints) {
    struct Case {
        QPoint click;
        bool hit;
        bool changed;
        const char* after;
    } cases[] = {
        {at(30, 50), true, true, "0:75 20:75 30:50 40:75 60:75 80:75 100:0"},
        {at(40, 20), false, false, kDefault},                      // at an existing point's time
        {QPoint(30, at(30, 50).y()), false, false, kDefault},      // in the label margin
        {at(40, 75), true, true, "0:75 20:75 60:75 80:75 100:0"},  // on a point: deleted
        {at(0, 75), true, false, kDefault},                        // the first stays
        {at(100, 0), true, false, kDefault},                       // so does the last
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(envelope.fromText(kDefault));
        rightClick(c.click);
        EXPECT_EQ(harness.lastRightClick.hit, c.hit) << c.after;
        EXPECT_EQ(harness.lastRightClick.changed, c.changed) << c.after;
        EXPECT_EQ(envelope.toText(), c.after);
    }
}

TEST_F(EnvelopeGraphTest, RightClickDuringALeftDragIsIgnored) {
    // The last point stays pinned at time 1 while the cursor wanders over other points.
    QTest::mousePress(&harness, Qt::LeftButton, {}, at(100, 0));
    QTest::mouseMove(&harness, at(60, 75));
    ASSERT_EQ(graph.dragPoint(), 5);
    rightClick(at(60, 75));
    EXPECT_FALSE(harness.lastRightClick.hit);
    rightClick(at(70, 30));
    EXPECT_FALSE(harness.lastRightClick.hit);
    EXPECT_EQ(graph.envelope().toText(), "0:75 20:75 40:75 60:75 80:75 100:75");
    QTest::mouseRelease(&harness, Qt::LeftButton, {}, at(60, 75));
    EXPECT_EQ(graph.dragPoint(), -1);
}

TEST_F(EnvelopeGraphTest, ADragNeverWritesTheCurveItShows) {
    graph.press(at(80, 75).x(), at(80, 75).y());
    ASSERT_EQ(graph.dragPoint(), 4);
    ASSERT_TRUE(envelope.fromText("0:10 100:20"));  // Open replaced the points under the drag
    graph.move(at(50, 50).x(), at(50, 50).y());
    EXPECT_EQ(envelope.toText(), "0:10 100:20");
    graph.cancelDrag();
    EXPECT_FALSE(graph.isDragging());
    EXPECT_EQ(graph.envelope().toText(), "0:10 100:20") << "the cancelled copy is gone";
    EXPECT_FALSE(graph.release(0).curve) << "nothing to give back";
}

TEST_F(EnvelopeGraphTest, HitTestsUseStrictDistances) {
    const QPoint p = at(40, 75);
    struct Case {
        QPoint cursor;
        int point;
        bool curve;
    } cases[] = {
        {p + QPoint(6, 8), -1, false},  // exactly 10 px from the point
        {p + QPoint(9, 0), 2, true},
        {at(50, 75) + QPoint(0, 5), -1, false},  // exactly 5 px below the curve
        {at(50, 75) + QPoint(0, 4), -1, true},
        {at(50, 75) - QPoint(0, 5), -1, false},
        {at(50, 75) - QPoint(0, 4), -1, true},
        {QPoint(kLeft + 35, at(0, 75).y()), 0, false},  // from the margin; t < 0 is off the curve
        {QPoint(kRight, p.y()), -1, false},             // right of the rectangle
    };
    for (const Case& c : cases) {
        EXPECT_EQ(graph.findPointNear(c.cursor.x(), c.cursor.y()), c.point) << c.cursor.x() << "," << c.cursor.y();
        EXPECT_EQ(graph.hitCurve(c.cursor.x(), c.cursor.y()), c.curve) << c.cursor.x() << "," << c.cursor.y();
    }
    // Of two points at one place the lower index is held.
    ASSERT_TRUE(envelope.fromText("0:0 50:50 50:50 100:0"));
    EXPECT_EQ(graph.findPointNear(at(50, 50).x(), at(50, 50).y()), 1);
}

TEST_F(EnvelopeGraphTest, MarkersSitAtTheirPointsAndTheHeldOneIsRed) {
    graph.press(at(40, 75).x(), at(40, 75).y());
    const QImage& image = graph.image();
    ASSERT_EQ(image.size(), QSize(kRight - kLeft, kBottom - kTop));
    const QRgb white = 0xFFFFFF, red = 0xFF0000;
    struct Case {
        int point;
        QRgb colour;
    } cases[] = {{1, white}, {2, red}, {3, white}};
    for (const Case& c : cases) {
        const QPoint centre = at(20.0 * c.point, 75) - QPoint(kLeft, kTop);
        // A 6 x 6 disc from px-3 to px+2; its top row is px-2 .. px+1.
        EXPECT_EQ(pixel(image, centre.x() - 3, centre.y() - 1), c.colour);
        EXPECT_EQ(pixel(image, centre.x() + 2, centre.y() + 1), c.colour);
        EXPECT_EQ(pixel(image, centre.x() - 2, centre.y() - 3), c.colour);
        EXPECT_EQ(pixel(image, centre.x() + 1, centre.y() + 2), c.colour);
        EXPECT_NE(pixel(image, centre.x() - 3, centre.y() - 3), c.colour);
        EXPECT_NE(pixel(image, centre.x() + 3, centre.y() - 1), c.colour);
        EXPECT_NE(pixel(image, centre.x(), centre.y() - 4), c.colour);
    }
    // The curve between markers is white, or red while the whole curve is held.
    EXPECT_EQ(pixel(image, at(30, 75).x() - kLeft, at(30, 75).y() - kTop), white);
    graph.release(0);
    graph.setCurveDrag(true, 0);
    graph.redraw();
    EXPECT_EQ(pixel(graph.image(), at(30, 75).x() - kLeft, at(30, 75).y() - kTop), red);
    EXPECT_EQ(pixel(graph.image(), at(20, 75).x() - kLeft, at(20, 75).y() - kTop), red);
}

// Columns of the time grid: dotted, so look at three rows between value lines.
std::set<int> timeLineColumns(const QImage& image) {
    std::set<int> columns;
    for (int x = 40; x < image.width(); ++x)
        for (int y = 17; y <= 19; ++y)
            if (pixel(image, x, y) == 0x404040) columns.insert(x);
    return columns;
}

TEST(EnvelopeGraphGrid, TimeLinesFollowTheTruncatedStep) {
    DrawingTools tools;
    Envelope envelope(EnvelopeKind::Amplitude);
    EnvelopeGraph graph(envelope, tools);
    graph.setRect(8, 20, 8 + 656, 20 + 232);  // plotW 600
    // 400 ms at 11025 Hz: 1.5 px/ms, 50 ms steps of 551 samples.
    std::set<int> expected;
    for (int m = 0; m < 4410; m += 551) expected.insert(600 * m / 4410 + 40);
    ASSERT_EQ(expected.size(), 9u);
    graph.draw(4410, 11025);
    EXPECT_EQ(timeLineColumns(graph.image()), expected);
    EXPECT_EQ(*expected.rbegin(), 639);
}

TEST(EnvelopeGraphGrid, StepFollowsPixelsPerMillisecond) {
    struct Case {
        float g;
        int step;
    } cases[] = {{25, 2},     {20, 5},     {8.5f, 5},     {8, 10},    {1.5f, 50},
                 {0.8f, 100}, {0.3f, 200}, {0.08f, 1000}, {0.1f, 500}};
    for (const Case& c : cases) EXPECT_EQ(time_grid::stepMs(c.g), c.step) << c.g;
}

TEST(EnvelopeGraphGrid, TinyOrEmptyRectanglesDrawNothingAndCrashNothing) {
    DrawingTools tools;
    Envelope envelope(EnvelopeKind::Frequency);
    EnvelopeGraph graph(envelope, tools);
    graph.setRect(8, 20, 8, 20);
    graph.draw(4410, 11025);
    EXPECT_TRUE(graph.image().isNull());
    EXPECT_EQ(graph.findPointNear(8, 20), -1);
    EXPECT_FALSE(graph.press(8, 20));
    graph.setRect(8, 20, 40, 30);  // smaller than the insets
    graph.draw(0, 0);
    EXPECT_FALSE(graph.rightClickInsert(10, 25).hit);
    graph.setCurveDrag(true, 25);
    graph.dragCurveTo(0);
    EXPECT_EQ(envelope.toText(), "0:50 20:50 40:50 60:50 80:50 100:50");
}

TEST(EnvelopeGraphLabels, FrequencyLabelsStayInsideTheGraph) {
    DrawingTools tools;
    Envelope envelope(EnvelopeKind::Frequency);
    EnvelopeGraph graph(envelope, tools);
    graph.setRect(0, 0, 600, 232);
    graph.draw(4410, 11025);
    // Column 0 stays black: no label touches the graph's left edge.
    int lit = 0, labelled = 0;
    for (int y = 0; y < 232; ++y) {
        lit += pixel(graph.image(), 0, y) != 0 ? 1 : 0;
        for (int x = 1; x < 39; ++x) labelled += pixel(graph.image(), x, y) != 0 ? 1 : 0;
    }
    EXPECT_EQ(lit, 0);
    EXPECT_GT(labelled, 100);
}

}  // namespace
