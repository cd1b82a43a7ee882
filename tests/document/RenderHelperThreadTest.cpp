// A render handed in part to the preview worker's helper thread gives the
// bytes a render on one thread gives: over long sweeps, steps, constant
// pitches and random curves, at both widths, main part alone and whole.

#include "RandomCurve.h"
#include "core/PhaseMemory.h"
#include "core/SoundModel.h"
#include "core/Waveforms.h"
#include "document/RenderHelperThread.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <random>

namespace {

TEST(RenderHelperThread, AHelpedRenderIsTheSameBytes) {
    std::mt19937 rng(20261209);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    RenderHelperThread helper;
    const char* curves[] = {"0:10 20:90 40:20 60:80 80:30 100:70", "0:50 100:50", "0:30 50:30 50:60 100:60",
                            "0:40 30:45 30:45 70:20 100:20",       "0:0 100:100", "0:100 100:0"};
    for (int round = 0; round < 60; ++round) {
        SoundModel m;
        SoundSettings& s = m.settings;
        s.resetToNew();
        if (round < int(std::size(curves))) {
            ASSERT_TRUE(s.frequency.fromText(curves[round]));
            s.length = 1.0f;
        } else {
            s.frequency = randomCurve(rng, EnvelopeKind::Frequency);
            s.amplitude = randomCurve(rng, EnvelopeKind::Amplitude);
            s.length = 0.5f + 0.5f * unit(rng);  // main parts the helper takes part in
        }
        s.waveform = waveforms::kButtonOrder[rng() % waveforms::kButtonOrder.size()].code();
        s.bitsPerSample = rng() % 2 ? 16 : 8;
        s.sampleRate = rng() % 2 ? 44100 : 22050;
        s.distort = rng() % 2 ? 0.0f : unit(rng);
        s.echoVolume = rng() % 2 ? 0.0f : unit(rng);
        s.echoDelay = unit(rng) * unit(rng);  // short ones too, inside the main part
        m.applyAll();
        const std::vector<uint8_t> alone = m.rendered.samples();
        m.render(&helper);
        ASSERT_TRUE(m.rendered.samples() == alone) << "round " << round << ", frequency " << s.frequency.toText();
        m.rendered.setSamples(std::vector<uint8_t>(alone.size(), 0));
        m.renderMainPart(&helper);
        const size_t mainBytes = size_t(m.rendered.lengthSamples()) * size_t(s.bitsPerSample / 8);
        ASSERT_TRUE(std::equal(alone.begin(), alone.begin() + long(mainBytes), m.rendered.samples().begin()))
            << "main part, round " << round;
    }
}

// The helper starts where the kept phases end: a drag of a frequency point
// through the whole of a long sweep, each step against a render alone.
TEST(RenderHelperThread, AHelpedRenderGoesOnFromKeptPhases) {
    std::mt19937 rng(20261211);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    RenderHelperThread helper;
    sample_render::PhaseMemory memory;
    SoundModel kept;
    kept.settings.resetToNew();
    ASSERT_TRUE(kept.settings.frequency.fromText("0:10 20:90 40:20 60:80 80:30 100:70"));
    kept.settings.length = 1.0f;
    kept.settings.sampleRate = 44100;
    kept.settings.bitsPerSample = 16;
    kept.prepareAll();
    for (int step = 0; step < 12; ++step) {
        SoundSettings next = kept.settings;
        const int i = 1 + step % 4;
        next.frequency.movePoint(i, next.frequency.time(i), unit(rng));
        kept.apply(next, false);
        kept.renderMainPart(&helper, &memory);
        SoundModel alone;
        alone.settings = next;
        alone.applyAll();
        const size_t mainBytes = size_t(alone.rendered.lengthSamples()) * 2;
        ASSERT_TRUE(std::equal(alone.rendered.samples().begin(), alone.rendered.samples().begin() + long(mainBytes),
                               kept.rendered.samples().begin()))
            << "step " << step << ", frequency " << next.frequency.toText();
    }
}

}  // namespace
