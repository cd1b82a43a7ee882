// Bad input and bad arguments: a clear error code and reason, outputs set to
// NULL, the caller's buffers written within their sizes.

#include "LibraryFixture.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

void put32(Bytes& b, uint32_t v) {
    for (int shift = 0; shift < 32; shift += 8) b.push_back(uint8_t(v >> shift));
}
void putFloat(Bytes& b, float f) {
    uint32_t bits;
    std::memcpy(&bits, &f, 4);
    put32(b, bits);
}

// A version 1001 .zdl whose amplitude curve has `points` points.
Bytes zdlWithPoints(uint32_t points) {
    Bytes b;
    put32(b, 1001);
    put32(b, points);
    for (uint32_t i = 0; i < points; ++i) {
        putFloat(b, float(i) / float(points - 1));
        putFloat(b, 0.5f);
    }
    put32(b, 2);
    for (float t : {0.0f, 1.0f}) {
        putFloat(b, t);
        putFloat(b, 0.5f);
    }
    put32(b, 100);  // waveform
    for (float f : {0.2f, 0.0f, 0.0f, 0.0f}) putFloat(b, f);
    put32(b, 1);  // repeats
    b.push_back(8);
    b.push_back(0);
    put32(b, 11025);
    return b;
}

Bytes text(const char* s) { return Bytes(s, s + std::strlen(s)); }

// A file of another kind: its first bytes, then zeros up to `size`.
Bytes startingWith(const std::string& start, size_t size) {
    Bytes b(start.begin(), start.end());
    b.resize(size, 0);
    return b;
}

struct ReadCase {
    const char* name;
    Bytes bytes;
    int format;
    int code;
    const char* reason;  // a part of the expected reason
};

