// The fast column-by-column trace against the plain walk over every sample:
// pixel for pixel, over sounds that clip, change colour from column to column,
// and fill the plot, at several sizes and device-pixel ratios.

#include "core/SoundModel.h"
#include "ui/drawing/DrawingTools.h"
#include "ui/drawing/ViewImage.h"
#include "ui/views/OutputTrace.h"

#include <QPainter>

#include <gtest/gtest.h>

#include <string>

namespace {

struct TraceCase {
    const char* name;
    const char* amplitude;
    const char* frequency;
    int waveform;
    float distort;
    float length;
    int bits;
};

const TraceCase kSounds[] = {
    {"new sound", "0:75 20:75 40:75 60:75 80:75 100:0", "0:50 20:50 40:50 60:50 80:50 100:50", 100, 0.0f, 0.2f, 8},
    {"clipping here and there", "0:100 30:20 50:100 70:0 100:100", "0:10 50:90 100:30", 200, 0.6f, 0.3f, 16},
    {"noise, full scale", "0:100 100:100", "0:50 100:50", 403, 1.0f, 0.25f, 8},
    {"sweep with a step", "0:90 40:10 40:90 100:0", "0:0 60:100 100:20", 202, 0.2f, 0.15f, 16},
};

TEST(OutputTrace, ColumnsGiveThePixelsOfTheSampleWalk) {
    DrawingTools tools;
    for (const TraceCase& c : kSounds) {
        SoundModel model;
        model.settings.resetToNew();
        ASSERT_TRUE(model.settings.amplitude.fromText(c.amplitude));
        ASSERT_TRUE(model.settings.frequency.fromText(c.frequency));
        model.settings.waveform = c.waveform;
        model.settings.distort = c.distort;
        model.settings.length = c.length;
        model.settings.bitsPerSample = c.bits;
        model.applyAll();
        const int32_t count = model.rendered.lengthSamples();
        for (const QSize size : {QSize(700, 200), QSize(1944, 611), QSize(97, 50)}) {
            for (const qreal dpr : {1.0, 2.0}) {
                SCOPED_TRACE(std::string(c.name) + " at " + std::to_string(size.width()) + " x" +
                             std::to_string(int(dpr)));
                QImage plain = view_image::create(size.width(), size.height(), dpr);
                plain.fill(Qt::black);
                QImage fast = plain.copy();
                const output_trace::Area area{40, 12, size.width() - 56, size.height() - 32};
                ASSERT_LE(area.width, count) << "the fast walk must be the one taken";
                output_trace::draw(plain, model.rendered, tools, area, count, output_trace::Walk::PerSample);
                output_trace::draw(fast, model.rendered, tools, area, count, output_trace::Walk::Fastest);
                ASSERT_EQ(fast, plain);
            }
        }
    }
}

}  // namespace

// Every join the trace draws (within a column, or on to the next one, up and
// down by any amount, running off the image's edges) has the pixels of the
// painter's one-pixel pen.
TEST(OutputTrace, JoinsHaveThePaintersPixels) {
    const QSize size(5, 48);
    const QRgb green = qRgb(0, 255, 0);
    for (int dx = 0; dx <= 1; ++dx) {
        for (const QPoint from : {QPoint(1, 20), QPoint(0, 0), QPoint(3, 47), QPoint(4, 10), QPoint(-1, 30)}) {
            for (int dy = -60; dy <= 60; ++dy) {
                const QLine line(from, from + QPoint(dx, dy));
                QImage painted(size, QImage::Format_RGB32), written(size, QImage::Format_RGB32);
                painted.fill(Qt::black);
                written.fill(Qt::black);
                {
                    QPainter p(&painted);
                    p.setPen(QPen(QColor(green), 1));
                    p.drawLine(line);
                }
                ASSERT_TRUE(output_trace::drawJoin(written, green, line)) << "went through the painter";
                ASSERT_TRUE(painted == written)
                    << "from (" << from.x() << ", " << from.y() << ") by (" << dx << ", " << dy << ")";
            }
        }
    }
}
