#include "core/PhaseRun.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

namespace {

// The phases the plain per-sample formula gives for these frequency values.
std::vector<float> plainPhases(const std::vector<float>& freqs, double rate) {
    std::vector<float> out;
    float phase = 0.0f;
    for (float v : freqs) {
        out.push_back(phase);
        const double inc = std::pow(10.0, double(v) * double(frequency_scale::kLog484)) * 3600.0 / rate;
        phase = float(std::fmod(double(phase) + inc, 360.0));
    }
    return out;
}

std::vector<float> repeated(float v, int count) { return std::vector<float>(size_t(count), v); }

std::vector<float> sweep(float from, float to, int count) {
    std::vector<float> out;
    for (int i = 0; i < count; ++i) out.push_back(from + (to - from) * float(i) / float(count));
    return out;
}

std::vector<float> operator+(std::vector<float> a, const std::vector<float>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

}  // namespace

TEST(PhaseRun, HandsOutThePhasesOfThePlainFormula) {
    std::mt19937 rng(3);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    std::vector<float> jumpy;
    for (int i = 0; i < 3000; ++i) jumpy.push_back(i % 7 == 0 ? unit(rng) : jumpy.empty() ? 0.5f : jumpy.back());
    struct Case {
        std::string name;
        std::vector<float> freqs;
        double rate;
    } cases[] = {
        {"constant 220 Hz", repeated(0.5f, 20000), 44100},
        {"constant 10 Hz", repeated(0.0f, 20000), 11025},
        {"constant 4840 Hz", repeated(1.0f, 5000), 11025},
        {"sweep", sweep(0.1f, 0.9f, 20000), 44100},
        {"slow sweep down the whole range", sweep(1.0f, 0.0f, 200000), 11025},
        {"steps between pitches", repeated(0.3f, 1000) + repeated(0.8f, 700) + repeated(0.3f, 900), 22050},
        {"held values between random jumps", jumpy, 22050},
        {"values of a broken file", repeated(-3.0f, 300) + repeated(2.5f, 300) + repeated(0.5f, 300), 11025},
        {"not a number, then sound", repeated(std::nanf(""), 10) + repeated(0.5f, 100), 11025},
    };
    for (const Case& c : cases) {
        const std::vector<float> expected = plainPhases(c.freqs, c.rate);
        // Block lengths as the renderer uses them, and odd ones.
        for (int block : {256, 1, 97}) {
            PhaseRun run(int32_t(c.rate));
            std::vector<float> phases(c.freqs.size());
            for (size_t i = 0; i < c.freqs.size(); i += size_t(block)) {
                const int32_t len = int32_t(std::min(size_t(block), c.freqs.size() - i));
                run.advance(&c.freqs[i], len, &phases[i]);
            }
            for (size_t i = 0; i < expected.size(); ++i) {
                const bool same = phases[i] == expected[i] || (std::isnan(phases[i]) && std::isnan(expected[i]));
                ASSERT_TRUE(same) << c.name << ", blocks of " << block << ", sample " << i << ": " << phases[i]
                                  << " instead of " << expected[i];
            }
        }
    }
}
