// Renders through one phase memory, each after an edit of the sound before,
// give the bytes of renders from scratch; and the memory spares the phases an
// edit leaves alone, no more.

#include "RandomCurve.h"
#include "core/PhaseMemory.h"
#include "core/SoundModel.h"
#include "core/Waveforms.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace {

using sample_render::PhaseMemory;

// One edit of the kind a drag, a button or a slider makes.
void edit(SoundSettings& s, std::mt19937& rng) {
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    Envelope& f = s.frequency;
    const int inner = f.pointCount() - 1;
    switch (rng() % 9) {
    case 0: s.amplitude = randomCurve(rng, EnvelopeKind::Amplitude); break;
    case 8: {  // a broken curve, from a loader, that ends before the sound does
        Envelope& broken = rng() % 2 ? s.amplitude : f;
        std::vector<float> times = broken.times(), values = broken.values();
        times.back() = 0.4f + 0.5f * unit(rng);
        for (float& t : times) t = std::min(t, times.back());
        broken.assign(times, values);
        break;
    }
    case 1:
    case 2: {  // a frequency point dragged, the ends included
        const int i = int(rng() % unsigned(f.pointCount()));
        f.movePoint(i, f.time(i) + (unit(rng) - 0.5f) * 0.2f, unit(rng));
        break;
    }
    case 3: f.insertPoint(unit(rng), unit(rng)); break;
    case 4:
        if (inner > 1) f.deletePoint(1 + int(rng() % unsigned(inner - 1)));
        break;
    case 5: s.frequency = randomCurve(rng, EnvelopeKind::Frequency); break;
    case 6: s.sampleRate = s.sampleRate == 22050 ? 11025 : 22050; break;
    default:
        s.length = unit(rng) * 0.3f;
        s.waveform = waveforms::kButtonOrder[rng() % waveforms::kButtonOrder.size()].code();
        s.bitsPerSample = rng() % 2 ? 16 : 8;
        s.distort = rng() % 2 ? 0.0f : unit(rng);
        s.echoVolume = rng() % 2 ? 0.0f : unit(rng);
        s.echoDelay = unit(rng) * unit(rng);
        break;
    }
}

TEST(PhaseMemory, RendersThroughItAreTheBytesOfRendersFromScratch) {
    std::mt19937 rng(20261210);
    SoundModel kept;
    kept.settings.resetToNew();
    kept.settings.length = 0.2f;
    kept.settings.sampleRate = 22050;
    kept.prepareAll();
    PhaseMemory memory;
    for (int round = 0; round < 300; ++round) {
        SoundSettings next = kept.settings;
        edit(next, rng);
        kept.apply(next, false);
        const bool whole = rng() % 2 == 0;
        if (whole)
            kept.render(nullptr, &memory);
        else
            kept.renderMainPart(nullptr, &memory);
        SoundModel fresh;
        fresh.settings = next;
        fresh.applyAll();
        const std::vector<uint8_t>& expected = fresh.rendered.samples();
        const size_t bytes =
            whole ? expected.size() : size_t(fresh.rendered.lengthSamples()) * size_t(next.bitsPerSample / 8);
        ASSERT_EQ(kept.rendered.samples().size(), expected.size());
        ASSERT_TRUE(std::equal(expected.begin(), expected.begin() + long(bytes), kept.rendered.samples().begin()))
            << "round " << round << ", frequency " << next.frequency.toText() << " at " << next.sampleRate;
    }
}

TEST(PhaseMemory, SparesThePhasesBeforeTheFirstChangedSegment) {
    const std::string sweep = "0:10 20:90 40:20 60:80 80:30 100:70";
    struct Case {
        const char* what;
        const char* frequency;  // after the edit
        int rate;
        double keptUpTo;  // the time up to which the phases still hold
    } cases[] = {
        {"the amplitude alone", sweep.c_str(), 22050, 1.0},
        {"the fourth point's value", "0:10 20:90 40:20 60:50 80:30 100:70", 22050, 0.4},
        {"the last point's value", "0:10 20:90 40:20 60:80 80:30 100:10", 22050, 0.8},
        {"a point added at 70", "0:10 20:90 40:20 60:80 70:50 80:30 100:70", 22050, 0.6},
        {"the second point's time", "0:10 30:90 40:20 60:80 80:30 100:70", 22050, 0.0},
        {"the rate alone", sweep.c_str(), 11025, 0.0},
    };
    for (const Case& c : cases) {
        SoundModel m;
        m.settings.resetToNew();
        m.settings.length = 0.3f;
        m.settings.sampleRate = 22050;
        ASSERT_TRUE(m.settings.frequency.fromText(sweep));
        m.prepareAll();
        PhaseMemory memory;
        m.renderMainPart(nullptr, &memory);
        SoundSettings next = m.settings;
        ASSERT_TRUE(next.frequency.fromText(c.frequency));
        next.amplitude.movePoint(2, next.amplitude.time(2), 0.3f);
        // Another rate at the same width too: the steps differ all the same.
        sample_render::Input in{
            m.table.values().data(),    &next.amplitude,         &next.frequency, 0.0f, 0.0f, 0.0f, c.rate,
            m.rendered.lengthSamples(), m.rendered.sampleCount()};
        const int32_t W = in.W;
        const int32_t known = memory.reusable(in, W);
        // Up to the segment's end, less at most one mark; none beyond it.
        const double upTo = c.keptUpTo * W;
        EXPECT_LE(known, c.keptUpTo >= 1.0 ? W : upTo + 1) << c.what;
        EXPECT_GE(known, c.keptUpTo >= 1.0 ? W : std::max(0.0, upTo - PhaseMemory::kMark)) << c.what;
    }
}

}  // namespace
