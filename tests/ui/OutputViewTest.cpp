#include "core/SoundModel.h"
#include "ui/drawing/DrawingTools.h"
#include "ui/drawing/TimeGrid.h"
#include "ui/views/OutputView.h"

#include <QFontMetrics>
#include <QPainter>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include <set>

namespace {

QRgb pixel(const QImage& image, int x, int y) { return image.pixel(x, y) & 0xFFFFFF; }

int countColour(const QImage& image, QRgb colour) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) n += pixel(image, x, y) == colour ? 1 : 0;
    return n;
}

// Columns of the dotted time ticks, looked for between the first two level lines.
std::set<int> tickColumns(const QImage& image) {
    std::set<int> columns;
    for (int x = 40; x < image.width(); ++x)
        for (int y = 13; y <= 15; ++y)
            if (pixel(image, x, y) == 0x404040) columns.insert(x);
    return columns;
}

class OutputViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        model.newSound();
        view.setRect(8, 374, 8 + 556, 374 + 300);  // f = 500, d = 268
    }
    DrawingTools tools;
    SoundModel model;
    OutputView view{model.rendered, tools};
};

TEST_F(OutputViewTest, FullScaleSquareIsRedWhereClippedOnly) {
    struct Case {
        const char* amplitude;
        int bits;
        bool red;
    } cases[] = {
        {"0:100 100:100", 8, true}, {"0:100 100:100", 16, true}, {"0:75 100:75", 8, false}, {"0:75 100:75", 16, false}};
    for (const Case& c : cases) {
        ASSERT_TRUE(model.settings.amplitude.fromText(c.amplitude));
        model.settings.waveform = 200;
        model.settings.bitsPerSample = c.bits;
        model.applyAll();
        view.draw();
        const QImage& image = view.image();
        EXPECT_EQ(countColour(image, 0xFF0000) > 0, c.red) << c.amplitude << " " << c.bits;
        // Every column of a full-scale square holds clipped samples: no green is left then.
        EXPECT_EQ(countColour(image, 0x00FF00) > 0, !c.red) << c.amplitude << " " << c.bits;
        if (c.red) {
            // Full positive scale is the top of the data area.
            bool topIsRed = false;
            for (int x = 40; x < 540; ++x) topIsRed = topIsRed || pixel(image, x, 12) == 0xFF0000;
            EXPECT_TRUE(topIsRed) << c.bits;
        }
    }
}

TEST_F(OutputViewTest, TimeTicksUseTheTruncatedStep) {
    struct Case {
        float length;  // slider position
        int rate;
        int count;
        int last;
    } cases[] = {
        {0.2f, 11025, 9, 539},   // 400 ms: 50 ms steps of 551 samples
        {1.0f, 11025, 10, 490},  // 10 s: 1 s steps, no tick at 10 s
    };
    for (const Case& c : cases) {
        model.settings.length = c.length;
        model.settings.sampleRate = c.rate;
        model.applyAll();
        view.draw();
        const std::set<int> ticks = tickColumns(view.image());
        EXPECT_EQ(static_cast<int>(ticks.size()), c.count) << c.length;
        ASSERT_FALSE(ticks.empty());
        EXPECT_EQ(*ticks.begin(), 40);
        EXPECT_EQ(*ticks.rbegin(), c.last) << c.length;
    }
}

// The trace drawn the plain way, sample by sample, with a division per sample
// and each column's extent drawn in the direction the samples took.
void referenceTrace(QImage& image, const RenderedSound& sound, const DrawingTools& tools) {
    const int f = image.width() - 56, d = image.height() - 32;
    const int32_t count = std::min(sound.lengthSamples(), sound.sampleCount());
    const bool wide = sound.bits() == 16;
    auto yOf = [&](int32_t j) {
        const int s = sound.sampleAt(j);
        return wide ? 12 + ((32768 - s) * d) / 65536 : 12 + ((255 - (s + 128)) * d) / 256;
    };
    auto clipped = [&](int32_t j) {
        const int s = sound.sampleAt(j);
        return wide ? (s >= 32767 || s <= -32767) : (s + 128 <= 1 || s + 128 == 255);
    };
    QPainter p(&image);
    int prevX = 40, lastY = yOf(0), minY = lastY, maxY = lastY, merged = 0;
    bool mark = false;
    for (int32_t j = 1; j < count; ++j) {
        if (clipped(j)) mark = true;
        const int x = 40 + static_cast<int>(static_cast<int64_t>(j) * f / count), y = yOf(j);
        if (x > prevX) {
            p.setPen(mark ? tools.redPen : tools.greenPen);
            if (merged > 0) {
                if (lastY == minY)
                    p.drawLine(prevX, maxY, prevX, minY);
                else
                    p.drawLine(prevX, minY, prevX, maxY);
            }
            p.drawLine(prevX, lastY, x, y);
            minY = maxY = y;
            merged = 0;
            mark = false;
        } else {
            minY = std::min(minY, y);
            maxY = std::max(maxY, y);
            ++merged;
        }
        prevX = x;
        lastY = y;
    }
    if (merged > 0) {
        p.setPen(mark ? tools.redPen : tools.greenPen);
        p.drawLine(prevX, minY, prevX, maxY);
    }
}

