#include "core/PhaseStep.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <vector>

namespace {

// The phase step exactly as the reference renderer writes it.
float plainStep(float phase, double inc) { return float(std::fmod(double(phase) + inc, 360.0)); }

float fromBits(uint32_t bits) {
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

// Steps `count` times from 0 using stretches where they are offered, checking
// each phase against the plain chain. Returns how many steps came in stretches.
int64_t stepThrough(float freq, double rate, const phase_step::Bracket& b, int count) {
    const double inc = phase_step::exactIncrement(freq, rate);
    float plain = 0.0f, p = 0.0f;
    int64_t inStretches = 0;
    for (int i = 0; i < count;) {
        const phase_step::Stretch st = phase_step::stretch(p, b, count - i);
        const int steps = st.count > 0 ? st.count : 1;
        for (int j = 0; j < steps; ++j, ++i) {
            const float expected = st.count > 0 ? float(double(p) + double(j) * st.delta) : p;
            if (expected != plain) {
                ADD_FAILURE() << "freq " << freq << " at " << rate << ", step " << i;
                return inStretches;
            }
            plain = plainStep(plain, inc);
        }
        p = st.count > 0 ? float(double(p) + double(st.count) * st.delta) : phase_step::step(p, freq, rate, b);
        if (st.count > 0) inStretches += st.count;
    }
    EXPECT_EQ(p, plain);
    return inStretches;
}

}  // namespace

TEST(PhaseStep, CheapPowerStaysWithinItsErrorBound) {
    // Every table entry and the whole range of frequency values, densely.
    double worst = 0.0;
    for (int i = 0; i <= 400000; ++i) {
        const float v = float(i) / 400000.0f;
        const double x = double(v) * double(frequency_scale::kLog484);
        const double exact = std::pow(10.0, x);
        worst = std::max(worst, std::fabs(phase_step::pow10Approx(x) / exact - 1.0));
    }
    EXPECT_LT(worst, 4e-15 + 2.3e-16);  // its bound plus std::pow's own last-place error
}

TEST(PhaseStep, CheapIncrementsStayFarWithinTheMargin) {
    // Runs of values as the renderer hands them over: slow and fast sweeps
    // (the near-first polynomial), jumps (the full power), values outside
    // 0..1 and NaN (exact), and every one next to the others in a run.
    std::mt19937 rng(11);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    std::vector<std::vector<float>> runs;
    for (float step : {1e-7f, 9e-6f, 6e-5f, 2e-3f}) {
        std::vector<float> run;
        for (int i = 0; i < 3000; ++i) run.push_back(std::fmod(0.05f + step * float(i), 1.0f));
        runs.push_back(run);
    }
    std::vector<float> jumps;
    for (int i = 0; i < 3000; ++i) jumps.push_back(i % 5 == 0 ? -0.2f : i % 7 == 0 ? 1.3f : unit(rng));
    jumps[100] = std::nanf("");
    runs.push_back(jumps);
    runs.push_back({1.0f, 1.0005f, 0.9995f, 0.0f, -0.0f, 0.0005f});
    for (double rate : {11025.0, 22050.0, 44100.0}) {
        for (const std::vector<float>& run : runs) {
            std::vector<double> incs(run.size());
            phase_step::approxIncrements(run.data(), int32_t(run.size()), rate, incs.data());
            for (size_t i = 0; i < run.size(); ++i) {
                const double exact = phase_step::exactIncrement(run[i], rate);
                if (std::isnan(exact)) {
                    EXPECT_TRUE(std::isnan(incs[i])) << i;
                } else {
                    // A sixteenth of the margin the renderer allows for.
                    ASSERT_LT(std::fabs(incs[i] / exact - 1.0), phase_step::kMargin / 16) << run[i] << " at " << rate;
                }
            }
        }
    }
}

TEST(PhaseStep, BracketEnclosesTheExactIncrement) {
    std::mt19937 rng(7);
    std::uniform_int_distribution<uint32_t> unitBits(0, 0x3F800000u);  // every float in 0..1
    for (double rate : {11025.0, 22050.0, 44100.0}) {
        for (int i = 0; i < 100000; ++i) {
            const float v = fromBits(unitBits(rng));
            const phase_step::Bracket b = phase_step::bracket(v, rate);
            const double exact = phase_step::exactIncrement(v, rate);
            ASSERT_LT(b.lo, exact) << v;
            ASSERT_GT(b.hi, exact) << v;
            ASSERT_LT((b.hi - b.lo) / exact, 1e-11) << v;
        }
    }
    // Outside 0..1 (only broken files) the increment is the exact one.
    for (float v : {-0.5f, 1.5f, 7.0f, std::nanf("")}) {
        const phase_step::Bracket b = phase_step::bracket(v, 11025.0);
        EXPECT_TRUE(b.lo == b.hi || (std::isnan(b.lo) && std::isnan(b.hi))) << v;
    }
}

TEST(PhaseStep, StepMatchesThePlainStepWhateverTheMargin) {
    // Margins up to 2^-12 make most steps near a rounding boundary ambiguous,
    // so the fallback is exercised as well as the decided path.
    std::mt19937 rng(11);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f), degrees(0.0f, 360.0f);
    struct Case {
        double margin;
        bool expectFallbacks;
    } cases[] = {{phase_step::kMargin, false}, {0x1p-24, true}, {0x1p-12, true}};
    for (const Case& c : cases) {
        int fallbacks = 0;
        for (int i = 0; i < 200000; ++i) {
            const float v = unit(rng);
            const double rate = i % 3 == 0 ? 11025.0 : i % 3 == 1 ? 22050.0 : 44100.0;
            // Phases near the wrap and tiny ones, as well as anywhere.
            const float phase = i % 5 == 0   ? 360.0f - degrees(rng) / 1000.0f
                                : i % 5 == 1 ? degrees(rng) / 1e6f
                                             : degrees(rng);
            const phase_step::Bracket b = phase_step::bracket(v, rate, c.margin);
            float decided;
            if (!phase_step::tryStep(phase, b, decided))
                ++fallbacks;
            else
                ASSERT_EQ(decided, plainStep(phase, phase_step::exactIncrement(v, rate))) << v << " " << phase;
            ASSERT_EQ(phase_step::step(phase, v, rate, b), plainStep(phase, phase_step::exactIncrement(v, rate)))
                << "margin " << c.margin << ", value " << v << ", phase " << phase;
        }
        if (c.expectFallbacks)
            EXPECT_GT(fallbacks, 100) << "margin " << c.margin;
        else
            EXPECT_LT(fallbacks, 10);
    }
}

