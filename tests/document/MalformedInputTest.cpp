#include "EfcFormat.h"
#include "RawSettings.h"
#include "SoundFile.h"
#include "TestFiles.h"
#include "ZdlFormat.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <limits>

using testfiles::hex;

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

SoundSettings newSound() {
    SoundSettings s;
    s.resetToNew();
    s.bitsPerSample = 8;
    return s;
}

// Settings unlike the new sound, to see that a failed read leaves them be.
SoundSettings current() {
    SoundSettings s = testfiles::settingsWith("0:10 30:90 100:20", "0:0 100:100");
    s.waveform = 303;
    s.repeatCount = 7;
    s.bitsPerSample = 16;
    s.sampleRate = 44100;
    return s;
}

void put32(QByteArray& b, int at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = char((v >> (8 * i)) & 0xFF);
}

QByteArray zdlWith(const std::function<void(SoundSettings&)>& change) {
    SoundSettings s = newSound();
    change(s);
    return zdl::encode(s);
}

QByteArray zdlPatched(int at, uint32_t value) {
    QByteArray b = zdl::encode(newSound());
    put32(b, at, value);
    return b;
}

struct Malformed {
    std::string name;
    QByteArray bytes;
    const char* reason;  // a part of the expected error text
};

// Offsets in the 138-byte new sound: 4 amplitude count, 8 its points,
// 56 frequency count, 108 waveform, 112 length, 128 repeats, 132 width, 134 rate.
std::vector<Malformed> malformedZdl() {
    const QByteArray good = zdl::encode(newSound());
    std::vector<Malformed> cases;
    // Cut inside a block of points, the count promises more than is left.
    for (int size : {8, 12, 55, 60, 107})
        cases.push_back({"truncated at " + std::to_string(size), good.left(size), "more points than the file holds"});
    for (int size : {0, 1, 3, 4, 7, 56, 59, 108, 111, 127, 131, 132, 133, 134, 137})
        cases.push_back({"truncated at " + std::to_string(size), good.left(size), "ends early"});
    cases.push_back({"huge amplitude count", zdlPatched(4, 0x7FFFFFFF), "more points than the file holds"});
    cases.push_back({"huge frequency count", zdlPatched(56, 0x10000000), "more points than the file holds"});
    cases.push_back({"count one past the file", zdlPatched(4, 12), "more points than the file holds"});
    cases.push_back({"negative count", zdlPatched(4, 0xFFFFFFFF), "fewer than 2 points"});
    cases.push_back({"most negative count", zdlPatched(56, 0x80000000), "fewer than 2 points"});
    cases.push_back({"one point", zdlWith([](SoundSettings& s) { s.frequency.assign({0.f}, {0.5f}); }),
                     "frequency curve has fewer than 2 points"});
    cases.push_back({"NaN time", zdlWith([](SoundSettings& s) { s.amplitude.assign({0, kNaN, 1}, {0, 0, 0}); }),
                     "not a finite number"});
    cases.push_back({"infinite value", zdlWith([](SoundSettings& s) { s.frequency.assign({0, 1}, {0, -kInf}); }),
                     "not a finite number"});
    cases.push_back({"NaN length", zdlWith([](SoundSettings& s) { s.length = kNaN; }), "Length setting"});
    cases.push_back({"infinite echo delay", zdlWith([](SoundSettings& s) { s.echoDelay = kInf; }), "Echo Delay"});
    cases.push_back({"NaN distort", zdlWith([](SoundSettings& s) { s.distort = -kNaN; }), "Distort"});
    cases.push_back({"width 12", zdlWith([](SoundSettings& s) { s.bitsPerSample = 12; }), "sample width 12"});
    cases.push_back({"width 0", zdlWith([](SoundSettings& s) { s.bitsPerSample = 0; }), "sample width 0"});
    cases.push_back({"rate 8000", zdlWith([](SoundSettings& s) { s.sampleRate = 8000; }), "sample rate 8000"});
    cases.push_back({"rate 0", zdlWith([](SoundSettings& s) { s.sampleRate = 0; }), "sample rate 0"});
    cases.push_back({"rate above int range", zdlPatched(134, 0xFFFFFFFF), "sample rate 4294967295"});
    return cases;
}

