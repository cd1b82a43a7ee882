#include "ReferenceRenderer.h"
#include "core/SoundModel.h"
#include "core/SoundQuality.h"
#include "core/SoundRenderer.h"
#include "core/Waveforms.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <functional>
#include <random>
#include <string>

namespace {

SoundSettings randomSettings(std::mt19937& rng) {
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    SoundSettings s;
    s.length = unit(rng);
    s.echoDelay = rng() % 3 == 0 ? 0.0f : unit(rng);
    s.echoVolume = unit(rng);
    s.distort = rng() % 2 ? 0.0f : unit(rng);
    s.waveform = waveforms::kButtonOrder[rng() % waveforms::kButtonOrder.size()].code();
    s.sampleRate = sound_quality::kSampleRates[rng() % sound_quality::kSampleRates.size()];
    s.bitsPerSample = sound_quality::kSampleWidths[rng() % sound_quality::kSampleWidths.size()];
    s.repeatCount = 1 + int32_t(rng() % 10);
    return s;
}

// A square wave (its first sample is not silence) whose amplitude or
// frequency curve has a first segment ending `firstEnd` after the start.
SoundSettings withFirstSegment(bool onFrequency, float firstEnd, int bits) {
    SoundSettings s;
    s.waveform = waveforms::code(WaveformKind::Square);
    s.bitsPerSample = bits;
    Envelope& curve = onFrequency ? s.frequency : s.amplitude;
    EXPECT_TRUE(curve.assign({0.0f, firstEnd, 0.5f, 1.0f}, {0.1f, 0.9f, 0.6f, 0.3f}));
    return s;
}

}  // namespace

TEST(SoundRenderer, SizesAreWhatTheRenderHasAndTheRenderIsTheEditors) {
    std::mt19937 rng(18);
    for (int round = 0; round < 60; ++round) {
        const SoundSettings s = randomSettings(rng);
        const RenderSizes sizes = sound_renderer::sizes(s);
        const RenderedSound r = sound_renderer::render(s);
        SCOPED_TRACE("round " + std::to_string(round));
        EXPECT_TRUE(sizes.fits);
        EXPECT_EQ(sizes.lengthMs, r.lengthMs());
        EXPECT_EQ(sizes.totalMs, r.totalMs());
        EXPECT_EQ(sizes.mainSamples, r.lengthSamples());
        EXPECT_EQ(sizes.totalSamples, r.sampleCount());
        EXPECT_EQ(sizes.dataBytes, r.dataSize());

        SoundModel editor;
        editor.settings = s;
        editor.applyAll();
        EXPECT_EQ(r.header(), editor.rendered.header());
        EXPECT_EQ(r.samples(), editor.rendered.samples());
    }
}

TEST(SoundRenderer, LongestSoundFitsAndTheNewSoundIsItsOwnSize) {
    SoundSettings longest;
    longest.length = 1.0f;
    longest.echoDelay = 1.0f;
    longest.sampleRate = 44100;
    longest.bitsPerSample = 16;
    const RenderSizes big = sound_renderer::sizes(longest);
    EXPECT_TRUE(big.fits);
    EXPECT_EQ(big.mainSamples, 441000);
    EXPECT_EQ(big.totalSamples, 1764000);
    EXPECT_EQ(big.dataBytes, 3528000u);

    const RenderSizes fresh = sound_renderer::sizes(SoundSettings());
    EXPECT_EQ(fresh.mainSamples, 4410);
    EXPECT_EQ(fresh.totalSamples, 4410);
    EXPECT_EQ(fresh.dataBytes, 4410u);
}

// A first segment too short for its slope to be a float sounds as one that is
// merely shorter than a sample: the sample at time 0 takes the first value.
TEST(SoundRenderer, FirstSegmentTooShortForAFiniteSlopeSoundsLikeAShortOne) {
    // 0.8 over each of these overflows a float.
    const float tooShort[] = {1e-40f, FLT_TRUE_MIN, FLT_MIN / 8.0f};
    for (const bool onFrequency : {false, true}) {
        for (const int bits : sound_quality::kSampleWidths) {
            const RenderedSound expected = sound_renderer::render(withFirstSegment(onFrequency, 1e-30f, bits));
            const std::vector<uint8_t>& bytes = expected.samples();
            ASSERT_NE(std::adjacent_find(bytes.begin(), bytes.end(), std::not_equal_to<>()), bytes.end());
            for (const float end : tooShort) {
                const SoundSettings s = withFirstSegment(onFrequency, end, bits);
                const RenderedSound r = sound_renderer::render(s);
                EXPECT_EQ(r.samples(), expected.samples()) << (onFrequency ? "frequency" : "amplitude") << " curve, "
                                                           << bits << " bit, first point at " << end;
                WaveformTable table;
                table.build(s.waveform);
                EXPECT_EQ(referenceRender(table, s.amplitude, s.frequency, s.echoVolume, s.echoDelay, s.distort,
                                          s.sampleRate, s.bitsPerSample, r.lengthMs(), r.totalMs()),
                          r.samples())
                    << "the plain renderer, first point at " << end;
            }
        }
    }
}