TEST(PhaseStep, NearTieFallsBackToTheExactIncrement) {
    // At the value with bits 0x3F44BE54 and 11025 Hz the increment (37.78
    // degrees) from phase 256 lands 5.8e-7 float spacings short of halfway
    // between two floats, closer than the bracket's own width: the two ends
    // round apart, so the step must not be decided by them.
    const float v = fromBits(0x3F44BE54);
    const phase_step::Bracket b = phase_step::bracket(v, 11025.0);
    const double inc = phase_step::exactIncrement(v, 11025.0);
    const double spacings = inc * 32768.0;  // floats lie 2^-15 apart from 256 to 512
    ASSERT_LT(std::fabs(spacings - std::floor(spacings) - 0.5), (b.hi - b.lo) * 32768.0)
        << "this value no longer lands near a tie";
    EXPECT_NE(float(256.0 + b.lo), float(256.0 + b.hi));
    float decided;
    EXPECT_FALSE(phase_step::tryStep(256.0f, b, decided));
    EXPECT_EQ(phase_step::step(256.0f, v, 11025.0, b), plainStep(256.0f, inc));
}

TEST(PhaseStep, StepReachesExactly360AndWrapsBeyond720) {
    // 0x3E99E4FF at 11025 Hz rounds a phase up to exactly 360 at step 2923;
    // a huge increment from a broken value needs the remainder.
    const float v = fromBits(0x3E99E4FF);
    const phase_step::Bracket b = phase_step::bracket(v, 11025.0);
    const double inc = phase_step::exactIncrement(v, 11025.0);
    float plain = 0.0f, p = 0.0f;
    bool reached360 = false;
    for (int n = 0; n < 4410; ++n) {
        plain = plainStep(plain, inc);
        p = phase_step::step(p, v, 11025.0, b);
        ASSERT_EQ(p, plain) << n;
        reached360 = reached360 || p == 360.0f;
    }
    EXPECT_TRUE(reached360);
    const phase_step::Bracket huge = phase_step::bracket(3.0f, 11025.0);
    EXPECT_EQ(phase_step::step(10.0f, 3.0f, 11025.0, huge),
              plainStep(10.0f, phase_step::exactIncrement(3.0f, 11025.0)));
}

