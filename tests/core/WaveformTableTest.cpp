#include "core/WaveformTable.h"
#include "core/Waveforms.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

WaveformTable built(int32_t kind) {
    WaveformTable t;
    t.build(kind);
    return t;
}

}  // namespace

TEST(WaveformTable, ExactEntries) {
    struct Case {
        int32_t kind;
        int index;
        float value;
    } cases[] = {
        {200, 179, 1.0f}, {200, 180, -1.0f}, {203, 143, -1.0f}, {203, 144, 1.0f},  {203, 216, 1.0f}, {203, 217, -1.0f},
        {204, 60, 0.0f},  {204, 61, -1.0f},  {204, 119, -1.0f}, {204, 120, 0.0f},  {204, 240, 0.0f}, {204, 241, 1.0f},
        {204, 300, 0.0f}, {201, 0, 0.0f},    {201, 180, -1.0f}, {202, 0, 0.0f},    {202, 90, 1.0f},  {205, 0, 1.0f},
        {206, 359, 1.0f}, {101, 0, 0.845f},  {303, 0, 0.78f},   {304, 0, 0.7245f}, {100, 0, 0.0f},
    };
    for (const Case& c : cases) EXPECT_FLOAT_EQ(built(c.kind)[c.index], c.value) << c.kind << "[" << c.index << "]";
}

TEST(WaveformTable, ShapesAsDescribed) {
    EXPECT_NEAR(built(201)[179], 0.99444, 1e-5);
    EXPECT_NEAR(built(201)[359], -0.00556, 1e-5);
    EXPECT_NEAR(built(205)[90], -0.5, 1e-6);
    EXPECT_NEAR(built(205)[359], -0.84576, 1e-5);
    EXPECT_EQ(built(206)[0], built(205)[359]);
    // One degree is taken a little below pi/180, so the sine misses 0 at 180.
    EXPECT_NEAR(built(100)[180], 1.2e-5, 0.1e-5);
    EXPECT_NEAR(built(100)[90], 1.0, 1e-6);
    const auto peak = [](const WaveformTable& t) {
        float m = 0;
        for (float v : t.values()) m = std::max(m, std::fabs(v));
        return m;
    };
    EXPECT_NEAR(peak(built(300)), 0.9632, 1e-4);
    EXPECT_NEAR(peak(built(303)), 0.9419, 1e-4);
    const WaveformTable bassoon = built(304);
    const auto [lo, hi] = std::minmax_element(bassoon.values().begin(), bassoon.values().end());
    EXPECT_NEAR(*lo, -0.684, 1e-3);
    EXPECT_NEAR(*hi, 0.924, 1e-3);
}

TEST(WaveformTable, UnknownCodeIsSineButKeepsItsCode) {
    const WaveformTable t = built(999);
    EXPECT_EQ(t.kind(), 999);
    EXPECT_EQ(t.values(), built(100).values());
    EXPECT_EQ(waveforms::label(999), nullptr);
    EXPECT_STREQ(waveforms::label(204), "Bipolar");
}

TEST(WaveformTable, NoiseOneStartsWithTheKnownDraws) {
    const WaveformTable t = built(400);
    // Raw draws -0.83984375 then -0.86328125 (the minimum), maximum 0.94140625.
    const double mid = (-0.86328125 + 0.94140625) * 0.5, half = (0.94140625 + 0.86328125) * 0.5;
    for (int i = 0; i < 24; ++i) EXPECT_FLOAT_EQ(t[i], float((-0.83984375 - mid) / half)) << i;
    EXPECT_NEAR(t[0], -0.974026, 1e-6);
    for (int i = 24; i < 48; ++i) EXPECT_EQ(t[i], -1.0f) << i;
}

TEST(WaveformTable, EveryNoiseSpansExactlyMinusOneToOneInItsRuns) {
    const std::pair<int32_t, int> noises[] = {{400, 24}, {401, 12}, {402, 8}, {403, 4}, {404, 2}, {405, 1}};
    for (auto [kind, run] : noises) {
        const WaveformTable t = built(kind);
        const auto [lo, hi] = std::minmax_element(t.values().begin(), t.values().end());
        EXPECT_EQ(*lo, -1.0f) << kind;
        EXPECT_EQ(*hi, 1.0f) << kind;
        int changes = 0;
        for (int i = 1; i < WaveformTable::kSize; ++i) {
            if (i % run != 0) {
                EXPECT_EQ(t[i], t[i - 1]) << kind << " inside a run at " << i;
            }
            changes += t[i] != t[i - 1];
        }
        EXPECT_GT(changes, 360 / run / 2) << kind;
    }
}

TEST(WaveformTable, NoiseIsTheSameEveryTime) {
    WaveformTable t;
    t.build(400);
    const auto first = t.values();
    t.build(403);
    t.build(405);
    t.build(400);
    EXPECT_EQ(t.values(), first);
    EXPECT_NE(built(401).values(), first);
}

TEST(Waveforms, ButtonOrderHoldsEachCodeOnce) {
    const char* expected[] = {"Sine",    "Pulse",    "Bipolar", "Whistle", "Down",     "Up",
                              "Square",  "Triangle", "Saw",     "Organ",   "Clarinet", "Bassoon",
                              "Noise 1", "Noise 2",  "Noise 3", "Noise 4", "Noise 5",  "Noise 6"};
    for (size_t i = 0; i < waveforms::kButtonOrder.size(); ++i) {
        EXPECT_STREQ(waveforms::kButtonOrder[i].label, expected[i]);
        EXPECT_STREQ(waveforms::label(waveforms::kButtonOrder[i].code()), expected[i]);
    }
}
