#include "core/Envelope.h"
#include "core/FrequencyScale.h"
#include "core/SoundSettings.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

Envelope curve(const char* text, EnvelopeKind kind = EnvelopeKind::Amplitude) {
    Envelope e(kind);
    EXPECT_TRUE(e.fromText(text)) << text;
    return e;
}

}  // namespace

TEST(Envelope, ResetGivesTheSixDefaultPoints) {
    EXPECT_EQ(Envelope(EnvelopeKind::Amplitude).toText(), "0:75 20:75 40:75 60:75 80:75 100:0");
    EXPECT_EQ(Envelope(EnvelopeKind::Frequency).toText(), "0:50 20:50 40:50 60:50 80:50 100:50");
    Envelope e = curve("0:10 100:20");
    e.reset(EnvelopeKind::Frequency);
    EXPECT_EQ(e.kind(), EnvelopeKind::Frequency);
    EXPECT_EQ(e.pointCount(), 6);
    EXPECT_FLOAT_EQ(e.time(1), 0.2f);
    EXPECT_TRUE(e.isValid());
}

TEST(Envelope, DeletePoint) {
    struct Case {
        const char* before;
        int index;
        const char* after;
    } cases[] = {
        {"0:75 20:75 40:75 60:75 80:75 100:0", 0, "0:75 20:75 40:75 60:75 80:75 100:0"},
        {"0:75 20:75 40:75 60:75 80:75 100:0", 5, "0:75 20:75 40:75 60:75 80:75 100:0"},
        {"0:75 20:75 40:75 60:75 80:75 100:0", 2, "0:75 20:75 60:75 80:75 100:0"},
        {"0:10 50:90 100:20", 1, "0:10 100:20"},
        {"0:10 100:20", 1, "0:10 100:20"},
    };
    for (const Case& c : cases) {
        Envelope e = curve(c.before);
        e.deletePoint(c.index);
        EXPECT_EQ(e.toText(), c.after) << c.before << " delete " << c.index;
    }
}

TEST(Envelope, InsertPoint) {
    struct Case {
        const char* before;
        float t, v;
        bool inserted;
        const char* after;
    } cases[] = {
        {"0:75 20:75 40:75 60:75 80:75 100:0", 0.5f, 0.25f, true, "0:75 20:75 40:75 50:25 60:75 80:75 100:0"},
        {"0:75 20:75 40:75 60:75 80:75 100:0", 0.4f, 0.25f, false, "0:75 20:75 40:75 60:75 80:75 100:0"},
        {"0:75 20:75 40:75 60:75 80:75 100:0", 0.0f, 0.25f, false, "0:75 20:75 40:75 60:75 80:75 100:0"},
        {"0:10 100:20", 0.01f, 1.0f, true, "0:10 1:100 100:20"},
        // A vertical step: only the segments around it take the point.
        {"0:10 50:10 50:90 100:90", 0.75f, 0.5f, true, "0:10 50:10 50:90 75:50 100:90"},
        {"0:10 50:10 50:90 100:90", 0.5f, 0.5f, false, "0:10 50:10 50:90 100:90"},
    };
    for (const Case& c : cases) {
        Envelope e = curve(c.before);
        EXPECT_EQ(e.insertPoint(c.t, c.v), c.inserted) << c.before << " insert " << c.t;
        EXPECT_EQ(e.toText(), c.after) << c.before << " insert " << c.t;
        EXPECT_TRUE(e.isValid());
    }
}

TEST(Envelope, MovePointStaysBetweenNeighboursAndInsideTheSquare) {
    struct Case {
        int index;
        float t, v;
        const char* after;
    } cases[] = {
        {0, 0.3f, 0.5f, "0:50 20:75 40:75 60:75 80:75 100:0"},   // first keeps time 0
        {5, 0.1f, 0.9f, "0:75 20:75 40:75 60:75 80:75 100:90"},  // last keeps time 1
        {2, 0.1f, 0.5f, "0:75 20:75 20:50 60:75 80:75 100:0"},   // stops at the left neighbour
        {2, 0.9f, 0.5f, "0:75 20:75 60:50 60:75 80:75 100:0"},   // stops at the right neighbour
        {2, 0.5f, 1.5f, "0:75 20:75 50:100 60:75 80:75 100:0"},  // above the top
        {3, -2.0f, -1.0f, "0:75 20:75 40:75 40:0 80:75 100:0"},  // below and before everything
    };
    for (const Case& c : cases) {
        Envelope e(EnvelopeKind::Amplitude);
        e.movePoint(c.index, c.t, c.v);
        EXPECT_EQ(e.toText(), c.after) << "move " << c.index;
        EXPECT_TRUE(e.isValid());
    }
}

