#include "core/FrequencyScale.h"
#include "core/SoundMutation.h"
#include "core/SoundTemplates.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <ostream>
#include <string>
#include <utility>

namespace {

// Float rounding of a moved value may land a hair beyond its bound.
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
// steps (also at the ends), values and sliders at their limits, an echo
// delay without an echo; then every template on several seeds.
const std::vector<SoundSettings>& bases() {
    static const std::vector<SoundSettings> v = [] {
        std::vector<SoundSettings> b;
        b.push_back(SoundSettings());
        b.push_back(sound("0:30 100:70", "0:0 100:100"));
        b.push_back(sound("0:0 0:100 100:100", "0:100 100:100 100:0", 1.0f, 1.0f, 1.0f, 1.0f));
        b.push_back(
            sound("0:50 0:80 40:80 40:20 100:20 100:0", "0:10 30:10 30:60 30:90 100:90", 0.0f, 0.5f, 0.0f, 0.3f));
        b.push_back(sound("0:50 1:60 1:70 2:80 99:10 100:0", "0:50 50:50 50:50 50:50 100:50", 0.05f));
        for (const std::string& name : sound_templates::names())
            for (uint64_t seed : {1ull, 11ull, 12ull, 13ull, 0xFEEDull})
                b.push_back(*sound_templates::generate(name, seed, SoundSettings()));
        return b;
    }();
    return v;
}

bool bitsEqual(const std::vector<float>& a, const std::vector<float>& b) {
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(float)) == 0;
}

// A factor's size in octaves.
double octaves(double before, double after) { return std::fabs(std::log2(after / before)); }

// Empty when `after` lies within a factor of 2^amount of `before` and in 0..1
// (a zero staying zero).
std::string scaledWithin(const char* what, double before, double after, double amount) {
    if (!(after >= 0.0 && after <= 1.0)) return std::string(what) + " left 0..1";
    if (before == 0.0) return after == 0.0 ? "" : std::string(what) + " left 0";
    if (octaves(before, after) > amount + kSlack) return std::string(what) + " moved by more than 2^amount";
    return {};
}

// The groups of points that share one time, as [begin, end) index pairs.
std::vector<std::pair<int, int>> groups(const Envelope& e) {
    std::vector<std::pair<int, int>> g;
    for (int i = 0; i < e.pointCount(); ++i) {
        if (g.empty() || e.time(i) != e.time(g.back().first))
            g.push_back({i, i + 1});
        else
            g.back().second = i + 1;
    }
    return g;
}

std::string timesWithin(const char* what, const Envelope& before, const Envelope& after, double amount) {
    if (!after.isValid()) return std::string(what) + " invalid: " + after.toText();
    const auto g = groups(before);
    // The ends stay; a vertical step moves as one; below an amount of 1 no two
    // groups meet, so the order stays strict.
    if (amount < 1.0 && groups(after) != g) return std::string(what) + " groups changed: " + after.toText();
    for (size_t k = 1; k + 1 < g.size(); ++k) {
        const double t = before.time(g[k].first);
        const double room = std::min(t - before.time(g[k - 1].first), before.time(g[k + 1].first) - t);
        for (int i = g[k].first; i < g[k].second; ++i)
            if (std::fabs(after.time(i) - t) > amount * room + kSlack)
                return std::string(what) + " time of point " + std::to_string(i) + " moved too far";
    }
    return {};
}

// One rule of the mutation; empty when `after`, made from `before` with
// `amount`, keeps it.
struct Bound {
    const char* name;
    std::string (*check)(const SoundSettings& before, const SoundSettings& after, double amount);
};

void PrintTo(const Bound& b, std::ostream* os) { *os << b.name; }

