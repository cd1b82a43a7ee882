#include "ReferenceRenderer.h"
#include "core/RenderedSound.h"
#include "core/SoundModel.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <cmath>
#include <cstring>
#include <memory>

namespace {

std::vector<uint8_t> hex(const char* text) {
    std::vector<uint8_t> out;
    for (const char* p = text; *p;) {
        if (*p == ' ') {
            ++p;
            continue;
        }
        out.push_back(uint8_t(std::strtol(std::string(p, 2).c_str(), nullptr, 16)));
        p += 2;
    }
    return out;
}

std::vector<uint8_t> headerBytes(const RenderedSound& s) { return {s.header().begin(), s.header().end()}; }

SoundModel newModel(int bits = 8) {
    SoundModel m;
    m.settings.bitsPerSample = bits;
    m.rendered.setBits(bits);
    m.newSound();
    return m;
}

std::vector<uint8_t> reference(const SoundModel& m) {
    const SoundSettings& s = m.settings;
    return referenceRender(m.table, s.amplitude, s.frequency, s.echoVolume, s.echoDelay, s.distort,
                           m.rendered.sampleRate(), m.rendered.bits(), m.rendered.lengthMs(), m.rendered.totalMs());
}

}  // namespace

TEST(RenderedSound, Sizes) {
    struct Case {
        float lengthMs, echoDelay;
        int rate, bits;
        int W, N;
        size_t bytes;
    } cases[] = {
        {400, 0, 11025, 8, 4410, 4410, 4410},
        {1000, 0, 44100, 16, 44100, 44100, 88200},  // 44100.0021 before truncation
        {20, 0, 11025, 8, 220, 220, 220},
        {400, 0.25f, 11025, 8, 4410, 7717, 7717},
        {400, 0.5f, 22050, 16, 8820, 22050, 44100},
        {10000, 1, 44100, 16, 441000, 1764000, 3528000},
    };
    for (const Case& c : cases) {
        RenderedSound s;
        ASSERT_TRUE(s.setBits(c.bits));
        ASSERT_TRUE(s.setSampleRate(c.rate));
        ASSERT_TRUE(s.setLength(c.lengthMs, c.echoDelay));
        EXPECT_EQ(s.lengthSamples(), c.W) << c.lengthMs << " ms at " << c.rate;
        EXPECT_EQ(s.sampleCount(), c.N) << c.lengthMs << " ms at " << c.rate;
        EXPECT_EQ(s.dataSize(), c.bytes);
        EXPECT_EQ(le::get32(&s.header()[40]), c.bytes);
        EXPECT_EQ(le::get32(&s.header()[4]), c.bytes + 36);
    }
}

TEST(RenderedSound, ConstructedAt100Ms) {
    RenderedSound s;
    EXPECT_EQ(s.dataSize(), 1102u);
    EXPECT_EQ(s.lengthSamples(), 0);
    EXPECT_EQ(s.bits(), 8);
    EXPECT_EQ(s.sampleRate(), 11025);
}

TEST(RenderedSound, NewSoundFirstSamples) {
    const SoundModel m8 = newModel(8);
    const uint8_t bytes[] = {128, 139, 151, 162, 173, 183, 193, 201};
    for (int n = 0; n < 8; ++n) EXPECT_EQ(m8.rendered.samples()[size_t(n)], bytes[n]) << n;
    const SoundModel m16 = newModel(16);
    const int samples[] = {0, 2995, 5945, 8807, 11537, 14096, 16760, 18826};
    for (int n = 0; n < 8; ++n) EXPECT_EQ(m16.rendered.sampleAt(n), samples[n]) << n;
    // The amplitude falls to 0 at the end: the last samples are silence.
    EXPECT_EQ(m8.rendered.samples().back(), 128);
    EXPECT_LT(std::abs(m16.rendered.sampleAt(m16.rendered.sampleCount() - 1)), 30);
    EXPECT_EQ(m8.rendered.sampleCount(), 4410);
}