TEST(Envelope, ShiftValuesStopsAtTheLimits) {
    struct Case {
        const char* before;
        float dv;
        const char* after;
    } cases[] = {
        {"0:20 100:90", 0.5f, "0:30 100:100"},
        {"0:0 50:40 100:90", -1.0f, "0:0 50:40 100:90"},
        {"0:30 50:40 100:90", -0.5f, "0:0 50:10 100:60"},
        {"0:30 100:60", 0.25f, "0:55 100:85"},
    };
    for (const Case& c : cases) {
        Envelope e = curve(c.before);
        e.shiftValues(c.dv);
        Envelope expected = curve(c.after);
        ASSERT_EQ(e.pointCount(), expected.pointCount());
        for (int i = 0; i < e.pointCount(); ++i) EXPECT_NEAR(e.value(i), expected.value(i), 1e-6) << c.before;
        EXPECT_TRUE(e.isValid()) << c.before;
    }
}

TEST(Envelope, TextRejectsMalformedInput) {
    Envelope e(EnvelopeKind::Amplitude);
    for (const char* bad : {"", "0:50", "0:50 100", "0:50 x:1", "0:50 100:1y", "0;50 100:0"})
        EXPECT_FALSE(e.fromText(bad)) << bad;
    EXPECT_EQ(e.toText(), "0:75 20:75 40:75 60:75 80:75 100:0");
}

TEST(Envelope, ValidityCatchesEveryBrokenInvariant) {
    for (const char* bad : {"10:50 100:50", "0:50 90:50", "0:50 60:50 40:50 100:50", "0:50 100:101", "0:-1 100:50"})
        EXPECT_FALSE(curve(bad).isValid()) << bad;
    EXPECT_TRUE(curve("0:0 0:100 100:100").isValid());
}

TEST(SoundSettings, LengthMs) {
    const std::pair<float, double> cases[] = {{0.0f, 20.0}, {0.04f, 20.0}, {1.0f, 10000.0}};
    for (auto [length, ms] : cases) EXPECT_DOUBLE_EQ(lengthMs(length), ms) << length;
    EXPECT_NEAR(lengthMs(0.2f), 400.0, 1e-4);
}

TEST(SoundSettings, NewSoundKeepsTheWidth) {
    SoundSettings s;
    s.bitsPerSample = 16;
    s.sampleRate = 44100;
    s.waveform = 405;
    s.repeatCount = 7;
    s.amplitude.deletePoint(2);
    s.resetToNew();
    EXPECT_EQ(s.bitsPerSample, 16);
    EXPECT_EQ(s.sampleRate, 11025);
    EXPECT_EQ(s.waveform, 100);
    EXPECT_EQ(s.repeatCount, 1);
    EXPECT_EQ(s.amplitude.toText(), "0:75 20:75 40:75 60:75 80:75 100:0");
    EXPECT_FLOAT_EQ(s.length, 0.2f);
}

TEST(FrequencyScale, LabelsAndInverse) {
    const std::pair<float, double> cases[] = {{0.0f, 10.0},  {0.2f, 34.4},   {0.4f, 118.6}, {0.5f, 220.0},
                                              {0.6f, 408.2}, {0.8f, 1405.6}, {1.0f, 4840.0}};
    for (auto [v, hz] : cases) {
        EXPECT_NEAR(frequency_scale::toHz(v), hz, 0.05) << v;
        EXPECT_NEAR(frequency_scale::fromHz(frequency_scale::toHz(v)), v, 1e-6) << v;
    }
    EXPECT_EQ(frequency_scale::fromHz(5.0), 0.0f);
    EXPECT_EQ(frequency_scale::fromHz(0.0), 0.0f);
    EXPECT_EQ(frequency_scale::fromHz(-3.0), 0.0f);
    EXPECT_EQ(frequency_scale::fromHz(100000.0), 1.0f);
}

