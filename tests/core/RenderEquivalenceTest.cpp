#include "RandomCurve.h"
#include "ReferenceRenderer.h"
#include "core/SoundModel.h"
#include "core/Waveforms.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace {

// Renders m's settings with the plain renderer and compares byte for byte.
::testing::AssertionResult sameAsReference(const SoundModel& m) {
    const SoundSettings& s = m.settings;
    const std::vector<uint8_t> expected =
        referenceRender(m.table, s.amplitude, s.frequency, s.echoVolume, s.echoDelay, s.distort, s.sampleRate,
                        s.bitsPerSample, m.rendered.lengthMs(), m.rendered.totalMs());
    const std::vector<uint8_t>& actual = m.rendered.samples();
    if (actual.size() != expected.size())
        return ::testing::AssertionFailure() << actual.size() << " bytes instead of " << expected.size();
    const auto mismatch = std::mismatch(expected.begin(), expected.end(), actual.begin());
    if (mismatch.first == expected.end()) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "byte " << (mismatch.first - expected.begin()) << " of " << expected.size()
                                         << " (W " << m.rendered.lengthSamples() << "), waveform " << s.waveform << ", "
                                         << s.bitsPerSample << " bit at " << s.sampleRate << ", amplitude "
                                         << s.amplitude.toText() << ", frequency " << s.frequency.toText() << ", echo "
                                         << s.echoVolume << "/" << s.echoDelay << ", distort " << s.distort;
}

}  // namespace

TEST(RenderEquivalence, FastRendererMatchesThePlainOneBitForBit) {
    std::mt19937 rng(20261208);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    const int rates[] = {11025, 22050, 44100};
    for (int round = 0; round < 400; ++round) {
        SoundModel m;
        SoundSettings& s = m.settings;
        s.amplitude = randomCurve(rng, EnvelopeKind::Amplitude);
        s.frequency = randomCurve(rng, EnvelopeKind::Frequency);
        s.waveform = waveforms::kButtonOrder[rng() % waveforms::kButtonOrder.size()].code();
        s.length = unit(rng) * 0.45f;  // up to about 2 s, to keep the plain renderer quick
        s.distort = rng() % 3 == 0 ? 0.0f : unit(rng);
        s.echoVolume = rng() % 3 == 0 ? 0.0f : unit(rng);
        s.echoDelay = rng() % 3 == 0 ? 0.0f : unit(rng);
        s.sampleRate = rates[rng() % 3];
        s.bitsPerSample = rng() % 2 ? 16 : 8;
        m.applyAll();
        ASSERT_TRUE(sameAsReference(m)) << "round " << round;
    }
}

TEST(RenderEquivalence, LongestSoundsMatchThePlainOne) {
    // The full 10 s main part, where blocks, stretches of constant pitch,
    // sweeps, short and long echo delays and the echo tail all come into play.
    struct Case {
        const char* frequency;
        int waveform, bits, rate;
        float echoVolume, echoDelay, distort;
    } cases[] = {
        {"0:10 20:90 40:20 60:80 80:30 100:70", 100, 16, 44100, 0.5f, 1.0f, 0.3f},  // swept, every segment
        {"0:10 20:90 40:20 60:80 80:30 100:70", 200, 8, 44100, 0.5f, 1.0f, 0.3f},
        {"0:50 100:50", 100, 16, 44100, 1.0f, 1.0f, 0.99f},                     // constant 220 Hz, loudest echo
        {"0:0 100:0", 300, 8, 22050, 1.0f, 0.5f, 0.0f},                         // 10 Hz: long stretches
        {"0:100 100:100", 201, 16, 11025, 0.7f, 0.3f, 0.5f},                    // 4840 Hz: no stretches
        {"0:30 50:30 50:60 100:60", 405, 16, 44100, 0.5f, 0.0001f, 0.0f},       // step in pitch; echo 44 back
        {"0:40 30:45 30:45 70:20 100:20", 101, 8, 44100, 0.9f, 0.0005f, 0.2f},  // echo 220 back, under a block
        {"0:60 100:62", 303, 16, 44100, 3.0f, 0.0007f, 0.0f},                   // echo 308 back; a volume past 2 clips
    };
    for (const Case& c : cases) {
        SoundModel m;
        SoundSettings& s = m.settings;
        s.resetToNew();
        s.length = 1.0f;
        ASSERT_TRUE(s.frequency.fromText(c.frequency));
        ASSERT_TRUE(s.amplitude.fromText("0:100 10:80 90:80 100:0"));
        s.waveform = c.waveform;
        s.bitsPerSample = c.bits;
        s.sampleRate = c.rate;
        s.echoVolume = c.echoVolume;
        s.echoDelay = c.echoDelay;
        s.distort = c.distort;
        m.applyAll();
        EXPECT_TRUE(sameAsReference(m)) << c.frequency << ", echo delay " << c.echoDelay;
    }
}
