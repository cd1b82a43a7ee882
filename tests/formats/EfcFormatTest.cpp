#include "TestBytes.h"
#include "formats/EfcFormat.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using testfiles::EfcRecord;

TEST(EfcFormat, WaveformComesFromEntry20) {
    const struct {
        float entry;
        int32_t code;
    } cases[] = {
        {0.34202015f, 100},  // sin 20 degrees
        {0.3429f, 100},      // 342.9 truncates to 342
        {0.342f, 100},
        {0.1111f, 201},  // Saw
        {0.6392f, 300},  // Organ
        {0.639f, 400},   // as a float a hair below 0.639: 638
        {1.0f, 200},     // Square
        {-0.342f, 400},  // truncates toward zero to -342
        {0.0f, 400},
        {0.341f, 400},
        {std::numeric_limits<float>::quiet_NaN(), 400},
        {std::numeric_limits<float>::infinity(), 400},
        {1.0e30f, 400},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(efc::waveformFromCycleEntry(c.entry), c.code) << c.entry;
        EfcRecord r;
        r.cycleEntry20 = c.entry;
        const DecodeResult read = efc::decode(r.bytes());
        ASSERT_TRUE(read.ok) << read.error;
        EXPECT_EQ(read.settings.waveform, c.code) << c.entry;
    }
}

TEST(EfcFormat, LengthPositionFromSamplesAndRate) {
    const struct {
        uint32_t samples;
        int32_t rate;
        float position;
    } cases[] = {
        {4410, 11025, 0.2f},                                                     // 400 ms
        {17640, 44100, 0.2f},                                                    // 400 ms at another rate
        {110250, 11025, 1.0f},                                                   // 10 s
        {220500, 11025, 1.0f},                                                   // longer than the slider reaches
        {0, 11025, 0.0f},      {4294967295u, 44100, 1.0f}, {2205, 22050, 0.1f},  // 100 ms
    };
    for (const auto& c : cases) {
        EXPECT_FLOAT_EQ(efc::lengthFromSamples(c.samples, c.rate), c.position) << c.samples << "@" << c.rate;
        EfcRecord r;
        r.sampleCount = c.samples;
        r.sampleRate = c.rate;
        const DecodeResult read = efc::decode(r.bytes());
        ASSERT_TRUE(read.ok) << read.error;
        EXPECT_FLOAT_EQ(read.settings.length, c.position);
        EXPECT_EQ(read.settings.sampleRate, c.rate);
    }
    // The 400 ms case lands exactly on the slider's 0.2, the new sound's length.
    EXPECT_EQ(efc::lengthFromSamples(4410, 11025), 0.2f);
}

TEST(EfcFormat, PointsAreFixedPointWithTheEndsForced) {
    const struct {
        std::vector<std::pair<int16_t, int16_t>> points;
        const char* curve;
    } cases[] = {
        {{{0, 192}, {64, 192}, {256, 0}}, "0:75 25:75 100:0"},
        {{{10, 128}, {128, 64}, {250, 32}}, "0:50 50:25 100:12.5"},
        {{{-40, 300}, {300, -5}}, "0:100 100:0"},  // out of range, limited
        {{{0, 0}, {200, 10}, {100, 20}, {256, 30}}, "0:0 78.125:3.90625 78.125:7.8125 100:11.7188"},
        // A stored first time above the next one is replaced by 0 before the
        // order is repaired, so it pushes no later point up.
        {{{40, 192}, {10, 128}, {256, 0}}, "0:75 3.90625:50 100:0"},
        {{{300, 0}, {10, 64}, {20, 128}, {250, 0}}, "0:0 3.90625:25 7.8125:50 100:0"},
        // A stored last time below its neighbour is 1 all the same.
        {{{0, 64}, {128, 64}, {100, 0}}, "0:25 50:25 100:0"},
    };
    for (const auto& c : cases) {
        for (bool amplitude : {true, false}) {
            EfcRecord r;
            (amplitude ? r.amplitude : r.frequency) = c.points;
            const DecodeResult read = efc::decode(r.bytes());
            ASSERT_TRUE(read.ok) << read.error;
            const Envelope& e = amplitude ? read.settings.amplitude : read.settings.frequency;
            EXPECT_EQ(e.toText(), c.curve);
            EXPECT_TRUE(e.isValid());
        }
    }
}

TEST(EfcFormat, ScalarsConvertAndAreKeptInRange) {
    EfcRecord r;
    r.echoVolume = 64;  // 0.25
    r.echoDelay = 128;  // 0.5
    r.distort = 512;    // 2.0, limited to 1
    r.repeatCount = 4;
    r.sampleRate = 22050;
    DecodeResult read = efc::decode(r.bytes());
    ASSERT_TRUE(read.ok);
    EXPECT_EQ(read.settings.echoVolume, 0.25f);
    EXPECT_EQ(read.settings.echoDelay, 0.5f);
    EXPECT_EQ(read.settings.distort, 1.0f);
    EXPECT_EQ(read.settings.repeatCount, 4);
    EXPECT_EQ(read.settings.bitsPerSample, 8);
    EXPECT_EQ(read.version, 0);

    r.echoVolume = -256;
    r.repeatCount = 99;
    read = efc::decode(r.bytes());
    ASSERT_TRUE(read.ok);
    EXPECT_EQ(read.settings.echoVolume, 0.0f);
    EXPECT_EQ(read.settings.repeatCount, 10);
    r.repeatCount = 0;
    EXPECT_EQ(efc::decode(r.bytes()).settings.repeatCount, 1);
}

TEST(EfcFormat, WidthIsAlways8AndLaterBytesAreIgnored) {
    testfiles::Bytes bytes = EfcRecord().bytes();
    bytes.insert(bytes.end(), 100, 0x10);
    bytes[0] = 'X';  // the first four bytes are no signature
    const DecodeResult read = efc::decode(bytes);
    ASSERT_TRUE(read.ok);
    EXPECT_EQ(read.settings.bitsPerSample, 8);
}