TEST(Envelope, ValueAtFollowsTheSegmentsLikeTheRenderer) {
    struct Case {
        const char* curve;
        float t, value;
    } cases[] = {
        {"0:10 100:30", 0.0f, 0.1f},
        {"0:10 100:30", 0.5f, 0.2f},
        {"0:10 100:30", 1.0f, 0.3f},
        {"0:75 20:75 40:75 60:75 80:75 100:0", 0.9f, 0.375f},
        // On a vertical step the earlier value counts, just after it the later.
        {"0:10 50:10 50:90 100:90", 0.5f, 0.1f},
        {"0:10 50:10 50:90 100:90", 0.75f, 0.9f},
        {"0:20 0:80 100:80", 0.0f, 0.2f},
        {"0:20 0:80 100:80", 0.5f, 0.8f},
        {"0:20 100:20 100:90", 1.0f, 0.2f},
        // Outside the curve: the end values.
        {"0:20 100:20 100:90", 2.0f, 0.9f},
        {"0:40 100:60", -1.0f, 0.4f},
    };
    for (const Case& c : cases) EXPECT_FLOAT_EQ(curve(c.curve).valueAt(c.t), c.value) << c.curve << " at " << c.t;
}

// A copy shares the arrays; each edit of the copy makes only the arrays it
// changes its own, and never touches the original.
TEST(Envelope, CopiesShareTheArraysUntilAnEditChangesThem) {
    const char* const base = "0:10 30:40 70:60 100:20";
    struct Case {
        const char* edit;
        std::function<void(Envelope&)> apply;
        bool timesShared, valuesShared;
    } cases[] = {
        {"nothing", [](Envelope&) {}, true, true},
        {"a refused insert", [](Envelope& e) { e.insertPoint(0.3f, 0.5f); }, true, true},
        {"deleting the first point", [](Envelope& e) { e.deletePoint(0); }, true, true},
        {"a move to where the point is", [](Envelope& e) { e.movePoint(1, 0.3f, 0.4f); }, true, true},
        {"a value-only move", [](Envelope& e) { e.movePoint(1, 0.3f, 0.9f); }, true, false},
        {"an end point pushed sideways", [](Envelope& e) { e.movePoint(3, 0.5f, 0.5f); }, true, false},
        {"a time-only move", [](Envelope& e) { e.movePoint(2, 0.5f, 0.6f); }, false, true},
        {"a move", [](Envelope& e) { e.movePoint(2, 0.5f, 0.9f); }, false, false},
        {"a shift", [](Envelope& e) { e.shiftValues(0.1f); }, true, false},
        {"an insert", [](Envelope& e) { e.insertPoint(0.5f, 0.5f); }, false, false},
        {"a delete", [](Envelope& e) { e.deletePoint(1); }, false, false},
        {"a reset", [](Envelope& e) { e.reset(); }, false, false},
        {"an assign",
         [](Envelope& e) {
             e.assign({0.0f, 1.0f}, {0.5f, 0.5f});
         },
         false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.edit);
        const Envelope original = curve(base);
        Envelope copy = original;
        c.apply(copy);
        EXPECT_EQ(original.toText(), base);
        EXPECT_EQ(copy.times().data() == original.times().data(), c.timesShared);
        EXPECT_EQ(copy.values().data() == original.values().data(), c.valuesShared);
        // The cost of keeping the copy: nothing while all is shared, all of
        // it once nothing is.
        const size_t apart = copy.bytesApartFrom(original);
        EXPECT_EQ(apart == 0, c.timesShared && c.valuesShared);
        EXPECT_EQ(apart == copy.bytes(), !c.timesShared && !c.valuesShared);
        EXPECT_LE(apart, copy.bytes());
        // A second edit of the copy that owns its arrays copies nothing more.
        const float* times = copy.times().data();
        copy.movePoint(copy.pointCount() - 1, 1.0f, 0.0f);
        EXPECT_EQ(copy.times().data(), times);
        EXPECT_EQ(original.toText(), base);
    }
}