const Bound kBounds[] = {
    {"LengthByAtMostAFactorOfTwoToTheAmount",
     [](const SoundSettings& in, const SoundSettings& out, double a) -> std::string {
         if (!(out.length >= 0.0f && out.length <= 1.0f)) return "length left 0..1";
         if (octaves(lengthMs(in.length), lengthMs(out.length)) > a + kSlack) return "duration moved too far";
         return {};
     }},
    {"AmplitudeValuesByAtMostAFactorNeverAboveOne",
     [](const SoundSettings& in, const SoundSettings& out, double a) -> std::string {
         if (out.amplitude.pointCount() != in.amplitude.pointCount()) return "point count changed";
         for (int i = 0; i < in.amplitude.pointCount(); ++i) {
             const std::string e = scaledWithin("amplitude", in.amplitude.value(i), out.amplitude.value(i), a);
             if (!e.empty()) return e + " at point " + std::to_string(i);
         }
         return {};
     }},
    {"FrequencyPointsByAtMostTwelveSemitonesTimesTheAmount",
     [](const SoundSettings& in, const SoundSettings& out, double a) -> std::string {
         if (out.frequency.pointCount() != in.frequency.pointCount()) return "point count changed";
         for (int i = 0; i < in.frequency.pointCount(); ++i) {
             const float v = out.frequency.value(i);
             if (!(v >= 0.0f && v <= 1.0f)) return "frequency left 0..1";
             const double semitones =
                 12.0 * octaves(frequency_scale::toHz(in.frequency.value(i)), frequency_scale::toHz(v));
             if (semitones > 12.0 * a + 1e-4) return "pitch of point " + std::to_string(i) + " moved too far";
         }
         return {};
     }},
    {"InnerTimesByAtMostTheAmountOfTheRoomToTheNearerNeighbour",
     [](const SoundSettings& in, const SoundSettings& out, double a) -> std::string {
         const std::string e = timesWithin("amplitude", in.amplitude, out.amplitude, a);
         return e.empty() ? timesWithin("frequency", in.frequency, out.frequency, a) : e;
     }},
    {"DistortAndEchoVolumeByAtMostAFactorOffStaysOff",
     [](const SoundSettings& in, const SoundSettings& out, double a) -> std::string {
         const std::string e = scaledWithin("distort", in.distort, out.distort, a);
         return e.empty() ? scaledWithin("echoVolume", in.echoVolume, out.echoVolume, a) : e;
     }},
    {"EchoDelayByAtMostAFactorAndOnlyWithAnEcho",
     [](const SoundSettings& in, const SoundSettings& out, double a) -> std::string {
         if (in.echoVolume > 0.0f) return scaledWithin("echoDelay", in.echoDelay, out.echoDelay, a);
         return out.echoDelay == in.echoDelay ? "" : "echoDelay moved without an echo";
     }},
    {"WaveformQualityRepeatsAndKindsAreKept",
     [](const SoundSettings& in, const SoundSettings& out, double) -> std::string {
         if (out.waveform != in.waveform) return "waveform";
         if (out.sampleRate != in.sampleRate || out.bitsPerSample != in.bitsPerSample) return "quality";
         if (out.repeatCount != in.repeatCount) return "repeats";
         if (out.amplitude.kind() != in.amplitude.kind() || out.frequency.kind() != in.frequency.kind()) return "kind";
         return {};
     }},
};

class MutationBound : public ::testing::TestWithParam<Bound> {};

// Every base, amounts from a hundredth to all, 500 seeds each.
TEST_P(MutationBound, HoldsForEveryBaseSeedAndAmount) {
    const Bound& bound = GetParam();
    int checked = 0;
    for (const SoundSettings& in : bases()) {
        for (float amount : {0.01f, 0.1f, 0.5f, 1.0f}) {
            for (uint64_t seed = 0; seed < 500; ++seed) {
                const SoundSettings out = sound_mutation::mutate(in, seed, amount);
                const std::string broken = bound.check(in, out, amount);
                ASSERT_EQ(broken, "") << in.amplitude.toText() << " / " << in.frequency.toText() << " amount " << amount
                                      << " seed " << seed << "\n -> " << out.amplitude.toText() << " / "
                                      << out.frequency.toText();
                ++checked;
            }
        }
    }
    EXPECT_EQ(checked, int(bases().size()) * 4 * 500);
}

INSTANTIATE_TEST_SUITE_P(Mutation, MutationBound, ::testing::ValuesIn(kBounds),
                         [](const ::testing::TestParamInfo<Bound>& info) { return std::string(info.param.name); });

}  // namespace

