#include "core/SoundModel.h"
#include "core/SoundQuality.h"
#include "core/SoundRenderer.h"
#include "core/Waveforms.h"

#include <gtest/gtest.h>

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
