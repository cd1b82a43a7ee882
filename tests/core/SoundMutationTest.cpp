#include "SoundMutation.h"
#include "SoundTemplates.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

namespace {

// Float rounding of x + delta may land a hair beyond the amount.
constexpr double kSlack = 1e-6;

SoundSettings sound(const char* amplitude, const char* frequency, float length = 0.2f, float distort = 0.0f,
                    float echoVolume = 0.0f, float echoDelay = 0.0f) {
    SoundSettings s;
    EXPECT_TRUE(s.amplitude.fromText(amplitude)) << amplitude;
    EXPECT_TRUE(s.frequency.fromText(frequency)) << frequency;
    s.length = length;
    s.distort = distort;
    s.echoVolume = echoVolume;
    s.echoDelay = echoDelay;
    s.waveform = 303;
    s.repeatCount = 4;
    s.sampleRate = 44100;
    s.bitsPerSample = 16;
    return s;
}

// Sounds that reach every corner: the defaults, two-point curves, vertical
// steps (also at the ends), values and sliders at their limits, and templates.
std::vector<SoundSettings> inputs() {
    std::vector<SoundSettings> v;
    v.push_back(SoundSettings());
    v.push_back(sound("0:30 100:70", "0:0 100:100"));
    v.push_back(sound("0:0 0:100 100:100", "0:100 100:100 100:0", 1.0f, 1.0f, 1.0f, 1.0f));
    v.push_back(sound("0:50 0:80 40:80 40:20 100:20 100:0", "0:10 30:10 30:60 30:90 100:90", 0.0f, 0.5f, 0.0f, 0.3f));
    v.push_back(sound("0:50 1:60 1:70 2:80 99:10 100:0", "0:50 50:50 50:50 50:50 100:50", 0.05f));
    for (const std::string& name : sound_templates::names())
        v.push_back(*sound_templates::generate(name, 11, SoundSettings()));
    return v;
}

bool bitsEqual(const std::vector<float>& a, const std::vector<float>& b) {
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(float)) == 0;
}

void expectWithin(const char* what, double before, double after, double amount) {
    EXPECT_LE(std::fabs(after - before), amount + kSlack) << what << " " << before << " -> " << after;
    EXPECT_GE(after, 0.0) << what;
    EXPECT_LE(after, 1.0) << what;
}

void expectCurveBounds(const Envelope& before, const Envelope& after, double amount) {
    ASSERT_TRUE(after.isValid()) << after.toText();
    ASSERT_EQ(after.pointCount(), before.pointCount());
    EXPECT_EQ(after.kind(), before.kind());
    const int n = before.pointCount();
    for (int i = 0; i < n; ++i) {
        expectWithin("value", before.value(i), after.value(i), amount);
        expectWithin("time", before.time(i), after.time(i), amount);
        // A vertical step stays one.
        if (i > 0 && before.time(i) == before.time(i - 1)) {
            EXPECT_EQ(after.time(i), after.time(i - 1)) << i;
        }
    }
    EXPECT_EQ(after.time(0), 0.0f);
    EXPECT_EQ(after.time(n - 1), 1.0f);
}

}  // namespace

TEST(SoundMutation, StaysWithinTheAmountAndKeepsWhatItMustKeep) {
    for (const SoundSettings& in : inputs()) {
        for (float amount : {0.01f, 0.1f, 0.5f, 1.0f}) {
            for (uint64_t seed = 0; seed < 100; ++seed) {
                SCOPED_TRACE(in.amplitude.toText() + " / " + in.frequency.toText() + " amount " +
                             std::to_string(amount) + " seed " + std::to_string(seed));
                const SoundSettings out = sound_mutation::mutate(in, seed, amount);
                expectCurveBounds(in.amplitude, out.amplitude, amount);
                expectCurveBounds(in.frequency, out.frequency, amount);
                expectWithin("length", in.length, out.length, amount);
                expectWithin("distort", in.distort, out.distort, amount);
                expectWithin("echoVolume", in.echoVolume, out.echoVolume, amount);
                expectWithin("echoDelay", in.echoDelay, out.echoDelay, amount);
                EXPECT_EQ(out.waveform, in.waveform);
                EXPECT_EQ(out.sampleRate, in.sampleRate);
                EXPECT_EQ(out.bitsPerSample, in.bitsPerSample);
                EXPECT_EQ(out.repeatCount, in.repeatCount);
                if (::testing::Test::HasFailure()) return;
            }
        }
    }
}

// The moves use the whole amount in both directions, on values, inner times
// and sliders alike; a mutation that scaled the amount down or moved one way
// only would stay inside the bounds above and still be wrong.
TEST(SoundMutation, MovesSpanTheWholeAmount) {
    const SoundSettings in = sound("0:50 50:50 100:50", "0:50 50:50 100:50", 0.5f, 0.5f, 0.5f, 0.5f);
    const float amount = 0.2f;
    struct Range {
        const char* what;
        float (*get)(const SoundSettings&);
        double lo = 1, hi = -1;
    } ranges[] = {
        {"amplitude value", [](const SoundSettings& s) { return s.amplitude.value(1); }},
        {"amplitude time", [](const SoundSettings& s) { return s.amplitude.time(1); }},
        {"frequency value", [](const SoundSettings& s) { return s.frequency.value(0); }},
        {"frequency time", [](const SoundSettings& s) { return s.frequency.time(1); }},
        {"length", [](const SoundSettings& s) { return s.length; }},
        {"distort", [](const SoundSettings& s) { return s.distort; }},
        {"echoVolume", [](const SoundSettings& s) { return s.echoVolume; }},
        {"echoDelay", [](const SoundSettings& s) { return s.echoDelay; }},
    };
    for (uint64_t seed = 0; seed < 300; ++seed) {
        const SoundSettings out = sound_mutation::mutate(in, seed, amount);
        for (Range& r : ranges) {
            const double delta = double(r.get(out)) - 0.5;
            r.lo = std::min(r.lo, delta);
            r.hi = std::max(r.hi, delta);
        }
    }
    for (const Range& r : ranges) {
        EXPECT_LT(r.lo, -0.9 * amount) << r.what;
        EXPECT_GT(r.hi, 0.9 * amount) << r.what;
    }
    // Not the same draw for everything.
    const SoundSettings out = sound_mutation::mutate(in, 1, amount);
    EXPECT_NE(out.amplitude.value(0), out.amplitude.value(1));
    EXPECT_NE(out.length, out.distort);
}

