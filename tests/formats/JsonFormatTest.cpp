#include "TestBytes.h"
#include "core/SoundModel.h"
#include "formats/EfcFormat.h"
#include "formats/JsonFormat.h"
#include "formats/ZdlFormat.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <random>

using testfiles::Bytes;
using testfiles::toHex;

using testfiles::decodeJson;
using testfiles::newSound;

namespace {

// The text with the first `from` replaced by `to`; a test whose `from` is
// not there fails instead of testing the unchanged text.
std::string replaced(std::string text, const std::string& from, const std::string& to) {
    const size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos) text.replace(at, from.size(), to);
    return text;
}

Bytes fileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Through JSON and back; the .zdl records compared byte for byte, so every
// float's bits count, and the text read back writes the same text.
void expectRoundTrip(const SoundSettings& s, const std::string& name) {
    const std::string text = soundjson::encode(s);
    const DecodeResult read = decodeJson(text);
    ASSERT_TRUE(read.ok) << name << ": " << read.error << "\n" << text;
    EXPECT_EQ(toHex(zdl::encode(read.settings)), toHex(zdl::encode(s))) << name << "\n" << text;
    EXPECT_EQ(soundjson::encode(read.settings), text) << name;
}

const char kNewSoundJson[] = R"({
  "format": "zindle-sound",
  "version": 1,
  "waveform": "Sine",
  "length": 0.2,
  "distort": 0,
  "echoVolume": 0,
  "echoDelay": 0,
  "repeatCount": 1,
  "bitsPerSample": 8,
  "sampleRate": 11025,
  "amplitude": [
    [0, 0.75],
    [0.2, 0.75],
    [0.4, 0.75],
    [0.6, 0.75],
    [0.8, 0.75],
    [1, 0]
  ],
  "frequency": [
    [0, 0.5],
    [0.2, 0.5],
    [0.4, 0.5],
    [0.6, 0.5],
    [0.8, 0.5],
    [1, 0.5]
  ]
}
)";

}  // namespace

TEST(JsonFormat, NewSoundIsTheDocumentedLayout) {
    EXPECT_EQ(soundjson::encode(newSound()), kNewSoundJson);
    const DecodeResult read = decodeJson(kNewSoundJson);
    ASSERT_TRUE(read.ok) << read.error;
    EXPECT_EQ(read.version, soundjson::kVersion);
    EXPECT_EQ(read.settings, newSound());
}

TEST(JsonFormat, CodesWithoutALabelAreWrittenAsNumbers) {
    SoundSettings s = newSound();
    for (const int32_t code : {0, -1, 102, 999, std::numeric_limits<int32_t>::min()}) {
        s.waveform = code;
        const std::string text = soundjson::encode(s);
        EXPECT_NE(text.find("\"waveform\": " + std::to_string(code) + ",\n"), std::string::npos) << text;
        expectRoundTrip(s, std::to_string(code));
    }
    s.waveform = waveforms::code(WaveformKind::Noise3);
    EXPECT_NE(soundjson::encode(s).find("\"waveform\": \"Noise 3\",\n"), std::string::npos);
}

// The test sounds and the committed fuzzing corpus: whatever either binary
// reader takes survives JSON.
TEST(JsonFormat, TestSoundsRoundTripBitIdentical) {
    int tried = 0;
    for (const char* folder : {"/sounds", "/corpus/zdl", "/corpus/efc"})
        for (const auto& entry : std::filesystem::directory_iterator(ZINDLE_TEST_DATA + std::string(folder))) {
            const Bytes bytes = fileBytes(entry.path());
            const bool old = entry.path().extension() == ".efc";
            const DecodeResult read = old ? efc::decode(bytes) : zdl::decode(bytes);
            if (!read.ok) continue;  // the files that test refusals
            expectRoundTrip(read.settings, entry.path().string());
            ++tried;
        }
    EXPECT_GE(tried, 4);
}

// Floats drawn from every bit pattern in 0..1 (subnormals included), the
// values at the edges, and codes, widths, rates and repeats of every kind.
TEST(JsonFormat, RandomSettingsRoundTripBitIdentical) {
    std::mt19937 random(20261209);
    const float edges[] = {-0.0f,
                           0.0f,
                           1.0f,
                           std::nextafter(1.0f, 0.0f),
                           std::numeric_limits<float>::denorm_min(),
                           std::numeric_limits<float>::min(),
                           0.1f,
                           1.0f / 3.0f};
    auto unitFloat = [&]() {
        if (random() % 4 == 0) return edges[random() % std::size(edges)];
        const uint32_t bits = random() % (0x3F800000u + 1);  // 0 to 1.0f
        float f;
        std::memcpy(&f, &bits, sizeof f);
        return f;
    };
    auto curve = [&](Envelope& e) {
        const size_t n = 2 + random() % 40;
        std::vector<float> times(n), values(n);
        for (float& v : values) v = unitFloat();
        for (float& t : times) t = unitFloat();
        std::sort(times.begin(), times.end());
        times.front() = 0.0f;
        times.back() = 1.0f;
        ASSERT_TRUE(e.assign(times, values));
    };
    const int32_t rates[] = {11025, 22050, 44100};
    for (int i = 0; i < 500; ++i) {
        SoundSettings s = newSound();
        curve(s.amplitude);
        curve(s.frequency);
        s.waveform = random() % 2 ? waveforms::kButtonOrder[random() % 18].code() : int32_t(random());
        s.length = unitFloat();
        s.distort = unitFloat();
        s.echoVolume = unitFloat();
        s.echoDelay = unitFloat();
        s.repeatCount = int32_t(1 + random() % 10);
        s.bitsPerSample = random() % 2 ? 8 : 16;
        s.sampleRate = rates[random() % 3];
        expectRoundTrip(s, "case " + std::to_string(i));
        if (HasFailure()) return;
    }
}

