#include "ui/editor/WindowLayout.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace {

struct Edges {
    int left, top, right, bottom;
};

Edges edges(const QRect& r) { return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()}; }

void expectEdges(const QRect& r, Edges e, const char* what) {
    const Edges got = edges(r);
    EXPECT_EQ(got.left, e.left) << what;
    EXPECT_EQ(got.top, e.top) << what;
    EXPECT_EQ(got.right, e.right) << what;
    EXPECT_EQ(got.bottom, e.bottom) << what;
}

struct LayoutCase {
    int w, h;
    int g;
    Edges amplitude, frequency, output, waveform;
    Edges firstWaveformButton, lastWaveformButton;
    Edges firstSlider, lastSlider;
    Edges firstRepeats, lastRepeats;
    Edges lastRate, lastBits;
};

void PrintTo(const LayoutCase& c, std::ostream* os) { *os << c.w << "x" << c.h; }

class WindowLayoutTable : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(WindowLayoutTable, PlacesEveryItemByTheFormulas) {
    const LayoutCase& c = GetParam();
    const WindowLayout l = WindowLayout::compute(QSize(c.w, c.h));
    EXPECT_EQ(l.graphHeight, c.g);
    expectEdges(l.amplitude, c.amplitude, "amplitude graph");
    expectEdges(l.frequency, c.frequency, "frequency graph");
    expectEdges(l.output, c.output, "output plot");
    expectEdges(l.waveform, c.waveform, "waveform plot");
    expectEdges(l.waveformButtons.front(), c.firstWaveformButton, "Sine");
    expectEdges(l.waveformButtons.back(), c.lastWaveformButton, "Noise 6");
    expectEdges(l.sliders.front(), c.firstSlider, "Length slider");
    expectEdges(l.sliders.back(), c.lastSlider, "Echo Delay slider");
    expectEdges(l.repeatsButtons.front(), c.firstRepeats, "repeats 1");
    expectEdges(l.repeatsButtons.back(), c.lastRepeats, "repeats 10");
    expectEdges(l.rateButtons.back(), c.lastRate, "44KHz");
    expectEdges(l.bitsButtons.back(), c.lastBits, "16 bit");
}

INSTANTIATE_TEST_SUITE_P(ClientSizes, WindowLayoutTable,
                         ::testing::Values(
                             // 540 high: g = 157, graphs at 20-177, 197-354, 374-531; rate row 480-504, bits 508-532.
                             LayoutCase{800,
                                        540,
                                        157,
                                        {8, 20, 544, 177},
                                        {8, 197, 544, 354},
                                        {8, 374, 544, 531},
                                        {552, 20, 792, 180},
                                        {553, 182, 631, 206},
                                        {713, 312, 791, 336},
                                        {552, 344, 610, 407},
                                        {732, 344, 790, 407},
                                        {553, 430, 575, 454},
                                        {769, 430, 791, 454},
                                        {713, 480, 791, 504},
                                        {633, 508, 711, 532}},
                             // The right column keeps its top rows; the sliders stretch and the
                             // bottom rows follow the bottom edge. (2000 - 68) / 3 = 644.
                             LayoutCase{2000,
                                        2000,
                                        644,
                                        {8, 20, 1744, 664},
                                        {8, 684, 1744, 1328},
                                        {8, 1348, 1744, 1992},
                                        {1752, 20, 1992, 180},
                                        {1753, 182, 1831, 206},
                                        {1913, 312, 1991, 336},
                                        {1752, 344, 1810, 1867},
                                        {1932, 344, 1990, 1867},
                                        {1753, 1890, 1775, 1914},
                                        {1969, 1890, 1991, 1914},
                                        {1913, 1940, 1991, 1964},
                                        {1833, 1968, 1911, 1992}},
                             // g truncates: (601 - 68) / 3 = 177.67 -> 177.
                             LayoutCase{1001,
                                        601,
                                        177,
                                        {8, 20, 745, 197},
                                        {8, 217, 745, 394},
                                        {8, 414, 745, 591},
                                        {753, 20, 993, 180},
                                        {754, 182, 832, 206},
                                        {914, 312, 992, 336},
                                        {753, 344, 811, 468},
                                        {933, 344, 991, 468},
                                        {754, 491, 776, 515},
                                        {970, 491, 992, 515},
                                        {914, 541, 992, 565},
                                        {834, 569, 912, 593}}),
                         [](const ::testing::TestParamInfo<LayoutCase>& info) {
                             return "Client" + std::to_string(info.param.w) + "x" + std::to_string(info.param.h);
                         });

TEST(WindowLayout, WaveformButtonsRunRowByRowInThreeColumns) {
    const WindowLayout l = WindowLayout::compute(QSize(1000, 700));
    for (int i = 0; i < WindowLayout::kWaveformButtons; ++i) {
        const QRect& r = l.waveformButtons[static_cast<size_t>(i)];
        EXPECT_EQ(r.left(), 753 + 80 * (i % 3)) << i;
        EXPECT_EQ(r.top(), 182 + 26 * (i / 3)) << i;
        EXPECT_EQ(r.size(), QSize(78, 24)) << i;
    }
}

TEST(WindowLayout, TitlesStandAboveTheirItems) {
    const WindowLayout l = WindowLayout::compute(QSize(800, 540));
    const std::pair<const char*, QPoint> expected[] = {
        {"Amplitude", {8, 3}},  {"Frequency", {8, 180}}, {"Output", {8, 357}},
        {"Waveform", {552, 3}}, {"Repeats", {552, 412}}, {"Quality", {552, 462}},
    };
    ASSERT_EQ(l.titles.size(), std::size(expected));
    for (size_t i = 0; i < l.titles.size(); ++i) {
        EXPECT_EQ(l.titles[i].text, QLatin1String(expected[i].first));
        EXPECT_EQ(l.titles[i].topLeft, expected[i].second) << expected[i].first;
    }
}

TEST(WindowLayout, TooSmallAClientGivesEmptyRectanglesNeverNegativeOnes) {
    for (const QSize size : {QSize(0, 0), QSize(100, 50), QSize(300, 90)}) {
        const WindowLayout l = WindowLayout::compute(size);
        const bool tooNarrow = size.width() <= 264;  // the graphs end 256 short of the right edge
        for (const QRect& r : {l.amplitude, l.frequency, l.output}) {
            EXPECT_EQ(r.isEmpty(), tooNarrow) << size.width() << "x" << size.height();
            EXPECT_GE(r.width(), 0);
            EXPECT_GE(r.height(), 0);
        }
        for (const QRect& r : l.sliders) EXPECT_GE(r.height(), 0);
    }
}

}  // namespace