TEST(SoundMutation, AmountZeroGivesTheSoundBitForBit) {
    for (const SoundSettings& in : inputs()) {
        for (uint64_t seed : {0ull, 1ull, 0xDEADBEEFull}) {
            const SoundSettings out = sound_mutation::mutate(in, seed, 0.0f);
            EXPECT_TRUE(bitsEqual(out.amplitude.times(), in.amplitude.times()));
            EXPECT_TRUE(bitsEqual(out.amplitude.values(), in.amplitude.values()));
            EXPECT_TRUE(bitsEqual(out.frequency.times(), in.frequency.times()));
            EXPECT_TRUE(bitsEqual(out.frequency.values(), in.frequency.values()));
            const float slidersIn[] = {in.length, in.distort, in.echoVolume, in.echoDelay};
            const float slidersOut[] = {out.length, out.distort, out.echoVolume, out.echoDelay};
            EXPECT_EQ(std::memcmp(slidersIn, slidersOut, sizeof slidersIn), 0);
            EXPECT_EQ(out, in);
        }
    }
}

TEST(SoundMutation, AmountIsClampedToZeroToOne) {
    const SoundSettings in = inputs()[3];
    struct Case {
        float amount, actsAs;
    } cases[] = {{-0.5f, 0.0f}, {-1e30f, 0.0f}, {NAN, 0.0f}, {1.5f, 1.0f}, {INFINITY, 1.0f}};
    for (const Case& c : cases) {
        for (uint64_t seed = 0; seed < 20; ++seed)
            EXPECT_EQ(sound_mutation::mutate(in, seed, c.amount), sound_mutation::mutate(in, seed, c.actsAs))
                << c.amount;
    }
}

TEST(SoundMutation, DefaultAmountIsATenth) {
    const SoundSettings in;
    EXPECT_EQ(sound_mutation::mutate(in, 5), sound_mutation::mutate(in, 5, 0.1f));
    EXPECT_NE(sound_mutation::mutate(in, 5), in);
}

TEST(SoundMutation, SlidersOutsideTheirRangeComeBackInside) {
    SoundSettings in;
    in.length = 1.7f;
    in.distort = -0.4f;
    in.echoVolume = NAN;
    in.echoDelay = 3.0f;
    const SoundSettings out = sound_mutation::mutate(in, 9, 0.05f);
    EXPECT_EQ(out.length, 1.0f);
    EXPECT_EQ(out.distort, 0.0f);
    EXPECT_EQ(out.echoVolume, 0.0f);
    EXPECT_EQ(out.echoDelay, 1.0f);
}

TEST(SoundMutation, ABrokenCurveIsLeftAsItIs) {
    SoundSettings in;
    ASSERT_TRUE(in.frequency.assign({0.0f, 0.7f, 0.3f, 1.0f}, {0.5f, 0.5f, 0.5f, 0.5f}));
    const SoundSettings out = sound_mutation::mutate(in, 3, 0.5f);
    EXPECT_EQ(out.frequency, in.frequency);
    EXPECT_NE(out.amplitude, in.amplitude);
    EXPECT_TRUE(out.amplitude.isValid());
}

// The same sound, seed and amount give this on every machine and build.
TEST(SoundMutation, GoldenMutation) {
    struct Case {
        uint64_t seed;
        float amount;
        const char* amplitude;
        const char* frequency;
        float length, distort, echoVolume, echoDelay;
    } cases[] = {
        {42, 0.1f, "0:54.8313 0:73.1982 34.3681:75.572 34.3681:16.8838 100:10.7606 100:7.36456",
         "0:16.0126 30.2679:6.79862 30.2679:62.3696 30.2679:84.098 100:89.8598", 0.00400265446f, 0.533031881f, 0.0f,
         0.220714852f},
        {7, 0.5f, "0:38.983 0:31.6788 36.7953:100 36.7953:28.293 100:15.2442 100:0",
         "0:0 71.802:0 71.802:51.3141 71.802:50.356 100:100", 0.371331751f, 0.864007652f, 0.0482873917f, 0.679613709f},
    };
    const SoundSettings in = inputs()[3];
    for (const Case& c : cases) {
        const SoundSettings out = sound_mutation::mutate(in, c.seed, c.amount);
        EXPECT_EQ(out.amplitude.toText(), c.amplitude) << c.seed;
        EXPECT_EQ(out.frequency.toText(), c.frequency) << c.seed;
        EXPECT_EQ(out.length, c.length) << c.seed;
        EXPECT_EQ(out.distort, c.distort) << c.seed;
        EXPECT_EQ(out.echoVolume, c.echoVolume) << c.seed;
        EXPECT_EQ(out.echoDelay, c.echoDelay) << c.seed;
    }
}