// Key order, whitespace, escapes in keys and a waveform given by number are
// the writer's choice only: any of them reads as the same sound.
TEST(JsonFormat, ReadsAnyOrderAndLayout) {
    const std::string compact =
        "{\"frequency\":[[0,0.5],[1,0.5]],\"amplitude\":[[0,1],[1,0]],\"sampleRate\":22050,"
        "\"bitsPerSample\":16,\"repeatCount\":3,\"echoDelay\":0.5,\"echoVolume\":0.25,\"distort\":1e-1,"
        "\"length\":5E-1,\"waveform\":200,\"version\":1,\"format\":\"zindle-sound\"}";
    SoundSettings expected = testfiles::settingsWith("0:100 100:0", "0:50 100:50");
    expected.waveform = waveforms::code(WaveformKind::Square);
    expected.length = 0.5f;
    expected.distort = 0.1f;
    expected.echoVolume = 0.25f;
    expected.echoDelay = 0.5f;
    expected.repeatCount = 3;
    expected.bitsPerSample = 16;
    expected.sampleRate = 22050;
    const struct {
        const char* name;
        std::string text;
    } cases[] = {
        {"compact, reversed", compact},
        {"tabs and CRLF", replaced(replaced(compact, ",", ",\r\n\t"), ":", " \t: ")},
        {"byte order mark", "\xEF\xBB\xBF" + compact},
        {"escaped key and label",
         replaced(replaced(compact, "\"length\"", "\"\\u006cength\""), "200", "\"\\u0053quare\"")},
    };
    for (const auto& c : cases) {
        const DecodeResult read = decodeJson(c.text);
        ASSERT_TRUE(read.ok) << c.name << ": " << read.error;
        EXPECT_EQ(read.settings, expected) << c.name;
    }
}

// Values the shared gate repairs are repaired here too, as in a .zdl.
TEST(JsonFormat, OutOfRangeValuesAreRepairedAsInTheBinaryFile) {
    std::string text = replaced(kNewSoundJson, "\"length\": 0.2", "\"length\": 7");
    text = replaced(text, "\"repeatCount\": 1", "\"repeatCount\": 9223372036854775807");
    text = replaced(text, "[0.2, 0.75]", "[-3, 2]");
    const DecodeResult read = decodeJson(text);
    ASSERT_TRUE(read.ok) << read.error;
    EXPECT_EQ(read.settings.length, 1.0f);
    EXPECT_EQ(read.settings.repeatCount, 10);
    EXPECT_EQ(read.settings.amplitude.toText(), "0:75 0:100 40:75 60:75 80:75 100:0");
}

TEST(JsonFormat, RenderFromJsonEqualsRenderFromZdl) {
    int rendered = 0;
    for (const char* name : {"laser.zdl", "new.zdl", "old-v1000.zdl"}) {
        const DecodeResult fromZdl = zdl::decode(fileBytes(std::string(ZINDLE_TEST_DATA "/sounds/") + name));
        ASSERT_TRUE(fromZdl.ok) << name << ": " << fromZdl.error;
        const DecodeResult fromJson = decodeJson(soundjson::encode(fromZdl.settings));
        ASSERT_TRUE(fromJson.ok) << name << ": " << fromJson.error;
        SoundModel a, b;
        a.settings = fromZdl.settings;
        b.settings = fromJson.settings;
        a.applyAll();
        b.applyAll();
        ASSERT_FALSE(a.rendered.samples().empty()) << name;
        EXPECT_TRUE(a.rendered.samples() == b.rendered.samples()) << name;
        ++rendered;
    }
    EXPECT_EQ(rendered, 3);
}

TEST(JsonFormat, LooksLikeJsonOnlyWhenTheTextStartsAnObject) {
    const struct {
        Bytes bytes;
        bool json;
    } cases[] = {
        {Bytes{'{'}, true},
        {Bytes{' ', '\r', '\n', '\t', '{', '}'}, true},
        {Bytes{0xEF, 0xBB, 0xBF, '{'}, true},
        {Bytes{}, false},
        {Bytes{'[', '{'}, false},
        {Bytes{'x', '{'}, false},
        {zdl::encode(newSound()), false},
        {testfiles::EfcRecord().bytes(), false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(soundjson::looksLikeJson(c.bytes.data(), c.bytes.size()), c.json) << toHex(c.bytes);
}