std::vector<ReadCase> readCases() {
    Bytes tooLarge = zdlWithPoints(2);
    tooLarge.resize(64 * 1024 * 1024 + 1);
    return {
        {"empty", Bytes(), ZINDLE_FORMAT_AUTO, ZINDLE_ERROR_FORMAT, "empty"},
        {"empty as zdl", Bytes(), ZINDLE_FORMAT_ZDL, ZINDLE_ERROR_FORMAT, "empty"},
        {"short garbage", Bytes(100, 0xA5), ZINDLE_FORMAT_AUTO, ZINDLE_ERROR_FORMAT, "not a sound file Zindle reads."},
        {"three bytes of a version", Bytes{0xE9, 0x03, 0x00}, ZINDLE_FORMAT_AUTO, ZINDLE_ERROR_FORMAT,
         "not a sound file Zindle reads."},
        {"long garbage", Bytes(2000, 0xA5), ZINDLE_FORMAT_AUTO, ZINDLE_ERROR_FORMAT, "fewer than 2 points"},
        {"garbage as zdl", Bytes(100, 0xA5), ZINDLE_FORMAT_ZDL, ZINDLE_ERROR_FORMAT, "fewer than 2 points"},
        {"JSON pair not a pair", text("  {\"amplitude\": [1, "), ZINDLE_FORMAT_AUTO, ZINDLE_ERROR_FORMAT,
         "line 1, column 18"},
        {"JSON with a typo", text("{\n  \"format\": \"zindle-sound\",\n  \"lenght\": 0.2\n}"), ZINDLE_FORMAT_AUTO,
         ZINDLE_ERROR_FORMAT, "unknown key \"lenght\""},
        {"zdl as JSON", readFile(dataFile("sounds/laser.zdl")), ZINDLE_FORMAT_JSON, ZINDLE_ERROR_FORMAT, "line 1"},
        {"too many points", zdlWithPoints(65537), ZINDLE_FORMAT_AUTO, ZINDLE_ERROR_FORMAT, "too many points"},
        {"count beyond the bytes", readFile(dataFile("corpus/zdl/huge-count.zdl")), ZINDLE_FORMAT_AUTO,
         ZINDLE_ERROR_FORMAT, "more points than the file holds"},
        {"truncated zdl", readFile(dataFile("corpus/zdl/truncated.zdl")), ZINDLE_FORMAT_AUTO, ZINDLE_ERROR_FORMAT,
         "more points than the file holds"},
        {"bad rate", readFile(dataFile("corpus/zdl/bad-rate.zdl")), ZINDLE_FORMAT_AUTO, ZINDLE_ERROR_FORMAT, "rate"},
        {"NaN length", readFile(dataFile("corpus/zdl/nan-length.zdl")), ZINDLE_FORMAT_AUTO, ZINDLE_ERROR_FORMAT, ""},
        {"larger than any zdl", tooLarge, ZINDLE_FORMAT_ZDL, ZINDLE_ERROR_FORMAT, "too large"},
        {"unknown version", readFile(dataFile("corpus/zdl/version-999.zdl")), ZINDLE_FORMAT_AUTO, ZINDLE_ERROR_FORMAT,
         "not a sound file Zindle reads."},
        {"short efc", readFile(dataFile("corpus/efc/short.efc")), ZINDLE_FORMAT_AUTO, ZINDLE_ERROR_FORMAT,
         "not a sound file Zindle reads."},
        {"short efc as efc", readFile(dataFile("corpus/efc/short.efc")), ZINDLE_FORMAT_EFC, ZINDLE_ERROR_FORMAT,
         "ends early"},
        {"efc with 13 points", readFile(dataFile("corpus/efc/count-13.efc")), ZINDLE_FORMAT_AUTO, ZINDLE_ERROR_FORMAT,
         "at most 12"},
        {"efc at rate 0", readFile(dataFile("corpus/efc/rate-zero.efc")), ZINDLE_FORMAT_AUTO, ZINDLE_ERROR_FORMAT,
         "rate"},
        {"zdl read as efc", readFile(dataFile("sounds/laser.zdl")), ZINDLE_FORMAT_EFC, ZINDLE_ERROR_FORMAT,
         "ends early"},
        // Other kinds of file are named, whatever their size (1578 is an .efc's).
        {"WAV", startingWith(std::string("RIFF\x24\x08\0\0WAVEfmt ", 16), 2000), ZINDLE_FORMAT_AUTO,
         ZINDLE_ERROR_FORMAT, "This is not a sound file Zindle reads (it looks like a WAV file)."},
        {"FLAC", startingWith("fLaC", 1578), ZINDLE_FORMAT_AUTO, ZINDLE_ERROR_FORMAT, "(it looks like a FLAC file)."},
        {"Ogg", startingWith("OggS", 1578), ZINDLE_FORMAT_AUTO, ZINDLE_ERROR_FORMAT, "(it looks like an Ogg file)."},
        {"PNG", startingWith("\x89PNG\r\n\x1a\n", 100), ZINDLE_FORMAT_AUTO, ZINDLE_ERROR_FORMAT,
         "(it looks like a PNG image)."},
        {"text", text("Sounds to make: a laser, an explosion.\n"), ZINDLE_FORMAT_AUTO, ZINDLE_ERROR_FORMAT,
         "(it looks like a text file)."},
        {"unknown format", readFile(dataFile("sounds/laser.zdl")), 99, ZINDLE_ERROR_ARGUMENT, "format"},
        {"negative format", readFile(dataFile("sounds/laser.zdl")), -1, ZINDLE_ERROR_ARGUMENT, "format"},
    };
}

TEST(LibraryErrors, BadBytesAreRefusedWithAReason) {
    for (const ReadCase& c : readCases()) {
        SCOPED_TRACE(c.name);
        zindle_sound* sound = reinterpret_cast<zindle_sound*>(&sound);  // anything but NULL
        char error[256] = "";
        EXPECT_EQ(zindle_sound_read_format(c.bytes.data(), c.bytes.size(), c.format, &sound, error, sizeof error),
                  c.code);
        EXPECT_EQ(sound, nullptr);
        EXPECT_NE(std::string(error), "");
        EXPECT_NE(std::string(error).find(c.reason), std::string::npos) << error;
        if (c.format != ZINDLE_FORMAT_AUTO) continue;
        unsigned char* wav = reinterpret_cast<unsigned char*>(error);
        size_t size = 1;
        EXPECT_EQ(zindle_render_wav(c.bytes.data(), c.bytes.size(), &wav, &size, nullptr, 0), c.code);
        EXPECT_EQ(wav, nullptr);
        EXPECT_EQ(size, 0u);
    }
}

