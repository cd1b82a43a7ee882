#include "TestBytes.h"
#include "formats/EfcFormat.h"
#include "formats/JsonFormat.h"
#include "formats/SoundFormats.h"
#include "formats/ZdlFormat.h"

#include <gtest/gtest.h>

#include <cstring>

using testfiles::Bytes;

namespace {

Bytes textBytes(const std::string& text) { return Bytes(text.begin(), text.end()); }

SoundSettings sound() {
    SoundSettings s = testfiles::settingsWith("0:0 10:100 100:0", "0:80 100:20");
    s.waveform = 304;
    return s;
}

// The names a sound may come under: its own extension, another format's,
// none at all, upper case, and one of no format.
const char* const kNames[] = {"s.zdl", "s.json", "s.efc", "s", "S.ZDL", "S.JSON", "S.EFC", "s.wav", ""};

DecodeResult read(const Bytes& bytes, const char* name) { return soundformats::read(bytes.data(), bytes.size(), name); }

Bytes efcStartingWith(const char* first4) {
    Bytes b = testfiles::EfcRecord().bytes();
    std::memcpy(b.data(), first4, 4);
    return b;
}

}  // namespace

TEST(SoundFormats, EverySoundIsToldByItsBytesUnderEveryName) {
    Bytes v1000 = zdl::encode(sound());
    v1000.erase(v1000.end() - 6, v1000.end() - 4);  // no width field
    testfiles::put32(v1000, 0, 1000);
    const struct {
        const char* what;
        Bytes bytes;
        SoundFormatId format;
    } cases[] = {
        {"zdl", zdl::encode(sound()), SoundFormatId::Zdl},
        {"zdl version 1000", v1000, SoundFormatId::Zdl},
        {"json", textBytes(soundjson::encode(sound())), SoundFormatId::Json},
        {"json after a byte order mark and blanks", textBytes("\xEF\xBB\xBF \n" + soundjson::encode(sound())),
         SoundFormatId::Json},
        {"efc", testfiles::EfcRecord().bytes(), SoundFormatId::Efc},
        // The unused first four bytes of an .efc may look like anything.
        {"efc that starts like a zdl", efcStartingWith("\xE9\x03\0\0"), SoundFormatId::Efc},
        {"efc that starts like JSON", efcStartingWith("  {\n"), SoundFormatId::Efc},
        {"efc that starts like Ogg", efcStartingWith("OggS"), SoundFormatId::Efc},
        {"efc with bytes after its record",
         [] {
             Bytes b = testfiles::EfcRecord().bytes();
             b.resize(b.size() + 100, 0xA5);
             return b;
         }(),
         SoundFormatId::Efc},
    };
    for (const auto& c : cases) {
        const DecodeResult own = soundformats::format(c.format).decode(c.bytes.data(), c.bytes.size());
        ASSERT_TRUE(own.ok) << c.what << ": " << own.error;
        for (const char* name : kNames) {
            const DecodeResult r = read(c.bytes, name);
            ASSERT_TRUE(r.ok) << c.what << " as " << name << ": " << r.error;
            EXPECT_EQ(r.format, c.format) << c.what << " as " << name;
            EXPECT_EQ(r.settings, own.settings) << c.what << " as " << name;
        }
    }
}

// Shorter than an .efc, exactly one, and longer: the size never makes
// another kind of file a sound, whatever it is called.
TEST(SoundFormats, OtherFilesAreRefusedAsWhatTheyAre) {
    for (const size_t size : {size_t(64), size_t(efc::kRecordBytes), size_t(4000)})
        for (const testfiles::OtherFile& file : testfiles::otherFiles(size))
            for (const char* name : kNames) {
                const DecodeResult r = read(file.bytes, name);
                EXPECT_FALSE(r.ok) << file.name << " as " << name;
                EXPECT_EQ(r.error,
                          std::string("This is not a sound file Zindle reads (it looks like ") + file.kind + ").")
                    << file.name << " of " << size << " bytes as " << name;
            }
}

TEST(SoundFormats, BrokenAndUnknownBytesKeepAClearReason) {
    const Bytes zdlBytes = zdl::encode(sound());
    const Bytes efcBytes = testfiles::EfcRecord().bytes();
    Bytes version999 = zdlBytes;
    testfiles::put32(version999, 0, 999);
    Bytes longZdl = zdlBytes;
    testfiles::put32(longZdl, 4, 0x7FFFFFFF);  // a count no file holds
    longZdl.resize(3000, 0);
    const std::string unknown = "This is not a sound file Zindle reads.";
    const struct {
        const char* what;
        Bytes bytes;
        const char* name;
        const char* reason;  // empty: read as a .zdl
    } cases[] = {
        {"empty", {}, "s.zdl", "The file is empty."},
        {"zdl cut short", testfiles::slice(zdlBytes, 0, 20), "s.json", "The amplitude curve claims more points"},
        {"zdl cut inside its version", testfiles::slice(zdlBytes, 0, 3), "s.zdl", "The file ends early."},
        {"zdl cut inside its version, no name", testfiles::slice(zdlBytes, 0, 3), "", unknown.c_str()},
        {"efc cut short", testfiles::slice(efcBytes, 0, 1000), "s.EFC", "The file ends early."},
        {"efc cut short, no name", testfiles::slice(efcBytes, 0, 1000), "s", unknown.c_str()},
        // A .zdl's version decides, however long the bytes: no .efc is tried.
        {"long broken zdl", longZdl, "", "The amplitude curve claims more points"},
        {"JSON with a typo", textBytes("{\n  \"lenght\": 1\n}"), "s.zdl", "line 2, column 3: unknown key \"lenght\""},
        {"JSON that is no object", textBytes("[1, 2]"), "s.json", "(it looks like a text file)"},
        {"short garbage", Bytes(100, 0xA5), "s.zdl", "The amplitude curve has fewer than 2 points."},
        {"short garbage, no name", Bytes(100, 0xA5), "", unknown.c_str()},
        {"long garbage", Bytes(2000, 0xA5), "", "The amplitude curve has fewer than 2 points."},
        // Only the name vouches for a version Zindle never wrote.
        {"zdl of another version", version999, "s.zdl", ""},
        {"zdl of another version, no name", version999, "", unknown.c_str()},
    };
    for (const auto& c : cases) {
        const DecodeResult r = read(c.bytes, c.name);
        if (*c.reason == '\0') {
            EXPECT_TRUE(r.ok) << c.what << ": " << r.error;
            EXPECT_EQ(r.format, SoundFormatId::Zdl) << c.what;
            continue;
        }
        EXPECT_FALSE(r.ok) << c.what;
        EXPECT_NE(r.error.find(c.reason), std::string::npos) << c.what << ": " << r.error;
    }
}

TEST(SoundFormats, NamesEndInAFormatsExtensionInAnyCase) {
    const struct {
        const char* name;
        const char* format;  // null: none
    } cases[] = {
        {"boom.zdl", "zdl"}, {"BOOM.EfC", "efc"},     {"boomefc", "efc"}, {"dir.efc/boom", nullptr},
        {"a.json", "json"},  {"a.zdl.json", "json"},  {"a.jso", nullptr}, {"", nullptr},
        {"/s/x.ZDL", "zdl"}, {"a.json.wav", nullptr},
    };
    for (const auto& c : cases) {
        const soundformats::SoundFormat* f = soundformats::forName(c.name);
        EXPECT_EQ(std::string(f ? f->name : ""), std::string(c.format ? c.format : "")) << c.name;
    }
}
