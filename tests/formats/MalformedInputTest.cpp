#include "Malformed.h"
#include "formats/EfcFormat.h"
#include "formats/RawSettings.h"
#include "formats/ZdlFormat.h"

#include "TestBytes.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>

using testfiles::Bytes;
using testfiles::currentSettings;
using testfiles::EfcRecord;
using testfiles::Malformed;

using testfiles::newSound;

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

using Decoder = DecodeResult (*)(const uint8_t*, size_t);
const Decoder kZdl = zdl::decode;
const Decoder kEfc = efc::decode;

Bytes zdlWith(const std::function<void(SoundSettings&)>& change) {
    SoundSettings s = newSound();
    change(s);
    return zdl::encode(s);
}

Bytes zdlPatched(size_t at, uint32_t value) {
    Bytes b = zdl::encode(newSound());
    testfiles::put32(b, at, value);
    return b;
}

Bytes efcWith(const std::function<void(EfcRecord&)>& change) {
    EfcRecord r;
    change(r);
    return r.bytes();
}

void expectRejected(const Malformed& c, const DecodeResult& read) {
    EXPECT_FALSE(read.ok) << c.name;
    EXPECT_FALSE(read.error.empty()) << c.name;
    EXPECT_NE(read.error.find(c.reason), std::string::npos) << c.name << ": " << read.error;
}

}  // namespace

TEST(MalformedInput, ZdlReaderRejectsWithAReason) {
    for (const Malformed& c : testfiles::malformedZdl()) expectRejected(c, zdl::decode(c.bytes));
}

TEST(MalformedInput, EfcReaderRejectsWithAReason) {
    for (const Malformed& c : testfiles::malformedEfc()) expectRejected(c, efc::decode(c.bytes));
}

// The whole sentence the user reads, numbers written out as plain decimals
// (no grouping, a minus sign where the file holds a negative number).
TEST(MalformedInput, ReasonsAreWholeSentences) {
    const struct {
        const char* name;
        Decoder decode;
        Bytes bytes;
        const char* reason;
    } cases[] = {
        {"zdl empty", kZdl, {}, "The file ends early."},
        {"zdl one point", kZdl, zdlPatched(4, 1), "The amplitude curve has fewer than 2 points."},
        {"zdl huge count", kZdl, zdlPatched(56, 0x10000000),
         "The frequency curve claims more points than the file holds."},
        {"zdl NaN value", kZdl, zdlWith([](SoundSettings& s) {
             s.amplitude.assign({0, 1}, {kNaN, 0});
         }),
         "The amplitude curve holds a value that is not a finite number."},
        {"zdl infinite echo volume", kZdl, zdlWith([](SoundSettings& s) { s.echoVolume = kInf; }),
         "The Echo Volume setting is not a finite number."},
        {"zdl width 12", kZdl, zdlWith([](SoundSettings& s) { s.bitsPerSample = 12; }),
         "The sample width 12 is not 8 or 16 bits."},
        {"zdl widest width", kZdl, zdlWith([](SoundSettings& s) { s.bitsPerSample = 65535; }),
         "The sample width 65535 is not 8 or 16 bits."},
        {"zdl largest rate", kZdl, zdlPatched(134, 0xFFFFFFFF),
         "The sample rate 4294967295 is not 11025, 22050 or 44100."},
        {"efc short", kEfc, Bytes(1577, 0), "The file ends early."},
        {"efc negative count", kEfc, efcWith([](EfcRecord& r) { r.amplitudeCount = -3; }),
         "The amplitude curve has fewer than 2 points."},
        {"efc 13 points", kEfc, efcWith([](EfcRecord& r) { r.amplitudeCount = 13; }),
         "The amplitude curve has 13 points; an old-style file holds at most 12."},
        {"efc 32767 points", kEfc, efcWith([](EfcRecord& r) { r.frequencyCount = 32767; }),
         "The frequency curve has 32767 points; an old-style file holds at most 12."},
        {"efc negative rate", kEfc, efcWith([](EfcRecord& r) { r.sampleRate = -11025; }),
         "The sample rate -11025 is not a positive number."},
        {"efc rate 8000", kEfc, efcWith([](EfcRecord& r) { r.sampleRate = 8000; }),
         "The sample rate 8000 is not 11025, 22050 or 44100."},
    };
    for (const auto& c : cases) {
        const DecodeResult read = c.decode(c.bytes.data(), c.bytes.size());
        EXPECT_FALSE(read.ok) << c.name;
        EXPECT_EQ(read.error, c.reason) << c.name;
    }
}

// A record cut short inside a larger buffer is short, whatever lies in
// memory after the given size.
TEST(MalformedInput, DecodersReadNoFurtherThanTheGivenSize) {
    const Bytes zdlBytes = zdl::encode(newSound());
    const Bytes efcBytes = EfcRecord().bytes();
    const struct {
        const char* name;
        Decoder decode;
        const Bytes* bytes;
        size_t size;
        bool ok;
    } cases[] = {
        {"zdl whole", kZdl, &zdlBytes, 138, true},
        {"zdl one byte short", kZdl, &zdlBytes, 137, false},
        {"zdl without its rate", kZdl, &zdlBytes, 134, false},
        {"zdl version only", kZdl, &zdlBytes, 4, false},
        {"zdl nothing", kZdl, &zdlBytes, 0, false},
        {"efc whole", kEfc, &efcBytes, 1578, true},
        {"efc one byte short", kEfc, &efcBytes, 1577, false},
        {"efc nothing", kEfc, &efcBytes, 0, false},
    };
    for (const auto& c : cases) {
        const DecodeResult read = c.decode(c.bytes->data(), c.size);
        EXPECT_EQ(read.ok, c.ok) << c.name << ": " << read.error;
        EXPECT_EQ(read.error, c.ok ? "" : "The file ends early.") << c.name;
    }
    for (const Decoder decode : {kZdl, kEfc}) {
        const DecodeResult read = decode(nullptr, 0);
        EXPECT_FALSE(read.ok);
        EXPECT_EQ(read.error, "The file ends early.");
    }
}

// The gate itself: a rejected raw record leaves the target settings whole.
TEST(MalformedInput, RejectedRawSettingsLeaveTheTargetUnchanged) {
    const auto raw = [] {
        RawSettings r;
        r.amplitudeTimes = {0, 1};
        r.amplitudeValues = {1, 0};
        r.frequencyTimes = {0, 1};
        r.frequencyValues = {0.5f, 0.5f};
        return r;
    };
    std::vector<std::pair<const char*, RawSettings>> cases;
    RawSettings r = raw();
    r.frequencyTimes = {0};
    r.frequencyValues = {0};
    cases.emplace_back("one point", r);
    r = raw();
    r.amplitudeValues = {1};
    cases.emplace_back("arrays of different lengths", r);
    r = raw();
    r.echoVolume = kNaN;
    cases.emplace_back("NaN", r);
    r = raw();
    r.bitsPerSample = 24;
    cases.emplace_back("width", r);
    r = raw();
    r.sampleRate = -1;
    cases.emplace_back("rate", r);
    for (const auto& [name, bad] : cases) {
        SoundSettings target = currentSettings();
        EXPECT_FALSE(bad.toSettings(target).empty()) << name;
        EXPECT_EQ(target, currentSettings()) << name;
    }
    SoundSettings target = currentSettings();
    EXPECT_TRUE(raw().toSettings(target).empty());
    EXPECT_EQ(target.amplitude.toText(), "0:100 100:0");
}