TEST(RenderedSound, FullScaleIsClippedOneStepShort) {
    for (int bits : {8, 16}) {
        SoundModel m = newModel(bits);
        m.settings.amplitude.fromText("0:100 100:100");
        m.settings.waveform = 200;  // Square: +1 then -1
        m.apply(m.settings, true);
        int lo = 1 << 20, hi = -(1 << 20);
        for (int n = 0; n < m.rendered.sampleCount(); ++n) {
            lo = std::min(lo, m.rendered.sampleAt(n));
            hi = std::max(hi, m.rendered.sampleAt(n));
        }
        EXPECT_EQ(hi, bits == 8 ? 127 : 32767);
        EXPECT_EQ(lo, bits == 8 ? -127 : -32767);
        if (bits == 8) {
            for (uint8_t b : m.rendered.samples()) ASSERT_NE(b, 0);
        }
    }
}

TEST(RenderedSound, ClippedCountCountsOnlySamplesAtFullScale) {
    struct Case {
        const char* amplitude;
        int bits;
        bool allClipped;
    } cases[] = {
        {"0:100 100:100", 8, true},         // +-128 stored as 255 and 1
        {"0:100 100:100", 16, true},        // +-32768 stored as +-32767
        {"0:99.22 100:99.22", 8, true},     // 127.0 is the top byte
        {"0:99 100:99", 8, false},          // 126.7 truncates to 126
        {"0:99.997 100:99.997", 16, true},  // 32767.0
        {"0:99.99 100:99.99", 16, false},   // 32764.7
        {"0:50 100:50", 8, false},
    };
    for (const Case& c : cases) {
        SoundModel m = newModel(c.bits);
        ASSERT_TRUE(m.settings.amplitude.fromText(c.amplitude));
        m.settings.waveform = 200;  // Square: every sample at the curve's level
        m.apply(m.settings, true);
        EXPECT_EQ(m.rendered.clippedCount(), c.allClipped ? m.rendered.sampleCount() : 0)
            << c.amplitude << " at " << c.bits << " bits";
    }
}

TEST(RenderedSound, DistortionAboveTheCapActsAsTheCap) {
    SoundModel a = newModel(16), b = newModel(16);
    a.settings.distort = 1.0f;
    b.settings.distort = 0.99f;
    a.render();
    b.render();
    EXPECT_EQ(a.rendered.samples(), b.rendered.samples());
    // With distortion and a silent curve, silence.
    a.settings.amplitude.fromText("0:0 50:0 100:0");
    a.settings.distort = 0.5f;
    a.render();
    for (int n = 0; n < a.rendered.sampleCount(); ++n) ASSERT_EQ(a.rendered.sampleAt(n), 0);
}

TEST(RenderedSound, EchoTailIsSilentWithoutEchoVolume) {
    SoundModel m = newModel(8);
    m.settings.echoDelay = 0.5f;
    m.apply(m.settings, true);
    ASSERT_EQ(m.rendered.sampleCount(), 11025);
    for (int n = 4410; n < 11025; ++n) ASSERT_EQ(m.rendered.samples()[size_t(n)], 128) << n;
}

TEST(RenderedSound, EchoRepeatsTheStoredSoundAtHalfVolume) {
    SoundModel m = newModel(16);
    m.settings.echoDelay = 0.25f;
    m.settings.echoVolume = 1.0f;
    m.apply(m.settings, true);
    const int d = 1102;  // trunc(4410 x 0.25)
    // Past the main part only echoes sound: each is half the stored sample one delay back.
    for (int n = 4410; n < m.rendered.sampleCount(); ++n)
        ASSERT_EQ(m.rendered.sampleAt(n), int(m.rendered.sampleAt(n - d) * 0.5)) << n;
    EXPECT_EQ(m.rendered.samples(), reference(m));
}

TEST(RenderedSound, EchoDelayShorterThanOneSampleHasNoEcho) {
    SoundModel withEcho = newModel(8), without = newModel(8);
    for (SoundModel* m : {&withEcho, &without}) {
        m->settings.length = 0.0f;  // 20 ms: 220 samples, 220 x 0.004 < 1
        m->settings.echoDelay = 0.004f;
        m->apply(m->settings, true);
    }
    withEcho.settings.echoVolume = 1.0f;
    withEcho.render();
    EXPECT_EQ(withEcho.rendered.sampleCount(), 223);
    EXPECT_EQ(withEcho.rendered.samples(), without.rendered.samples());
}

