#include "core/RenderedSound.h"
#include "core/SoundModel.h"
#include "storage/Loudness.h"

#include <ebur128.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace {

constexpr double kPi = 3.14159265358979323846;

// A sine of `amplitude` (of full scale) stored at the width's resolution.
RenderedSound sine(int rate, int bits, double ms, double amplitude, double hz = 1000.0) {
    RenderedSound sound;
    EXPECT_TRUE(sound.setBits(bits));
    EXPECT_TRUE(sound.setSampleRate(rate));
    EXPECT_TRUE(sound.setLength(float(ms), 0.0f));
    std::vector<uint8_t> bytes;
    const double full = bits == 16 ? 32768.0 : 128.0;
    for (int32_t i = 0; i < sound.lengthSamples(); ++i) {
        const double y = std::clamp(amplitude * full * std::sin(2.0 * kPi * hz * i / rate), 1 - full, full - 1);
        const int v = int(std::lround(y));
        if (bits == 16) {
            bytes.push_back(uint8_t(v & 0xff));
            bytes.push_back(uint8_t((v >> 8) & 0xff));
        } else {
            bytes.push_back(uint8_t(v + 128));
        }
    }
    EXPECT_TRUE(sound.setMainPart(bytes));
    return sound;
}

RenderedSound rendered(int rate, int bits, float length, float echo) {
    SoundModel model;
    model.settings.resetToNew();
    model.settings.sampleRate = rate;
    model.settings.bitsPerSample = bits;
    model.settings.length = length;
    model.settings.echoVolume = echo;
    model.settings.echoDelay = echo;
    model.applyAll();
    return std::move(model.rendered);
}

// libebur128 fed the samples straight, as a reference: integrated loudness
// over the sound played `repeats` times.
double referenceLufs(const RenderedSound& sound, int repeats) {
    ebur128_state* st = ebur128_init(1, unsigned(sound.sampleRate()), EBUR128_MODE_I);
    const double full = sound.bits() == 16 ? 32768.0 : 128.0;
    std::vector<double> frames;
    for (int r = 0; r < repeats; ++r) {
        for (int32_t i = 0; i < sound.sampleCount(); ++i) frames.push_back(sound.sampleAt(i) / full);
    }
    ebur128_add_frames_double(st, frames.data(), frames.size());
    double out = 0;
    EXPECT_EQ(ebur128_loudness_global(st, &out), EBUR128_SUCCESS);
    ebur128_destroy(&st);
    return out;
}

double peakOf(const RenderedSound& sound) {
    int peak = 0;
    for (int32_t i = 0; i < sound.sampleCount(); ++i) peak = std::max(peak, std::abs(sound.sampleAt(i)));
    return 20.0 * std::log10(peak / (sound.bits() == 16 ? 32768.0 : 128.0));
}

TEST(Loudness, SoundsOfABlockOrLongerMatchLibebur128) {
    const struct {
        int rate, bits;
        float length, echo;
        int repeats;
    } cases[] = {
        {11025, 8, 0.5f, 0.0f, 1}, {22050, 16, 0.5f, 0.0f, 1}, {44100, 16, 0.7f, 0.5f, 1},
        {44100, 8, 0.3f, 0.0f, 3}, {11025, 16, 0.9f, 0.3f, 2}, {22050, 8, 0.2f, 0.0f, 10},
    };
    for (const auto& c : cases) {
        const RenderedSound sound = rendered(c.rate, c.bits, c.length, c.echo);
        const double ms = sound.totalMs() * c.repeats;
        SCOPED_TRACE(std::to_string(c.rate) + " Hz " + std::to_string(c.bits) + " bit " + std::to_string(ms) + " ms");
        ASSERT_GE(ms, 400.0);
        const loudness::Level level = loudness::measure(sound, c.repeats);
        EXPECT_NEAR(level.loudnessLufs, referenceLufs(sound, c.repeats), 1e-9);
        EXPECT_NEAR(level.peakDb, peakOf(sound), 1e-9);
        EXPECT_LT(level.peakDb, 0.0);
    }
}

// Twice the amplitude is +6.02 dB of peak and of loudness, for long sounds
// (gated) and short ones (one window) alike, at either width.
TEST(Loudness, TwiceTheAmplitudeReadsSixDecibelsLouder) {
    const struct {
        int rate, bits;
        double ms;
    } cases[] = {
        {44100, 16, 1500}, {22050, 16, 600}, {11025, 16, 120}, {44100, 16, 50}, {22050, 8, 1000}, {44100, 8, 300},
    };
    const double gain = 20.0 * std::log10(2.0);
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.rate) + " Hz " + std::to_string(c.bits) + " bit " + std::to_string(c.ms));
        const loudness::Level quiet = loudness::measure(sine(c.rate, c.bits, c.ms, 0.25), 1);
        const loudness::Level loud = loudness::measure(sine(c.rate, c.bits, c.ms, 0.5), 1);
        ASSERT_TRUE(std::isfinite(quiet.loudnessLufs));
        // 8-bit rounding moves a quarter-scale peak by up to half a step.
        const double slack = c.bits == 8 ? 0.05 : 0.002;
        EXPECT_NEAR(loud.peakDb - quiet.peakDb, gain, slack);
        EXPECT_NEAR(loud.loudnessLufs - quiet.loudnessLufs, gain, slack);
    }
}

// A full-scale 1 kHz sine reads -3 LUFS (BS.1770's calibration); a short one,
// measured as a single window, reads about the same as a long one.
TEST(Loudness, ShortSoundsReadAsOneWindowOverTheirWholeLength) {
    const double longLufs = loudness::measure(sine(44100, 16, 3000, 1.0), 1).loudnessLufs;
    EXPECT_NEAR(longLufs, -3.01, 0.1);
    // 400 ms at 11025 Hz is 4410 frames, two short of the meter's first block.
    const struct {
        int rate;
        double ms;
    } cases[] = {{44100, 30}, {44100, 100}, {44100, 250}, {44100, 399}, {11025, 400}, {22050, 200}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.rate) + " Hz " + std::to_string(c.ms) + " ms");
        const loudness::Level level = loudness::measure(sine(c.rate, 16, c.ms, 1.0), 1);
        EXPECT_NEAR(level.loudnessLufs, longLufs, 0.3);
        EXPECT_NEAR(level.peakDb, 20.0 * std::log10(32767.0 / 32768.0), 1e-6);
    }
    // Repeats count toward the length: a 200 ms sound played three times is gated.
    const RenderedSound shortSound = sine(22050, 16, 200, 0.5);
    EXPECT_NEAR(loudness::measure(shortSound, 3).loudnessLufs, referenceLufs(shortSound, 3), 1e-9);
}

TEST(Loudness, SilenceIsMinusInfinity) {
    for (const int bits : {8, 16}) {
        for (const double ms : {100.0, 1000.0}) {
            const loudness::Level level = loudness::measure(sine(11025, bits, ms, 0.0), 2);
            EXPECT_TRUE(std::isinf(level.peakDb) && level.peakDb < 0) << bits << " " << ms;
            EXPECT_TRUE(std::isinf(level.loudnessLufs) && level.loudnessLufs < 0) << bits << " " << ms;
        }
    }
}

}  // namespace
