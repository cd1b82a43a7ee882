#include "Malformed.h"

#include "formats/ZdlFormat.h"

#include <functional>
#include <limits>

namespace testfiles {

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

Bytes zdlWith(const std::function<void(SoundSettings&)>& change) {
    SoundSettings s = newSound();
    change(s);
    return zdl::encode(s);
}

Bytes zdlPatched(size_t at, uint32_t value) {
    Bytes b = zdl::encode(newSound());
    put32(b, at, value);
    return b;
}

}  // namespace

SoundSettings currentSettings() {
    SoundSettings s = settingsWith("0:10 30:90 100:20", "0:0 100:100");
    s.waveform = 303;
    s.repeatCount = 7;
    s.bitsPerSample = 16;
    s.sampleRate = 44100;
    return s;
}

// Offsets in the 138-byte new sound: 4 amplitude count, 8 its points,
// 56 frequency count, 108 waveform, 112 length, 128 repeats, 132 width, 134 rate.
std::vector<Malformed> malformedZdl() {
    const Bytes good = zdl::encode(newSound());
    std::vector<Malformed> cases;
    // Cut inside a block of points, the count promises more than is left.
    for (size_t size : {8, 12, 55, 60, 107})
        cases.push_back(
            {"truncated at " + std::to_string(size), slice(good, 0, size), "more points than the file holds"});
    for (size_t size : {0, 1, 3, 4, 7, 56, 59, 108, 111, 127, 131, 132, 133, 134, 137})
        cases.push_back({"truncated at " + std::to_string(size), slice(good, 0, size), "ends early"});
    cases.push_back({"huge amplitude count", zdlPatched(4, 0x7FFFFFFF), "more points than the file holds"});
    cases.push_back({"huge frequency count", zdlPatched(56, 0x10000000), "more points than the file holds"});
    cases.push_back({"count one past the file", zdlPatched(4, 12), "more points than the file holds"});
    cases.push_back({"negative count", zdlPatched(4, 0xFFFFFFFF), "fewer than 2 points"});
    cases.push_back({"most negative count", zdlPatched(56, 0x80000000), "fewer than 2 points"});
    cases.push_back({"one point", zdlWith([](SoundSettings& s) { s.frequency.assign({0.f}, {0.5f}); }),
                     "frequency curve has fewer than 2 points"});
    cases.push_back({"NaN time", zdlWith([](SoundSettings& s) {
                         s.amplitude.assign({0, kNaN, 1}, {0, 0, 0});
                     }),
                     "not a finite number"});
    cases.push_back({"infinite value", zdlWith([](SoundSettings& s) {
                         s.frequency.assign({0, 1}, {0, -kInf});
                     }),
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
    using R = EfcRecord;
    const auto with = [](const std::function<void(R&)>& change) {
        R r;
        change(r);
        return r.bytes();
    };
    const Bytes good = R().bytes();
    std::vector<Malformed> cases;
    for (size_t size : {0, 1, 4, 7, 8, 103, 104, 1543, 1560, 1575, 1577})
        cases.push_back({"truncated at " + std::to_string(size), slice(good, 0, size), "ends early"});
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

}  // namespace testfiles
