#include "TestBytes.h"
#include "formats/ZdlFormat.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

using testfiles::Bytes;
using testfiles::hex;
using testfiles::settingsWith;
using testfiles::slice;
using testfiles::toHex;

using testfiles::newSound;

namespace {

uint32_t bitsOf(float f) {
    uint32_t b;
    std::memcpy(&b, &f, 4);
    return b;
}

// Every float of the settings compared by its bits, so that a reader that
// rounds or normalises anything is caught.
void expectBitIdentical(const SoundSettings& a, const SoundSettings& b) {
    ASSERT_EQ(a.amplitude.pointCount(), b.amplitude.pointCount());
    ASSERT_EQ(a.frequency.pointCount(), b.frequency.pointCount());
    for (const auto& [x, y] : {std::pair{&a.amplitude, &b.amplitude}, std::pair{&a.frequency, &b.frequency}})
        for (int i = 0; i < x->pointCount(); ++i) {
            EXPECT_EQ(bitsOf(x->time(i)), bitsOf(y->time(i)));
            EXPECT_EQ(bitsOf(x->value(i)), bitsOf(y->value(i)));
        }
    EXPECT_EQ(bitsOf(a.length), bitsOf(b.length));
    EXPECT_EQ(bitsOf(a.distort), bitsOf(b.distort));
    EXPECT_EQ(bitsOf(a.echoVolume), bitsOf(b.echoVolume));
    EXPECT_EQ(bitsOf(a.echoDelay), bitsOf(b.echoDelay));
    EXPECT_TRUE(a == b);
}

}  // namespace

TEST(ZdlFormat, NewSoundIsTheWorkedExampleAndReadsBackBitIdentical) {
    const Bytes bytes = zdl::encode(newSound());
    EXPECT_EQ(bytes.size(), 138u);
    EXPECT_EQ(toHex(bytes), toHex(hex(testfiles::kNewSoundZdl)));

    const DecodeResult read = zdl::decode(bytes);
    ASSERT_TRUE(read.ok) << read.error;
    EXPECT_EQ(read.version, 1001);
    expectBitIdentical(read.settings, newSound());
}

TEST(ZdlFormat, UnusualButValidSettingsRoundTripBitIdentical) {
    SoundSettings s = settingsWith("0:0 0:100 33.3333:12.5 100:100", "0:0.1 100:99.9");
    s.waveform = 405;
    s.length = 0.123456789f;
    s.distort = 1.0f;
    s.echoVolume = std::numeric_limits<float>::denorm_min();
    s.echoDelay = -0.0f;  // in range, and must keep its sign bit
    s.repeatCount = 10;
    s.bitsPerSample = 16;
    s.sampleRate = 22050;
    const DecodeResult read = zdl::decode(zdl::encode(s));
    ASSERT_TRUE(read.ok) << read.error;
    expectBitIdentical(read.settings, s);
}

TEST(ZdlFormat, SizeFollowsFromThePointCounts) {
    const SoundSettings two = settingsWith("0:50 100:50", "0:50 100:50");
    EXPECT_EQ(zdl::encode(two).size(), size_t(42 + 8 * 4));
    // A two-point block: count, then two (time, value) pairs.
    EXPECT_EQ(toHex(slice(zdl::encode(two), 4, 20)), toHex(hex("02000000 00000000 0000003F 0000803F 0000003F")));
    const SoundSettings many = settingsWith("0:0 10:10 20:20 30:30 40:40 50:50 60:60 70:70 100:0", "0:50 100:50");
    EXPECT_EQ(zdl::encode(many).size(), size_t(42 + 8 * 11));
}

TEST(ZdlFormat, WidthAndRateAreTheLastSixBytes) {
    SoundSettings s = newSound();
    s.bitsPerSample = 16;
    s.sampleRate = 44100;
    const Bytes bytes = zdl::encode(s);
    EXPECT_EQ(toHex(slice(bytes, bytes.size() - 6, 6)), toHex(hex("1000 44AC0000")));
}

TEST(ZdlFormat, VersionsReadWithTheirLayouts) {
    SoundSettings s = newSound();
    s.bitsPerSample = 16;
    s.sampleRate = 22050;
    const Bytes v1001 = zdl::encode(s);

    // Version 1000 has no width field: 8 bit, the rate from the last 4 bytes.
    Bytes v1000 = v1001;
    v1000.erase(v1000.end() - 6, v1000.end() - 4);
    testfiles::put32(v1000, 0, 1000);
    ASSERT_EQ(v1000.size(), size_t(40 + 8 * 12));
    DecodeResult read = zdl::decode(v1000);
    ASSERT_TRUE(read.ok) << read.error;
    EXPECT_EQ(read.version, 1000);
    EXPECT_EQ(read.settings.bitsPerSample, 8);
    EXPECT_EQ(read.settings.sampleRate, 22050);
    EXPECT_EQ(read.settings.amplitude, s.amplitude);

    // Any other number is read with the 1001 layout.
    for (const char* version : {"E7030000", "EA030000", "00000000", "FFFFFFFF"}) {
        Bytes other = v1001;
        const Bytes field = hex(version);
        std::copy(field.begin(), field.end(), other.begin());
        read = zdl::decode(other);
        ASSERT_TRUE(read.ok) << version << ": " << read.error;
        EXPECT_EQ(read.settings.bitsPerSample, 16) << version;
        EXPECT_EQ(read.settings.sampleRate, 22050) << version;
    }
}

