#include "ReferenceRenderer.h"
#include "SoundModel.h"
#include "Waveforms.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace {

// A valid curve of 2..9 points: sloped, stepped (shared times), sometimes with
// a zero-duration first segment, values spread or taken from a few levels.
Envelope randomCurve(std::mt19937& rng, EnvelopeKind kind) {
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    const int count = 2 + int(rng() % 8);
    std::vector<float> times(static_cast<size_t>(count)), values(static_cast<size_t>(count));
    for (float& t : times) t = unit(rng);
    std::sort(times.begin(), times.end());
    for (int i = 1; i + 1 < count; ++i)
        if (rng() % 4 == 0) times[size_t(i)] = times[size_t(i) - 1];  // a vertical step
    times.front() = 0.0f;
    times.back() = 1.0f;
    if (count > 2 && rng() % 8 == 0) times[1] = 0.0f;
    const bool levels = rng() % 3 == 0;
    for (float& v : values) v = levels ? float(rng() % 5) / 4.0f : unit(rng);
    Envelope e(kind);
    e.assign(times, values);
    return e;
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
        s.waveform = waveforms::kButtonOrder[rng() % waveforms::kButtonOrder.size()].code;
        s.length = unit(rng) * 0.45f;  // up to about 2 s, to keep the plain renderer quick
        s.distort = rng() % 3 == 0 ? 0.0f : unit(rng);
        s.echoVolume = rng() % 3 == 0 ? 0.0f : unit(rng);
        s.echoDelay = rng() % 3 == 0 ? 0.0f : unit(rng);
        s.sampleRate = rates[rng() % 3];
        s.bitsPerSample = rng() % 2 ? 16 : 8;
        m.applyAll();
        const std::vector<uint8_t> expected =
            referenceRender(m.table, s.amplitude, s.frequency, s.echoVolume, s.echoDelay, s.distort,
                            s.sampleRate, s.bitsPerSample, m.rendered.lengthMs(), m.rendered.totalMs());
        ASSERT_EQ(m.rendered.samples().size(), expected.size()) << "round " << round;
        const auto mismatch = std::mismatch(expected.begin(), expected.end(), m.rendered.samples().begin());
        ASSERT_TRUE(mismatch.first == expected.end())
            << "round " << round << ": byte " << (mismatch.first - expected.begin()) << " of " << expected.size()
            << ", waveform " << s.waveform << ", " << s.bitsPerSample << " bit at " << s.sampleRate
            << ", amplitude " << s.amplitude.toText() << ", frequency " << s.frequency.toText()
            << ", echo " << s.echoVolume << "/" << s.echoDelay << ", distort " << s.distort;
    }
}
