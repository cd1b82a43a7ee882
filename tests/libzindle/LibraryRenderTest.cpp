// The library renders what zindle-cli renders, byte for byte: the same files,
// the same rate and width overrides, the same variations.

#include "LibraryFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr size_t kWavHeader = 44;

// Sound files as the tests keep them, old and new formats, odd values.
const char* const kFiles[] = {"sounds/laser.zdl",
                              "sounds/new.zdl",
                              "sounds/old-v1000.zdl",
                              "sounds/boom.efc",
                              "corpus/zdl/new-16bit-44k.zdl",
                              "corpus/zdl/out-of-range.zdl",
                              "corpus/efc/organ-12-points.efc"};

// The file zindle-cli render writes for `input` with the extra arguments.
Bytes cliRender(const ScratchDir& dir, const std::string& input, std::vector<std::string> extra = {}) {
    const std::string output = dir.path("cli.wav");
    std::vector<std::string> arguments{"render", input, "-o", output};
    arguments.insert(arguments.end(), extra.begin(), extra.end());
    EXPECT_EQ(runCli(arguments), 0) << input;
    return readFile(output);
}

// Sounds zindle-cli generate makes: every template (noise ones included),
// two seeds each.
std::vector<std::string> generatedSounds(const ScratchDir& dir) {
    std::vector<std::string> files;
    for (const std::string& name : cliTemplates(dir)) {
        for (const char* seed : {"3", "17"}) {
            const std::string file = dir.path(name + "-" + seed + ".zdl");
            EXPECT_EQ(runCli({"generate", name, "--seed", seed, "-o", file}), 0) << name;
            files.push_back(file);
        }
    }
    EXPECT_GE(files.size(), 8u) << "zindle-cli templates listed too few";
    return files;
}

std::vector<std::string> allSounds(const ScratchDir& dir) {
    std::vector<std::string> files;
    for (const char* name : kFiles) files.push_back(dataFile(name));
    for (const std::string& file : generatedSounds(dir)) files.push_back(file);
    return files;
}

TEST(LibraryRender, WavIsTheFileZindleCliRenders) {
    ScratchDir dir;
    for (const std::string& file : allSounds(dir)) {
        SCOPED_TRACE(file);
        const Bytes bytes = readFile(file);
        ASSERT_FALSE(bytes.empty());
        unsigned char* wav = nullptr;
        size_t size = 0;
        char error[256] = "";
        ASSERT_EQ(zindle_render_wav(bytes.data(), bytes.size(), &wav, &size, error, sizeof error), ZINDLE_OK) << error;
        const Bytes library(wav, wav + size);
        zindle_free(wav);
        EXPECT_EQ(library, cliRender(dir, file));
    }
}

// Every rate and width against --rate and --bits: the WAV whole, and the raw
// samples as its data chunk.
TEST(LibraryRender, ChosenRateAndWidthMatchTheOverrides) {
    ScratchDir dir;
    const char* const files[] = {"sounds/laser.zdl", "sounds/boom.efc", "corpus/zdl/new-16bit-44k.zdl"};
    for (const char* name : files) {
        const Sound sound = readSound(readFile(dataFile(name)));
        ASSERT_TRUE(sound);
        for (int rate : {11025, 22050, 44100}) {
            for (int bits : {8, 16}) {
                SCOPED_TRACE(std::string(name) + " " + std::to_string(rate) + " Hz " + std::to_string(bits) + " bit");
                const Bytes cli =
                    cliRender(dir, dataFile(name), {"--rate", std::to_string(rate), "--bits", std::to_string(bits)});
                ASSERT_GT(cli.size(), kWavHeader);
                EXPECT_EQ(renderWav(sound.get(), rate, bits), cli);
                EXPECT_EQ(renderSamples(sound.get(), rate, bits), Bytes(cli.begin() + kWavHeader, cli.end()));
            }
        }
    }
}

// Own rate and width (0, 0) are the sound's: the plain render, and the
// queries report what its header says.
TEST(LibraryRender, OwnQualityIsTheSoundsOwn) {
    ScratchDir dir;
    for (const char* name : kFiles) {
        SCOPED_TRACE(name);
        const Sound sound = readSound(readFile(dataFile(name)));
        ASSERT_TRUE(sound);
        const Bytes cli = cliRender(dir, dataFile(name));
        ASSERT_GT(cli.size(), kWavHeader);
        uint32_t rate = 0;
        uint16_t bits = 0;
        std::memcpy(&rate, cli.data() + 24, 4);  // little-endian, as the test machines are
        std::memcpy(&bits, cli.data() + 34, 2);
        EXPECT_EQ(zindle_sound_sample_rate(sound.get()), int(rate));
        EXPECT_EQ(zindle_sound_bits(sound.get()), int(bits));
        EXPECT_EQ(renderSamples(sound.get()), Bytes(cli.begin() + kWavHeader, cli.end()));
        const size_t one = (cli.size() - kWavHeader) / size_t(zindle_sound_repeat_count(sound.get()));
        EXPECT_EQ(one * size_t(zindle_sound_repeat_count(sound.get())), cli.size() - kWavHeader);
    }
}