TEST(RenderedSound, ZeroDurationFirstSegmentIsFlat) {
    SoundModel m = newModel(8);
    m.settings.waveform = 200;  // Square: entry 0 is +1
    m.table.build(200);
    m.settings.amplitude.fromText("0:50 0:100 100:100");
    m.settings.frequency.fromText("0:0 0:100 100:100");
    m.render();
    // Sample 0 takes the first point's values: amplitude 0.5, frequency 0 (10 Hz),
    // so sample 1 still reads entry 0 and is at full scale.
    EXPECT_EQ(m.rendered.samples()[0], 128 + 64);
    EXPECT_EQ(m.rendered.samples()[1], 255);
    EXPECT_EQ(m.rendered.samples(), reference(m));
    // Later the frequency is 4840 Hz: the phase runs and the square changes sign.
    int negatives = 0;
    for (uint8_t b : m.rendered.samples()) negatives += b < 128;
    EXPECT_GT(negatives, 1000);
}

TEST(RenderedSound, PhaseRoundedUpTo360ReadsEntryZero) {
    // At the frequency value with bits 0x3E99E4FF (0.3005752) and 11025 Hz the
    // phase of sample 2923 rounds to exactly 360.0f. Check that first, then
    // that this sample reads entry 0 of the square (+1), not entry 359 (-1).
    const uint32_t bits = 0x3E99E4FF;
    float v;
    std::memcpy(&v, &bits, sizeof v);
    const double inc = std::pow(10.0, double(v) * double(2.6848454f)) * 3600.0 / 11025;
    float phase = 0.0f;
    int hit = -1;
    for (int n = 1; n < 4410 && hit < 0; ++n) {
        phase = float(std::fmod(double(phase) + inc, 360.0));
        if (phase == 360.0f) hit = n;
    }
    ASSERT_EQ(hit, 2923) << "this value no longer gives a phase of exactly 360";
    SoundModel m = newModel(8);
    ASSERT_TRUE(m.settings.frequency.assign({0.0f, 1.0f}, {v, v}));
    ASSERT_TRUE(m.settings.amplitude.fromText("0:100 100:100"));
    m.settings.waveform = 200;
    m.apply(m.settings, true);
    EXPECT_EQ(m.rendered.samples()[size_t(hit)], 255);
    EXPECT_EQ(m.rendered.samples()[size_t(hit) - 1], 1);  // about 357.9 degrees
    EXPECT_EQ(m.rendered.samples(), reference(m));
}

TEST(RenderedSound, UnallocatableBufferLeavesAnEmptySound) {
    RenderedSound s;
    EXPECT_FALSE(s.setLength(1e12f, 0.0f));
    EXPECT_EQ(s.dataSize(), 0u);
    EXPECT_EQ(s.sampleCount(), 0);
    EXPECT_EQ(le::get32(&s.header()[40]), 0u);
    WaveformTable table;
    Envelope a(EnvelopeKind::Amplitude), f(EnvelopeKind::Frequency);
    s.render(table, a, f, 0.5f, 0.5f, 0.5f);
    EXPECT_TRUE(s.wavImage(3).empty()) << "nothing to play";
    // Negative and not-a-number durations give no samples either, and no crash.
    EXPECT_TRUE(s.setLength(400.0f, -1.0f));
    s.render(table, a, f, 0.5f, -1.0f, 0.5f);
    EXPECT_EQ(s.sampleCount(), 0);
    EXPECT_TRUE(s.setLength(std::nanf(""), 0.0f));
    s.render(table, a, f, 0.5f, 0.0f, 0.5f);
    EXPECT_TRUE(s.setLength(400.0f, 0.0f));
    EXPECT_EQ(s.sampleCount(), 4410);
}