TEST(PhaseStep, StretchesGiveThePhasesOfThePlainChain) {
    // Small increments should go mostly in stretches; 158 degrees never fits one.
    struct Case {
        float freq;
        double rate, margin;
        int64_t minInStretches;
    } cases[] = {
        {0.5f, 44100.0, phase_step::kMargin, 40000},  // 220 Hz, the New sound's pitch
        {0.5f, 11025.0, phase_step::kMargin, 30000},
        {0.0f, 44100.0, phase_step::kMargin, 45000},                  // 10 Hz
        {1.0f, 11025.0, phase_step::kMargin, 0},                      // 4840 Hz
        {fromBits(0x3E99E4FF), 11025.0, phase_step::kMargin, 30000},  // reaches 360.0 exactly
        {0.31f, 22050.0, 0x1p-20, 30000},                             // wide brackets, still exact
        {0.77f, 44100.0, 0.0, 20000},                                 // the exact increment
    };
    for (const Case& c : cases) {
        const phase_step::Bracket b = phase_step::bracket(c.freq, c.rate, c.margin);
        const int64_t inStretches = stepThrough(c.freq, c.rate, b, 50000);
        EXPECT_GE(inStretches, c.minInStretches) << c.freq << " at " << c.rate;
    }
    std::mt19937 rng(5);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    for (int i = 0; i < 200; ++i) {
        const float v = unit(rng);
        const double rate = i % 2 ? 11025.0 : 44100.0;
        stepThrough(v, rate, phase_step::bracket(v, rate), 5000);
    }
}

TEST(PhaseStep, StretchRefusesAnIncrementHalfwayBetweenFloats) {
    // Between 256 and 512 floats lie 2^-15 apart. An increment of 1.5 such
    // spacings rounds to +2 from an even multiple and to +1 from an odd one,
    // so no constant step exists; the plain chain shows it.
    const double inc = 3.0 * 0x1p-16;
    const phase_step::Bracket b{inc, inc};
    const float even = 300.0f, odd = std::nextafter(300.0f, 400.0f);
    EXPECT_EQ(double(plainStep(even, inc)) - double(even), 2 * 0x1p-15);
    EXPECT_EQ(double(plainStep(odd, inc)) - double(odd), 0x1p-15);
    EXPECT_EQ(phase_step::stretch(even, b, 100).count, 0);
    EXPECT_EQ(phase_step::stretch(odd, b, 100).count, 0);
    // A hair more (beyond the double spacing there, 2^-44) and every step
    // adds two spacings.
    const double more = inc + 0x1p-40;
    const phase_step::Stretch st = phase_step::stretch(odd, {more, more}, 100);
    EXPECT_EQ(st.count, 100);
    EXPECT_EQ(st.delta, 2 * 0x1p-15);
}

TEST(PhaseStep, StretchStopsBeforeThePowerOfTwoAndTheWrap) {
    struct Case {
        float phase;
        double inc;
        int maxCount;
    } cases[] = {
        {200.0f, 7.0, 100},   // 200 + 7j + 7 < 256: j <= 6
        {300.0f, 7.0, 100},   // below 360 after the step: j <= 7
        {0.5f, 0.1, 100},     // below 1: none
        {300.0f, 70.0, 100},  // the first step wraps: none
        {100.0f, 1.0, 5},     // limited by maxCount
    };
    const int expected[] = {7, 8, 0, 0, 5};
    for (size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        const phase_step::Stretch st = phase_step::stretch(c.phase, {c.inc, c.inc}, c.maxCount);
        EXPECT_EQ(st.count, expected[i]) << c.phase << " + " << c.inc;
    }
}