// A variation is the one zindle-cli mutate writes (as .zdl bytes), and it
// renders as zindle-cli renders that file.
TEST(LibraryRender, MutateIsZindleCliMutate) {
    ScratchDir dir;
    struct Case {
        const char* file;
        uint64_t seed;
        const char* amount;
        float value;
    };
    const Case cases[] = {{"sounds/laser.zdl", 1, "0.1", 0.1f},
                          {"sounds/laser.zdl", 987654321, "0.5", 0.5f},
                          {"sounds/boom.efc", 42, "1", 1.0f},
                          {"corpus/zdl/new-16bit-44k.zdl", 7, "0.25", 0.25f},
                          {"sounds/new.zdl", 5, "0", 0.0f}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.file) + " seed " + std::to_string(c.seed) + " amount " + c.amount);
        const std::string variantFile = dir.path("variant.zdl");
        ASSERT_EQ(runCli({"mutate", dataFile(c.file), "--seed", std::to_string(c.seed), "--amount", c.amount, "-o",
                          variantFile}),
                  0);
        const Sound sound = readSound(readFile(dataFile(c.file)));
        ASSERT_TRUE(sound);
        zindle_sound* raw = nullptr;
        char error[256] = "";
        ASSERT_EQ(zindle_sound_mutate(sound.get(), c.seed, c.value, &raw, error, sizeof error), ZINDLE_OK) << error;
        const Sound variant(raw);

        EXPECT_EQ(writeZdl(variant.get()), readFile(variantFile));
        EXPECT_EQ(renderWav(variant.get()), cliRender(dir, variantFile));
    }
}

// The JSON form: the text zindle-cli convert writes is the library's, it is
// detected among the formats, and it renders as the file it came from.
TEST(LibraryRender, JsonIsZindleCliConvertsAndRendersTheSame) {
    ScratchDir dir;
    for (const char* name : kFiles) {
        SCOPED_TRACE(name);
        const std::string jsonFile = dir.path("sound.json");
        ASSERT_EQ(runCli({"convert", dataFile(name), "-o", jsonFile}), 0);
        const Bytes cliJson = readFile(jsonFile);
        const Sound original = readSound(readFile(dataFile(name)));
        ASSERT_TRUE(original);

        char* json = nullptr;
        size_t size = 0;
        char error[256] = "";
        ASSERT_EQ(zindle_sound_write_json(original.get(), &json, &size, error, sizeof error), ZINDLE_OK) << error;
        const Bytes written(json, json + size);
        EXPECT_EQ(json[size], '\0');
        zindle_free(json);
        EXPECT_EQ(written, cliJson);

        const Sound fromJson = readSound(cliJson);
        ASSERT_TRUE(fromJson);
        EXPECT_EQ(renderWav(fromJson.get()), cliRender(dir, dataFile(name)));
    }
}

// RFC 4648's URL-safe alphabet without padding, written out here as the
// definition the share code follows.
std::string base64url(const Bytes& bytes) {
    static const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";
    std::string text;
    for (size_t i = 0; i < bytes.size(); i += 3) {
        const size_t n = std::min<size_t>(3, bytes.size() - i);
        uint32_t group = 0;
        for (size_t j = 0; j < 3; ++j) group = group << 8 | (j < n ? bytes[i + j] : 0);
        for (size_t j = 0; j < n + 1; ++j) text += alphabet[(group >> (18 - 6 * j)) & 63];
    }
    return text;
}

// A share code is "zindle1:" and the .zdl bytes in base64url, and it reads
// back (as it is, inside a link, or with white space) to the same sound.
TEST(LibraryRender, ShareCodesHoldTheZdlAndReadBack) {
    for (const char* name : kFiles) {
        SCOPED_TRACE(name);
        const Sound original = readSound(readFile(dataFile(name)));
        ASSERT_TRUE(original);
        unsigned char* zdl = nullptr;
        size_t zdlSize = 0;
        ASSERT_EQ(zindle_sound_write_zdl(original.get(), &zdl, &zdlSize, nullptr, 0), ZINDLE_OK);
        const Bytes zdlBytes(zdl, zdl + zdlSize);
        zindle_free(zdl);

        char* code = nullptr;
        size_t size = 0;
        char error[256] = "";
        ASSERT_EQ(zindle_sound_write_share_code(original.get(), &code, &size, error, sizeof error), ZINDLE_OK) << error;
        const std::string text(code, size);
        EXPECT_EQ(code[size], '\0');
        zindle_free(code);
        EXPECT_EQ(text, "zindle1:" + base64url(zdlBytes));

        for (const std::string& form : {text, "https://example.org/zindle/index.html#" + text, " \n" + text + "\n"}) {
            const Sound back = readSound(Bytes(form.begin(), form.end()));
            ASSERT_TRUE(back) << form;
            EXPECT_EQ(renderWav(back.get()), renderWav(original.get()));
        }
    }
}