TEST(RenderedSound, BrokenSettingsNeverLeaveTheSampleRange) {
    // The file readers keep such values out; render must survive them anyway.
    struct Case {
        const char* amplitude;
        const char* frequency;
        float echoVolume, echoDelay, distort;
    } cases[] = {
        {"0:500 100:-300", "0:50 100:50", 3.0f, 0.5f, 0.0f}, {"0:100 100:100", "0:-500 100:900", 0.0f, 0.0f, -2.0f},
        {"10:100 60:100", "0:50 40:50", 2.0f, 5.0f, 0.5f},  // curves that end before the sound
        {"0:100 100:100", "0:nan 100:50", 1.0f, 0.1f, 0.3f}, {"0:inf 100:100", "0:50 100:50", 1.0f, 0.1f, 0.3f},
    };
    for (const Case& c : cases) {
        for (int bits : {8, 16}) {
            SoundModel m = newModel(bits);
            ASSERT_TRUE(m.settings.amplitude.fromText(c.amplitude));
            ASSERT_TRUE(m.settings.frequency.fromText(c.frequency));
            m.settings.echoVolume = c.echoVolume;
            m.settings.echoDelay = c.echoDelay;
            m.settings.distort = c.distort;
            m.apply(m.settings, true);
            for (int n = 0; n < m.rendered.sampleCount(); ++n) {
                const int v = m.rendered.sampleAt(n);
                ASSERT_TRUE(bits == 8 ? (v >= -127 && v <= 127) : (v >= -32767 && v <= 32767))
                    << c.amplitude << " " << c.frequency << " bits " << bits << " n " << n << " = " << v;
            }
        }
    }
}

TEST(WavImage, HeaderOfTheNewSound) {
    const SoundModel m = newModel(8);
    EXPECT_EQ(headerBytes(m.rendered), hex("52494646 5E110000 57415645 666D7420 10000000 0100 0100 112B0000 "
                                           "112B0000 0100 0800 64617461 3A110000"));
}

TEST(WavImage, HeaderAfterFormatChanges) {
    SoundModel m = newModel(8);
    m.settings.bitsPerSample = 16;
    m.apply(m.settings, true);
    m.settings.sampleRate = 22050;
    m.apply(m.settings, true);
    const auto& h = m.rendered.header();
    EXPECT_EQ(le::get16(&h[32]), 2);
    EXPECT_EQ(le::get16(&h[34]), 16);
    EXPECT_EQ(le::get32(&h[28]), 44100u);
    EXPECT_EQ(le::get32(&h[24]), 22050u);
    EXPECT_EQ(le::get32(&h[40]), 4u * 4410u);
}

TEST(WavImage, TheImageRepeatsTheSamplesAndKeepsTheHeldHeader) {
    SoundModel m;
    m.newSound();
    const WavImage played = m.rendered.wavImage(3);
    const std::vector<uint8_t>& image = played.bytes();
    ASSERT_EQ(image.size(), 13274u);
    EXPECT_EQ(std::vector<uint8_t>(image.begin() + 4, image.begin() + 8), hex("D2330000"));
    EXPECT_EQ(std::vector<uint8_t>(image.begin() + 40, image.begin() + 44), hex("AE330000"));
    for (int r = 0; r < 3; ++r)
        EXPECT_TRUE(
            std::equal(m.rendered.samples().begin(), m.rendered.samples().end(), image.begin() + 44 + r * 4410));
    EXPECT_EQ(le::get32(&m.rendered.header()[4]), 4446u);
    EXPECT_EQ(le::get32(&m.rendered.header()[40]), 4410u);
    // The image is a snapshot: rendering another sound does not touch it.
    const std::vector<uint8_t> copy = image;
    m.settings.waveform = 405;
    m.apply(m.settings, true);
    EXPECT_EQ(played.bytes(), copy);
    // Repeats beyond the ten buttons are limited.
    EXPECT_EQ(m.rendered.wavImage(99).size(), 44u + 10u * 4410u);
    EXPECT_EQ(m.rendered.wavImage(0).size(), 44u + 4410u);
}

TEST(WavImage, ParseReadsBackWhatBuildWrote) {
    const SoundModel m = newModel(16);
    const WavImage built = WavImage::build(m.rendered.header(), m.rendered.samples().data(), m.rendered.dataSize(), 2);
    const WavImage parsed = WavImage::parse(built.bytes());
    EXPECT_EQ(parsed.bytes(), built.bytes());
    EXPECT_TRUE(WavImage::parse({}).empty());
    std::vector<uint8_t> stereo = built.bytes();
    le::put16(&stereo[22], 2);
    EXPECT_TRUE(WavImage::parse(stereo).empty());
    std::vector<uint8_t> cut(built.bytes().begin(), built.bytes().begin() + 30);
    EXPECT_TRUE(WavImage::parse(cut).empty());
}