// Versions 1000 and 1001 alone are taken for a .zdl by themselves; another
// version is still read when the caller says it is one.
TEST(LibraryErrors, OtherZdlVersionsAreReadWhenNamed) {
    const Bytes bytes = readFile(dataFile("corpus/zdl/version-999.zdl"));
    zindle_sound* sound = nullptr;
    EXPECT_EQ(zindle_sound_read_format(bytes.data(), bytes.size(), ZINDLE_FORMAT_ZDL, &sound, nullptr, 0), ZINDLE_OK);
    EXPECT_NE(sound, nullptr);
    zindle_sound_free(sound);
}

TEST(LibraryErrors, EveryTruncationOfAZdlIsRefused) {
    const Bytes whole = readFile(dataFile("sounds/laser.zdl"));
    ASSERT_GT(whole.size(), 40u);
    for (size_t length = 0; length < whole.size(); ++length) {
        SCOPED_TRACE(length);
        Bytes cut(whole.begin(), whole.begin() + long(length));
        cut.shrink_to_fit();  // so that ASan sees any read past the end
        unsigned char* wav = nullptr;
        size_t size = 0;
        char error[128] = "";
        EXPECT_EQ(zindle_render_wav(cut.data(), cut.size(), &wav, &size, error, sizeof error), ZINDLE_ERROR_FORMAT);
        EXPECT_EQ(wav, nullptr);
        EXPECT_NE(error[0], '\0');
    }
}