TEST_F(OutputViewTest, FastTraceGivesThePixelsOfThePlainOne) {
    struct Case {
        int waveform;
        const char* amplitude;
        float length;
        int rate;
        int bits;
        float distort;
    } cases[] = {
        {100, "0:75 20:75 40:75 60:75 80:75 100:0", 0.2f, 11025, 8, 0},  // many samples per column
        {200, "0:100 100:100", 0.2f, 44100, 16, 0},                      // clipped throughout
        {100, "0:100 50:20 100:100", 0.0f, 11025, 8, 0},                 // 220 samples on 500 columns
        {402, "0:90 100:90", 0.5f, 22050, 16, 0.6f},                     // noise, partly clipped
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(model.settings.amplitude.fromText(c.amplitude));
        model.settings.waveform = c.waveform;
        model.settings.length = c.length;
        model.settings.sampleRate = c.rate;
        model.settings.bitsPerSample = c.bits;
        model.settings.distort = c.distort;
        model.applyAll();
        QImage fast(556, 300, QImage::Format_RGB32), plain(556, 300, QImage::Format_RGB32);
        fast.fill(Qt::black);
        plain.fill(Qt::black);
        OutputView::paintTrace(fast, model.rendered, tools);
        referenceTrace(plain, model.rendered, tools);
        EXPECT_GT(countColour(fast, 0x00FF00) + countColour(fast, 0xFF0000), 500);
        EXPECT_EQ(fast, plain) << c.waveform << " " << c.bits;
    }
}