// The moves use their whole bound in both directions: a mutation that scaled
// the amount down or moved one way only would keep every bound above and
// still be wrong. Each move as a fraction of its bound.
TEST(SoundMutation, MovesSpanTheirWholeBound) {
    const SoundSettings in = sound("0:50 25:50 100:50", "0:50 75:50 100:50", 0.5f, 0.5f, 0.5f, 0.5f);
    const double amount = 0.2;
    struct Range {
        const char* what;
        double (*share)(const SoundSettings&);
        double lo = 1, hi = -1;
    } ranges[] = {
        {"amplitude value", [](const SoundSettings& s) { return std::log2(s.amplitude.value(1) / 0.5) / 0.2; }},
        // The inner time's nearer neighbour is 0.25 away.
        {"amplitude time", [](const SoundSettings& s) { return (s.amplitude.time(1) - 0.25) / (0.2 * 0.25); }},
        {"frequency value",
         [](const SoundSettings& s) {
             return std::log2(frequency_scale::toHz(s.frequency.value(0)) / frequency_scale::toHz(0.5f)) / 0.2;
         }},
        {"frequency time", [](const SoundSettings& s) { return (s.frequency.time(1) - 0.75) / (0.2 * 0.25); }},
        {"length", [](const SoundSettings& s) { return std::log2(lengthMs(s.length) / 2500.0) / 0.2; }},
        {"distort", [](const SoundSettings& s) { return std::log2(s.distort / 0.5) / 0.2; }},
        {"echoVolume", [](const SoundSettings& s) { return std::log2(s.echoVolume / 0.5) / 0.2; }},
        {"echoDelay", [](const SoundSettings& s) { return std::log2(s.echoDelay / 0.5) / 0.2; }},
    };
    for (uint64_t seed = 0; seed < 300; ++seed) {
        const SoundSettings out = sound_mutation::mutate(in, seed, float(amount));
        for (Range& r : ranges) {
            r.lo = std::min(r.lo, r.share(out));
            r.hi = std::max(r.hi, r.share(out));
        }
    }
    for (const Range& r : ranges) {
        EXPECT_LT(r.lo, -0.9) << r.what;
        EXPECT_GT(r.hi, 0.9) << r.what;
        EXPECT_LE(r.hi, 1.0 + 1e-5) << r.what;
    }
    // Not the same draw for everything.
    const SoundSettings out = sound_mutation::mutate(in, 1, float(amount));
    EXPECT_NE(out.amplitude.value(0), out.amplitude.value(1));
    EXPECT_NE(out.distort, out.echoVolume);
}

// The factors are computed by a fixed series, not by the library's exp2; it
// must still agree with it to the last few places of a double.
TEST(SoundMutation, PowerOfTwoIsExactToAFewUnitsInTheLastPlace) {
    EXPECT_EQ(sound_mutation::powerOfTwo(0.0), 1.0);
    for (int i = -1000; i <= 1000; ++i) {
        const double x = i / 1000.0;
        const double expected = std::exp2(x);
        EXPECT_NEAR(sound_mutation::powerOfTwo(x), expected, 4 * (std::nextafter(expected, 4.0) - expected)) << x;
    }
}

TEST(SoundMutation, AmountZeroGivesTheSoundBitForBit) {
    for (const SoundSettings& in : bases()) {
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
    const SoundSettings in = bases()[3];
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
        {42, 0.1f, "0:51.7027 0:76.3158 37.7472:77.5819 37.7472:19.5726 100:18.7593 100:0",
         "0:10.6741 30.0804:9.64106 30.0804:60.2657 30.0804:89.3383 100:89.9843", 0.0447834395f, 0.51158005f,
         0.239930257f, 0.283957958f},
        {7, 0.5f, "0:46.3239 0:57.2307 38.7181:100 38.7181:21.1833 100:19.3515 100:0",
         "0:8.07236 42.5406:5.89923 42.5406:59.0261 42.5406:85.555 100:95.1562", 0.0508634709f, 0.643498063f,
         0.258509189f, 0.390298039f},
    };
    SoundSettings in = bases()[3];
    in.echoVolume = 0.25f;
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