std::vector<Malformed> malformedEfc() {
    using R = testfiles::EfcRecord;
    const auto with = [](const std::function<void(R&)>& change) {
        R r;
        change(r);
        return r.bytes();
    };
    const QByteArray good = R().bytes();
    std::vector<Malformed> cases;
    for (int size : {0, 1, 4, 7, 8, 103, 104, 1543, 1560, 1575, 1577})
        cases.push_back({"truncated at " + std::to_string(size), good.left(size), "ends early"});
    cases.push_back({"amplitude count 13", with([](R& r) { r.amplitudeCount = 13; }), "at most 12"});
    cases.push_back({"frequency count 32767", with([](R& r) { r.frequencyCount = 32767; }), "at most 12"});
    cases.push_back({"count 1", with([](R& r) { r.amplitudeCount = 1; }), "fewer than 2 points"});
    cases.push_back({"count 0", with([](R& r) { r.frequencyCount = 0; }), "fewer than 2 points"});
    cases.push_back({"negative count", with([](R& r) { r.amplitudeCount = -3; }), "fewer than 2 points"});
    cases.push_back({"rate 0", with([](R& r) { r.sampleRate = 0; }), "not a positive number"});
    cases.push_back({"negative rate", with([](R& r) { r.sampleRate = -11025; }), "not a positive number"});
    cases.push_back({"rate 8000", with([](R& r) { r.sampleRate = 8000; }), "sample rate 8000"});
    return cases;
}

void expectRejected(const Malformed& c, const ReadResult& read) {
    EXPECT_FALSE(read.ok) << c.name;
    EXPECT_FALSE(read.error.isEmpty()) << c.name;
    EXPECT_TRUE(read.error.contains(QLatin1String(c.reason))) << c.name << ": " << read.error.toStdString();
}

}  // namespace

TEST(MalformedInput, ZdlReaderRejectsWithAReason) {
    for (const Malformed& c : malformedZdl()) expectRejected(c, zdl::decode(c.bytes));
}

TEST(MalformedInput, EfcReaderRejectsWithAReason) {
    for (const Malformed& c : malformedEfc()) expectRejected(c, efc::decode(c.bytes));
}

TEST(MalformedInput, FromDiskEachReaderRejectsAndTheCallersSettingsStay) {
    QTemporaryDir dir;
    int n = 0;
    for (const auto& [extension, cases] : {std::pair{"zdl", malformedZdl()}, std::pair{"EFC", malformedEfc()}}) {
        for (const Malformed& c : cases) {
            const QString path = dir.filePath(QStringLiteral("case%1.%2").arg(++n).arg(QLatin1String(extension)));
            ASSERT_TRUE(testfiles::writeFile(path, c.bytes));
            SoundSettings settings = current();
            const ReadResult read = soundfile::read(path);
            if (read.ok) settings = read.settings;
            EXPECT_FALSE(read.ok) << extension << " " << c.name;
            EXPECT_FALSE(read.error.isEmpty()) << c.name;
            EXPECT_EQ(settings, current()) << c.name;
        }
    }
}

TEST(MalformedInput, FilesThatCannotBeReadGiveTheirReason) {
    QTemporaryDir dir;
    ASSERT_TRUE(testfiles::writeFile(dir.filePath(QStringLiteral("empty.zdl")), QByteArray()));
    ASSERT_TRUE(testfiles::writeFile(dir.filePath(QStringLiteral("empty.efc")), QByteArray()));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder.zdl")));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder.efc")));
    const struct {
        const char* name;
        const char* reason;
    } cases[] = {
        {"empty.zdl", "The file is empty."},
        {"empty.efc", "The file is empty."},
        {"folder.zdl", "It is a folder, not a file."},
        {"folder.efc", "It is a folder, not a file."},
        {"missing.zdl", "The file does not exist."},
        {"missing.efc", "The file does not exist."},
    };
    for (const auto& c : cases) {
        const ReadResult read = soundfile::read(dir.filePath(QLatin1String(c.name)));
        EXPECT_FALSE(read.ok) << c.name;
        EXPECT_EQ(read.error.toStdString(), c.reason) << c.name;
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
        SoundSettings target = current();
        EXPECT_FALSE(bad.toSettings(target).isEmpty()) << name;
        EXPECT_EQ(target, current()) << name;
    }
    SoundSettings target = current();
    EXPECT_TRUE(raw().toSettings(target).isEmpty());
    EXPECT_EQ(target.amplitude.toText(), "0:100 100:0");
}