// Each call with one needed pointer NULL: an argument error, outputs NULL.
TEST(LibraryErrors, NullArgumentsAreRefused) {
    const Bytes bytes = readFile(dataFile("sounds/laser.zdl"));
    const Sound sound = readSound(bytes);
    ASSERT_TRUE(sound);
    const zindle_sound* s = sound.get();
    unsigned char* out = nullptr;
    size_t size = 0;
    zindle_sound* made = nullptr;
    unsigned char buffer[16];
    const auto reset = [&] {
        out = buffer;
        size = 7;
        made = reinterpret_cast<zindle_sound*>(buffer);
    };
    struct Case {
        const char* name;
        std::function<int(char*, size_t)> call;
        bool outCleared, sizeCleared, madeCleared;
    };
    const Case cases[] = {
        {"read: data", [&](char* e, size_t n) { return zindle_sound_read(nullptr, 10, &made, e, n); }, false, false,
         true},
        {"read: sound", [&](char* e, size_t n) { return zindle_sound_read(bytes.data(), bytes.size(), nullptr, e, n); },
         false, false, false},
        {"read_format: sound",
         [&](char* e, size_t n) {
             return zindle_sound_read_format(bytes.data(), bytes.size(), ZINDLE_FORMAT_ZDL, nullptr, e, n);
         },
         false, false, false},
        {"render_wav: data", [&](char* e, size_t n) { return zindle_render_wav(nullptr, 10, &out, &size, e, n); }, true,
         true, false},
        {"render_wav: wav",
         [&](char* e, size_t n) { return zindle_render_wav(bytes.data(), bytes.size(), nullptr, &size, e, n); }, false,
         false, false},
        {"render_wav: wav_size",
         [&](char* e, size_t n) { return zindle_render_wav(bytes.data(), bytes.size(), &out, nullptr, e, n); }, true,
         false, false},
        {"sound_render_wav: sound",
         [&](char* e, size_t n) { return zindle_sound_render_wav(nullptr, 0, 0, &out, &size, e, n); }, true, true,
         false},
        {"sound_render_wav: wav",
         [&](char* e, size_t n) { return zindle_sound_render_wav(s, 0, 0, nullptr, &size, e, n); }, false, false,
         false},
        {"sound_render_wav: wav_size",
         [&](char* e, size_t n) { return zindle_sound_render_wav(s, 0, 0, &out, nullptr, e, n); }, true, false, false},
        {"render_samples: sound",
         [&](char* e, size_t n) { return zindle_sound_render_samples(nullptr, 0, 0, buffer, 16, &size, e, n); }, false,
         true, false},
        {"render_samples: size",
         [&](char* e, size_t n) { return zindle_sound_render_samples(s, 0, 0, buffer, 16, nullptr, e, n); }, false,
         false, false},
        {"mutate: sound", [&](char* e, size_t n) { return zindle_sound_mutate(nullptr, 1, 0.1f, &made, e, n); }, false,
         false, true},
        {"mutate: variant", [&](char* e, size_t n) { return zindle_sound_mutate(s, 1, 0.1f, nullptr, e, n); }, false,
         false, false},
        {"write_zdl: sound", [&](char* e, size_t n) { return zindle_sound_write_zdl(nullptr, &out, &size, e, n); },
         true, true, false},
        {"write_zdl: zdl", [&](char* e, size_t n) { return zindle_sound_write_zdl(s, nullptr, &size, e, n); }, false,
         false, false},
        {"write_zdl: zdl_size", [&](char* e, size_t n) { return zindle_sound_write_zdl(s, &out, nullptr, e, n); }, true,
         false, false},
        {"generate: name", [&](char* e, size_t n) { return zindle_sound_generate(nullptr, 1, &made, e, n); }, false,
         false, true},
        {"generate: sound", [&](char* e, size_t n) { return zindle_sound_generate("coin", 1, nullptr, e, n); }, false,
         false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        reset();
        char error[128] = "";
        EXPECT_EQ(c.call(error, sizeof error), ZINDLE_ERROR_ARGUMENT);
        EXPECT_NE(std::string(error).find("NULL"), std::string::npos) << error;
        if (c.outCleared) {
            EXPECT_EQ(out, nullptr);
        }
        if (c.sizeCleared) {
            EXPECT_EQ(size, 0u);
        }
        if (c.madeCleared) {
            EXPECT_EQ(made, nullptr);
        }
        reset();
        EXPECT_EQ(c.call(nullptr, 0), ZINDLE_ERROR_ARGUMENT) << "without an error buffer";
    }
    // The JSON text and the share code are handed out as char: the same rules.
    for (const auto writeText : {zindle_sound_write_json, zindle_sound_write_share_code}) {
        char* text = reinterpret_cast<char*>(buffer);
        size = 7;
        EXPECT_EQ(writeText(nullptr, &text, &size, nullptr, 0), ZINDLE_ERROR_ARGUMENT);
        EXPECT_EQ(text, nullptr);
        EXPECT_EQ(size, 0u);
        EXPECT_EQ(writeText(s, nullptr, &size, nullptr, 0), ZINDLE_ERROR_ARGUMENT);
        text = reinterpret_cast<char*>(buffer);
        EXPECT_EQ(writeText(s, &text, nullptr, nullptr, 0), ZINDLE_ERROR_ARGUMENT);
        EXPECT_EQ(text, nullptr);
    }
    EXPECT_EQ(zindle_sound_sample_rate(nullptr), 0);
    EXPECT_EQ(zindle_sound_bits(nullptr), 0);
    EXPECT_EQ(zindle_sound_repeat_count(nullptr), 0);
    zindle_sound_free(nullptr);
    zindle_free(nullptr);
}

// A fixed text for every code, the ones the header lists; any other code is
// "unknown error", never NULL.
TEST(LibraryErrors, EveryCodeHasItsText) {
    const struct {
        int code;
        const char* text;
    } cases[] = {
        {ZINDLE_OK, "no error"},
        {ZINDLE_ERROR_ARGUMENT, "invalid argument"},
        {ZINDLE_ERROR_FORMAT, "not a sound the library reads"},
        {ZINDLE_ERROR_MEMORY, "out of memory"},
        {ZINDLE_ERROR_BUFFER, "buffer too small"},
        {ZINDLE_ERROR_INTERNAL, "internal error"},
        {-1, "unknown error"},
        {ZINDLE_ERROR_INTERNAL + 1, "unknown error"},
        {1000, "unknown error"},
        {INT_MIN, "unknown error"},
        {INT_MAX, "unknown error"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        const char* text = zindle_strerror(c.code);
        ASSERT_NE(text, nullptr);
        EXPECT_STREQ(text, c.text);
    }
}

// The reason is cut to the buffer, always NUL-terminated, never past it.
TEST(LibraryErrors, ErrorBuffersAreWrittenWithinTheirSize) {
    const Bytes garbage(100, 0xA5);
    char full[256] = "";
    zindle_sound* sound = nullptr;
    ASSERT_EQ(zindle_sound_read(garbage.data(), garbage.size(), &sound, full, sizeof full), ZINDLE_ERROR_FORMAT);
    const std::string reason(full);
    ASSERT_GT(reason.size(), 10u);
    for (size_t size : {size_t(0), size_t(1), size_t(2), size_t(8), reason.size(), reason.size() + 1}) {
        SCOPED_TRACE(size);
        std::vector<char> buffer(size + 4, '#');
        EXPECT_EQ(zindle_sound_read(garbage.data(), garbage.size(), &sound, buffer.data(), size), ZINDLE_ERROR_FORMAT);
        for (size_t i = size; i < buffer.size(); ++i) EXPECT_EQ(buffer[i], '#') << "written past the size at " << i;
        if (size == 0) continue;
        const size_t kept = std::min(size - 1, reason.size());
        EXPECT_EQ(std::string(buffer.data(), kept), reason.substr(0, kept));
        EXPECT_EQ(buffer[kept], '\0');
    }
    // Success leaves the buffer as it was.
    const Bytes laser = readFile(dataFile("sounds/laser.zdl"));
    char untouched[8] = "keep";
    ASSERT_EQ(zindle_sound_read(laser.data(), laser.size(), &sound, untouched, sizeof untouched), ZINDLE_OK);
    EXPECT_STREQ(untouched, "keep");
    zindle_sound_free(sound);
}

TEST(LibraryErrors, RatesAndWidthsNotOfferedAreRefused) {
    const Sound sound = readSound(readFile(dataFile("sounds/laser.zdl")));
    ASSERT_TRUE(sound);
    const int qualities[][2] = {{8000, 0}, {-1, 0}, {11024, 8}, {48000, 16}, {0, 24}, {0, -8}, {22050, 12}};
    for (const auto& q : qualities) {
        SCOPED_TRACE(std::to_string(q[0]) + " Hz " + std::to_string(q[1]) + " bit");
        char error[128] = "";
        size_t size = 5;
        EXPECT_EQ(zindle_sound_render_samples(sound.get(), q[0], q[1], nullptr, 0, &size, error, sizeof error),
                  ZINDLE_ERROR_ARGUMENT);
        EXPECT_EQ(size, 0u);
        EXPECT_NE(std::string(error).find("not offered"), std::string::npos) << error;
        unsigned char* wav = nullptr;
        EXPECT_EQ(zindle_sound_render_wav(sound.get(), q[0], q[1], &wav, &size, nullptr, 0), ZINDLE_ERROR_ARGUMENT);
        EXPECT_EQ(wav, nullptr);
    }
}

// A buffer one byte short: the needed size, nothing written; the exact size
// takes the whole render.
TEST(LibraryErrors, ABufferTooSmallIsRefusedUntouched) {
    const Sound sound = readSound(readFile(dataFile("sounds/boom.efc")));
    ASSERT_TRUE(sound);
    for (int bits : {8, 16}) {
        SCOPED_TRACE(bits);
        size_t needed = 0;
        ASSERT_EQ(zindle_sound_render_samples(sound.get(), 22050, bits, nullptr, 0, &needed, nullptr, 0), ZINDLE_OK);
        ASSERT_GT(needed, 0u);
        for (size_t given : {size_t(0), needed / 2, needed - 1}) {
            std::vector<uint8_t> buffer(needed + 1, 0x5A);
            size_t size = 0;
            char error[128] = "";
            EXPECT_EQ(
                zindle_sound_render_samples(sound.get(), 22050, bits, buffer.data(), given, &size, error, sizeof error),
                ZINDLE_ERROR_BUFFER);
            EXPECT_EQ(size, needed);
            EXPECT_NE(std::string(error).find(std::to_string(needed)), std::string::npos) << error;
            EXPECT_EQ(buffer, std::vector<uint8_t>(needed + 1, 0x5A));
        }
        std::vector<uint8_t> buffer(needed + 1, 0x5A);
        size_t size = 0;
        EXPECT_EQ(zindle_sound_render_samples(sound.get(), 22050, bits, buffer.data(), needed, &size, nullptr, 0),
                  ZINDLE_OK);
        EXPECT_EQ(size, needed);
        EXPECT_EQ(buffer[needed], 0x5A) << "written past the render";
        EXPECT_EQ(Bytes(buffer.begin(), buffer.end() - 1), renderSamples(sound.get(), 22050, bits));
    }
}

}  // namespace