TEST(OutputViewTicks, StepAndLabels) {
    struct Case {
        float pixelsPerMs;
        int step;
        int m;
        const char* label;
    } cases[] = {
        {1.25f, 50, 400, "400ms"},          {0.05f, 1000, 9000, "9s"}, {500.0f / 3000, 500, 2500, "2.5s"},
        {500.0f / 3000, 500, 3000, "3.0s"}, {25.0f, 2, 6, "6ms"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(time_grid::stepMs(c.pixelsPerMs), c.step) << c.pixelsPerMs;
        EXPECT_EQ(OutputView::tickLabel(c.m, c.step), c.label);
    }
}

// Time axes that crowd their labels: the editor's plot at window widths 1152
// and 2000, and plots 2000 and more pixels wide.
struct AxisCase {
    int width;
    float lengthMs;
    int rate;
    const char* lastLabel;  // the rightmost label drawn
};
const AxisCase kAxisCases[] = {
    {888, 1000, 11025, "1000ms"},   // window 1152 wide: once "950ms1000ms"
    {1736, 2100, 11025, "2100ms"},  // window 2000 wide
    {2000, 2100, 11025, "2100ms"},  // every label touched the next
    {2000, 1000, 44100, "950ms"},  {3000, 7000, 22050, "6800ms"}, {556, 400, 11025, "400ms"},
    {556, 3000, 11025, "3.0s"},    {556, 10000, 11025, "9s"},     {300, 20, 44100, "20ms"},
    {1200, 20, 11025, "18ms"},     {70, 400, 11025, "0s"},        {80, 1100, 11025, "0s"},  // "1s" would run into "0s"
};

std::string what(const AxisCase& c) {
    return std::to_string(c.width) + " px, " + std::to_string(static_cast<int>(c.lengthMs)) + " ms";
}

int32_t mainPart(const AxisCase& c) { return static_cast<int32_t>(static_cast<float>(c.rate) * c.lengthMs * 0.001f); }

TEST(OutputViewTicks, LabelsKeepAGapAndStayWhole) {
    const DrawingTools tools;
    QImage image(100, 300, QImage::Format_RGB32);  // the device the plot draws on
    const QFontMetrics metrics(tools.smallFont, &image);
    const int gap = metrics.horizontalAdvance(QLatin1Char('0'));
    const int levelLabelRight = 34;  // "-1.0" ends here, right-aligned, beside the first time label
    for (const AxisCase& c : kAxisCases) {
        const std::vector<OutputView::TimeTick> ticks =
            OutputView::timeTicks(QSize(c.width, 300), mainPart(c), c.rate, c.lengthMs, metrics);
        ASSERT_FALSE(ticks.empty()) << what(c);
        std::vector<QRect> drawn;
        std::string lastLabel;
        for (const OutputView::TimeTick& tick : ticks) {
            if (tick.box.isNull()) continue;
            EXPECT_EQ(tick.box.width(), metrics.horizontalAdvance(tick.label)) << what(c);
            EXPECT_EQ(tick.box.top(), 300 - 18) << what(c);
            EXPECT_GE(tick.box.left(), levelLabelRight + gap) << what(c) << " " << tick.label.toStdString();
            EXPECT_LT(tick.box.right(), c.width - 1) << what(c) << " " << tick.label.toStdString();
            if (!drawn.empty()) {
                EXPECT_GE(tick.box.left() - drawn.back().right() - 1, gap)
                    << what(c) << " " << tick.label.toStdString();
            }
            drawn.push_back(tick.box);
            lastLabel = tick.label.toStdString();
        }
        EXPECT_EQ(lastLabel, c.lastLabel) << what(c);
        EXPECT_FALSE(ticks.front().box.isNull()) << what(c);  // the axis starts labelled
        // One step along the whole axis: every k-th tick has its label, and
        // with a step one tick shorter two labels would touch.
        size_t step = 0;
        while (step + 1 < ticks.size() && ticks[step + 1].box.isNull()) ++step;
        ++step;
        for (size_t i = 0; i < ticks.size(); ++i)
            EXPECT_EQ(ticks[i].box.isNull(), i % step != 0) << what(c) << ": tick " << i;
        if (step > 1) {
            // Where a label goes: centred, but clear of "-1.0" and whole at the right.
            auto placed = [&](size_t i) {
                const int width = metrics.horizontalAdvance(ticks[i].label);
                const int left = std::max(levelLabelRight + gap, std::min(ticks[i].x - width / 2, c.width - 1 - width));
                return QRect(left, 0, width, 1);
            };
            bool touches = false;
            for (size_t i = step - 1; i < ticks.size(); i += step - 1)
                touches = touches || placed(i - (step - 1)).right() + gap >= placed(i).left() ||
                          placed(i).right() > c.width - 2;
            EXPECT_TRUE(touches) << what(c) << ": a step of " << step - 1 << " ticks would do";
        }
    }
}

// The painted label row, column by column: the runs of ink are the labels
// laid out, "-1.0" first, each apart from the next.
TEST(OutputViewTicks, PaintedLabelsAreSeparateRuns) {
    const DrawingTools tools;
    for (const AxisCase& c : kAxisCases) {
        RenderedSound sound;
        ASSERT_TRUE(sound.setSampleRate(c.rate));
        ASSERT_TRUE(sound.setLength(c.lengthMs, 0.0f));
        WaveformTable table;
        table.build(100);
        const Envelope amplitude(EnvelopeKind::Amplitude), frequency(EnvelopeKind::Frequency);
        sound.render(table, amplitude, frequency, 0, 0, 0);
        QImage image(c.width, 300, QImage::Format_RGB32);
        OutputView::paint(image, sound, tools);

        // Below the data area only labels are drawn.
        std::vector<QRect> runs;
        int blank = 3;
        for (int x = 0; x < image.width(); ++x) {
            bool ink = false;
            for (int y = 300 - 18; y < 300 && !ink; ++y) ink = pixel(image, x, y) != 0;
            if (!ink) {
                ++blank;
                continue;
            }
            if (blank >= 3)
                runs.emplace_back(x, 0, 1, 1);
            else
                runs.back().setRight(x);
            blank = 0;
        }
        const QFontMetrics metrics(tools.smallFont, &image);
        std::vector<QRect> boxes;
        for (const OutputView::TimeTick& tick :
             OutputView::timeTicks(image.size(), sound.lengthSamples(), c.rate, c.lengthMs, metrics))
            if (!tick.box.isNull()) boxes.push_back(tick.box);
        ASSERT_EQ(runs.size(), boxes.size() + 1) << what(c);
        EXPECT_LT(runs.front().right(), 34) << what(c);
        for (size_t i = 0; i < boxes.size(); ++i) {
            EXPECT_GE(runs[i + 1].left(), boxes[i].left() - 1) << what(c) << " label " << i;
            EXPECT_LE(runs[i + 1].right(), boxes[i].right() + 1) << what(c) << " label " << i;
        }
    }
}

TEST(OutputViewEdges, MainPartLongerThanTheBufferIsReadOnlyAsFarAsItGoes) {
    DrawingTools tools;
    RenderedSound sound;
    ASSERT_TRUE(sound.setLength(400.0f, -0.2f));  // a negative delay from a broken file: N < W
    ASSERT_LT(sound.sampleCount(), sound.lengthSamples());
    WaveformTable table;
    table.build(200);
    Envelope amplitude(EnvelopeKind::Amplitude), frequency(EnvelopeKind::Frequency);
    sound.render(table, amplitude, frequency, 0, -0.2f, 0);
    OutputView view(sound, tools);
    view.setRect(0, 0, 556, 300);
    view.draw();
    // The trace covers only the samples that exist: x = 40 + N * 500 / N.
    const QImage& image = view.image();
    int lastGreen = 0;
    for (int x = 0; x < image.width(); ++x)
        for (int y = 12; y < 280; ++y)
            if (pixel(image, x, y) == 0x00FF00) lastGreen = x;
    EXPECT_GT(lastGreen, 40);
    EXPECT_LE(lastGreen, 540);
}

TEST(OutputViewEdges, EmptyAndTinyPlotsDrawNothing) {
    DrawingTools tools;
    RenderedSound sound;
    OutputView view(sound, tools);
    view.setRect(0, 0, 0, 0);
    view.draw();
    EXPECT_TRUE(view.image().isNull());
    view.setRect(0, 0, 50, 20);
    view.draw();
    EXPECT_EQ(countColour(view.image(), 0x000000), 50 * 20);
    EXPECT_TRUE(view.contains(49, 19));
    EXPECT_FALSE(view.contains(50, 10));
}

}  // namespace