TEST(ZdlFormat, BytesAfterTheRecordAreIgnored) {
    Bytes bytes = zdl::encode(newSound());
    const std::string junk = "trailing junk";
    bytes.insert(bytes.end(), junk.begin(), junk.end());
    const DecodeResult read = zdl::decode(bytes);
    ASSERT_TRUE(read.ok);
    EXPECT_EQ(read.settings, newSound());
}

// Values that are merely out of range open, repaired, and satisfy every
// invariant the renderer and the repeat buttons rely on.
TEST(ZdlFormat, OutOfRangeValuesAreRepaired) {
    struct Case {
        const char* name;
        const char* amplitude;
        const char* expectedAmplitude;
        float position;
        float expectedPosition;
        int32_t repeats;
        int32_t expectedRepeats;
    };
    const Case cases[] = {
        {"in range", "0:75 100:0", "0:75 100:0", 0.5f, 0.5f, 5, 5},
        {"values above and below", "0:-10 50:120 100:50", "0:0 50:100 100:50", 1.5f, 1.0f, 11, 10},
        {"times outside 0..1", "-20:50 50:50 130:50", "0:50 50:50 100:50", -0.5f, 0.0f, 0, 1},
        {"times going back", "50:10 30:20 90:30 80:40", "0:10 50:20 90:30 100:40", 0.25f, 0.25f, -7, 1},
        {"ends not at 0 and 1", "10:50 60:50 90:50", "0:50 60:50 100:50", 1.0f, 1.0f,
         std::numeric_limits<int32_t>::max(), 10},
        {"all times equal", "40:10 40:20 40:30", "0:10 40:20 100:30", 0.0f, 0.0f, 1, 1},
    };
    for (const Case& c : cases) {
        SoundSettings s = newSound();
        Envelope raw;
        ASSERT_TRUE(raw.fromText(c.amplitude)) << c.name;
        s.amplitude.assign(raw.times(), raw.values());
        s.length = s.distort = s.echoVolume = s.echoDelay = c.position;
        s.repeatCount = c.repeats;
        const DecodeResult read = zdl::decode(zdl::encode(s));
        ASSERT_TRUE(read.ok) << c.name << ": " << read.error;
        EXPECT_EQ(read.settings.amplitude.toText(), c.expectedAmplitude) << c.name;
        EXPECT_TRUE(read.settings.amplitude.isValid()) << c.name;
        EXPECT_TRUE(read.settings.frequency.isValid()) << c.name;
        for (float p : {read.settings.length, read.settings.distort, read.settings.echoVolume, read.settings.echoDelay})
            EXPECT_EQ(p, c.expectedPosition) << c.name;
        EXPECT_EQ(read.settings.repeatCount, c.expectedRepeats) << c.name;
    }
}

TEST(ZdlFormat, CurvesOfMoreThan65536PointsAreRefused) {
    const struct {
        int amplitudePoints;
        int frequencyPoints;
        const char* error;  // empty: read
    } cases[] = {
        {65536, 2, ""},
        {2, 65536, ""},
        {65537, 2, "The amplitude curve has too many points: 65537; at most 65536."},
        {2, 70000, "The frequency curve has too many points: 70000; at most 65536."},
    };
    for (const auto& c : cases) {
        SoundSettings s;
        s.resetToNew();
        for (auto [envelope, n] : {std::pair{&s.amplitude, c.amplitudePoints}, {&s.frequency, c.frequencyPoints}}) {
            std::vector<float> times(static_cast<size_t>(n)), values(static_cast<size_t>(n), 0.5f);
            for (int i = 0; i < n; ++i) times[size_t(i)] = float(i) / float(n - 1);
            ASSERT_TRUE(envelope->assign(times, values));
        }
        const DecodeResult read = zdl::decode(zdl::encode(s));
        EXPECT_EQ(read.ok, *c.error == '\0') << c.amplitudePoints << "/" << c.frequencyPoints;
        EXPECT_EQ(read.error, c.error);
        if (read.ok) {
            EXPECT_EQ(read.settings, s);
        }
    }
}