// A preview renders the main part alone: those samples must be exactly the
// full render's, whatever the echo reads back from.
TEST(RenderedSound, TheMainPartAloneIsTheFullRendersMainPart) {
    const struct {
        const char* frequency;
        float echoVolume, echoDelay, distort;
        int bits;
    } cases[] = {
        {"0:50 100:50", 0.0f, 0.0f, 0.0f, 8},
        {"0:10 20:90 40:20 60:80 80:30 100:70", 0.5f, 1.0f, 0.3f, 16},
        {"0:30 100:80", 0.9f, 0.05f, 0.0f, 16},  // an echo within the main part
        {"0:60 50:60 50:20 100:20", 0.7f, 0.3f, 0.8f, 8},
    };
    for (const auto& c : cases) {
        SoundModel m;
        m.settings.resetToNew();
        ASSERT_TRUE(m.settings.frequency.fromText(c.frequency));
        m.settings.echoVolume = c.echoVolume;
        m.settings.echoDelay = c.echoDelay;
        m.settings.distort = c.distort;
        m.settings.bitsPerSample = c.bits;
        m.applyAll();
        const std::vector<uint8_t> full = m.rendered.samples();
        // Spoil every sample, then render the main part only.
        m.settings.waveform = 200;
        m.apply(m.settings, true);
        m.settings.waveform = 100;
        m.apply(m.settings, false);
        m.renderMainPart();
        const size_t mainBytes = size_t(m.rendered.lengthSamples()) * size_t(c.bits / 8);
        ASSERT_LT(mainBytes, full.size() + 1);
        EXPECT_TRUE(std::equal(full.begin(), full.begin() + long(mainBytes), m.rendered.samples().begin()))
            << c.frequency;
        // The tail after it, in pieces of any size, completes the same bytes.
        for (const int32_t piece : {1 << 30, 4096, 7}) {
            ASSERT_TRUE(m.rendered.setTail(std::vector<uint8_t>(full.size() - mainBytes, 0x55)));
            for (int32_t from = m.rendered.lengthSamples(); from < m.rendered.sampleCount(); from += piece)
                m.renderTail(from, from + std::min(piece, m.rendered.sampleCount() - from));
            EXPECT_EQ(m.rendered.samples(), full) << c.frequency << ", pieces of " << piece;
        }
        m.render();
        EXPECT_EQ(m.rendered.samples(), full) << "a full render brings the tail back";
    }
}

// A preview copies and replots only the samples that changed: the span must
// hold every changed byte, at both widths, wherever it lies.
TEST(RenderedSound, MainPartChangesSpanEveryChangedSample) {
    for (const int bits : {8, 16}) {
        SoundModel m;
        m.settings.resetToNew();
        m.settings.bitsPerSample = bits;
        m.applyAll();
        const std::vector<uint8_t> main = m.rendered.mainPart();
        const int32_t w = m.rendered.lengthSamples();
        const size_t width = size_t(bits / 8);
        const struct {
            std::vector<size_t> bytes;  // changed
            RenderedSound::Span span;
        } cases[] = {
            {{}, {0, 0}},
            {{0}, {0, 1}},
            {{main.size() - 1}, {w - 1, w}},
            {{width * 300 + width - 1, width * 3000}, {300, 3001}},  // the high byte of one, the low of another
            {{width * 1000, width * 1000 + 1}, {1000, 1000 + int32_t(2 / width)}},
        };
        for (const auto& c : cases) {
            std::vector<uint8_t> next = main;
            for (const size_t b : c.bytes) next[b] ^= 0x5A;
            const RenderedSound::Span span = m.rendered.mainPartChanges(next);
            EXPECT_EQ(span.first, c.span.first) << bits << " bits, " << c.bytes.size() << " changed";
            EXPECT_EQ(span.end, c.span.end) << bits << " bits, " << c.bytes.size() << " changed";
            ASSERT_TRUE(m.rendered.setMainPart(next, span));
            EXPECT_EQ(m.rendered.mainPart(), next) << "copying the span alone gives every byte";
            ASSERT_TRUE(m.rendered.setMainPart(main));
        }
        const RenderedSound::Span whole = m.rendered.mainPartChanges(std::vector<uint8_t>(main.size() + 1));
        EXPECT_EQ(whole.end - whole.first, w) << "other sizes: the whole main part";
    }
}