// The share code zindle-cli code prints (a line of text) is detected like a
// file and renders as the file it came from.
TEST(LibraryRender, ShareCodeFromZindleCliRendersTheSame) {
    ScratchDir dir;
    for (const char* name : kFiles) {
        SCOPED_TRACE(name);
        const std::string codeFile = dir.path("code.txt");
        ASSERT_EQ(std::system(("'" ZINDLE_CLI "' code '" + dataFile(name) + "' > '" + codeFile + "'").c_str()), 0);
        const Bytes code = readFile(codeFile);
        ASSERT_GT(code.size(), 8u);
        EXPECT_EQ(std::string(code.begin(), code.begin() + 8), "zindle1:");
        const Sound fromCode = readSound(code);
        ASSERT_TRUE(fromCode);
        EXPECT_EQ(renderWav(fromCode.get()), cliRender(dir, dataFile(name)));
    }
}

// An .efc's first four bytes are unused: whatever they hold, even the start
// of something that looks like JSON, it renders as the same .efc.
TEST(LibraryRender, AnEfcIsReadWhateverItsUnusedBytesHold) {
    const Bytes efc = readFile(dataFile("sounds/boom.efc"));
    ASSERT_EQ(efc.size(), 1578u);
    const Sound plain = readSound(efc);
    ASSERT_TRUE(plain);
    const Bytes expected = renderWav(plain.get());
    const char* const openings[] = {"{\0\0\0", " {\0\0", "\n\t {", "\xE9\x03\0\0"};
    for (const char* opening : openings) {
        SCOPED_TRACE(opening);
        Bytes patched = efc;
        std::memcpy(patched.data(), opening, 4);
        const Sound sound = readSound(patched);
        ASSERT_TRUE(sound);
        EXPECT_EQ(renderWav(sound.get()), expected);
    }
}

// The header's macros, the library's string and its number are one version.
TEST(LibraryRender, VersionMacrosAreTheLibrarysVersion) {
    const std::string fromMacros = std::to_string(ZINDLE_VERSION_MAJOR) + "." + std::to_string(ZINDLE_VERSION_MINOR) +
                                   "." + std::to_string(ZINDLE_VERSION_PATCH);
    EXPECT_EQ(fromMacros, zindle_version());
    EXPECT_EQ(zindle_version_number(),
              ZINDLE_VERSION_MAJOR * 10000 + ZINDLE_VERSION_MINOR * 100 + ZINDLE_VERSION_PATCH);
    EXPECT_EQ(zindle_version_number(), ZINDLE_VERSION_NUMBER);
}

TEST(LibraryRender, VersionIsTheProgramsVersion) {
    ScratchDir dir;
    const std::string out = dir.path("version.txt");
    ASSERT_EQ(std::system(("'" ZINDLE_CLI "' --version > '" + out + "'").c_str()), 0);
    const Bytes text = readFile(out);
    const std::string version(zindle_version());
    EXPECT_FALSE(version.empty());
    EXPECT_NE(std::string(text.begin(), text.end()).find(" " + version), std::string::npos);
}

}  // namespace

// A second curve point a subnormal time after the first, too close for the
// segment's slope to be a float, sounds as it does when the point is merely
// closer than one sample (1e-30), at both widths, on either curve; the JSON
// text keeps the floats exact.
TEST(LibraryRender, ASecondPointASubnormalTimeAfterTheFirstRendersAsAShortSegment) {
    const auto sound = [](const std::string& curve, const std::string& time) {
        const std::string sloped = "[[0, 0.1], [" + time + ", 0.9], [0.5, 0.6], [1, 0.3]]";
        const std::string flat = "[[0, 0.5], [1, 0.5]]";
        const std::string json =
            "{\"format\": \"zindle-sound\", \"version\": 1, \"waveform\": \"Square\", \"length\": 0.2, "
            "\"distort\": 0, \"echoVolume\": 0, \"echoDelay\": 0, \"repeatCount\": 1, \"bitsPerSample\": 8, "
            "\"sampleRate\": 11025, \"amplitude\": " +
            (curve == "amplitude" ? sloped : flat) + ", \"frequency\": " + (curve == "amplitude" ? flat : sloped) + "}";
        return readSound(Bytes(json.begin(), json.end()));
    };
    for (const std::string curve : {"amplitude", "frequency"}) {
        const Sound shortSegment = sound(curve, "1e-30");
        const Sound tooShort = sound(curve, "1e-40");
        ASSERT_TRUE(shortSegment && tooShort);
        for (int bits : {8, 16}) {
            SCOPED_TRACE(curve + ", " + std::to_string(bits) + " bit");
            const Bytes expected = renderSamples(shortSegment.get(), 0, bits);
            ASSERT_FALSE(expected.empty());
            EXPECT_NE(std::count(expected.begin(), expected.end(), expected[0]), std::ptrdiff_t(expected.size()));
            EXPECT_EQ(renderSamples(tooShort.get(), 0, bits), expected);
            EXPECT_EQ(renderWav(tooShort.get(), 0, bits), renderWav(shortSegment.get(), 0, bits));
        }
    }
}
