#include "TestBytes.h"
#include "formats/Base64Url.h"
#include "formats/ShareCode.h"
#include "formats/SoundFormats.h"
#include "formats/ZdlFormat.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

using testfiles::Bytes;
using testfiles::toHex;

namespace {

namespace fs = std::filesystem;

DecodeResult readText(const std::string& text) {
    return soundformats::read(reinterpret_cast<const uint8_t*>(text.data()), text.size());
}

std::string codeOfBytes(const Bytes& bytes) {
    return sharecode::kPrefix + base64url::encode(bytes.data(), bytes.size());
}

// Every sound the test data holds, by name.
std::vector<std::pair<std::string, SoundSettings>> corpusSounds() {
    std::vector<std::pair<std::string, SoundSettings>> sounds;
    for (const char* folder : {"sounds", "corpus/zdl", "corpus/json", "corpus/efc"}) {
        for (const fs::directory_entry& entry : fs::directory_iterator(fs::path(ZINDLE_TEST_DATA) / folder)) {
            std::ifstream in(entry.path(), std::ios::binary);
            const Bytes bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            const DecodeResult read = soundformats::read(bytes.data(), bytes.size(), entry.path().string());
            if (read.ok) sounds.emplace_back(entry.path().filename().string(), read.settings);
        }
    }
    return sounds;
}

TEST(Base64UrlTest, EncodesWithTheUrlAlphabetWithoutPadding) {
    const std::pair<Bytes, std::string> cases[] = {
        {{}, ""},
        {{'f'}, "Zg"},
        {{'f', 'o'}, "Zm8"},
        {{'f', 'o', 'o'}, "Zm9v"},
        {{'f', 'o', 'o', 'b', 'a', 'r'}, "Zm9vYmFy"},
        {{0xFB, 0xFF, 0xBF}, "-_-_"},
        {{0x00, 0x10, 0x83}, "ABCD"},
    };
    for (const auto& [bytes, text] : cases) {
        EXPECT_EQ(base64url::encode(bytes.data(), bytes.size()), text);
        Bytes back;
        std::string reason;
        EXPECT_TRUE(base64url::decode(text, back, reason)) << text << ": " << reason;
        EXPECT_EQ(toHex(back), toHex(bytes)) << text;
    }
    // Any bytes come back as they were, with and without padding.
    std::mt19937 random(21);
    for (int n = 0; n < 200; ++n) {
        Bytes bytes(random() % 64);
        for (uint8_t& b : bytes) b = uint8_t(random());
        std::string text = base64url::encode(bytes.data(), bytes.size());
        ASSERT_EQ(text.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_"),
                  std::string::npos);
        for (const bool padded : {false, true}) {
            if (padded) text += std::string((4 - text.size() % 4) % 4, '=');
            Bytes back;
            std::string reason;
            EXPECT_TRUE(base64url::decode(text, back, reason)) << text << ": " << reason;
            EXPECT_EQ(toHex(back), toHex(bytes)) << text;
        }
    }
}

// Each sound through its code, alone, in a web player link and as a line of
// a pasted text, comes back with the same .zdl bytes.
TEST(ShareCodeTest, EverySoundOfTheCorpusComesBackFromItsCode) {
    const auto sounds = corpusSounds();
    ASSERT_GE(sounds.size(), 10u);
    for (const auto& [name, settings] : sounds) {
        const std::string code = sharecode::encode(settings);
        ASSERT_EQ(code.rfind(sharecode::kPrefix, 0), 0u) << name;
        EXPECT_EQ(code, codeOfBytes(zdl::encode(settings))) << name;
        for (const std::string& text : {code, "  " + code + "\r\n", "https://example.org/zindle/index.html#" + code,
                                        "file:///home/me/web/index.html#" + code + "\n"}) {
            const DecodeResult read = readText(text);
            ASSERT_TRUE(read.ok) << name << ": " << read.error;
            EXPECT_EQ(toHex(zdl::encode(read.settings)), toHex(zdl::encode(settings))) << name << " from " << text;
        }
    }
}

TEST(ShareCodeTest, BadCodesAreRefusedWithTheirReason) {
    const std::string good = sharecode::encode(testfiles::newSound());
    const std::string hello = "hello, world";
    const std::string json = "{\"format\": \"zindle-sound\"}";
    const std::pair<std::string, std::string> cases[] = {
        {"zindle1:AB+C", "'+' at character 3 is not one of the code's characters"},
        {"zindle1:AB/C", "'/' at character 3"},
        {good.substr(0, 20) + " " + good.substr(20), "byte 0x20 at character 13"},
        {"zindle1:ABCDE", "cut short"},
        {good.substr(0, good.size() - 10), "The share code's sound cannot be read"},
        {"zindle1:Zg=", "padding"},
        {"zindle1:", "empty"},
        {"zindle1:" + base64url::encode(reinterpret_cast<const uint8_t*>(hello.data()), hello.size()),
         "holds no Zindle sound"},
        {"zindle1:" + base64url::encode(reinterpret_cast<const uint8_t*>(json.data()), json.size()),
         "holds no Zindle sound"},
        {"zindle2:" + good.substr(8), "version 2, made by a newer Zindle"},
        {"index.html#zindle1:AB*C", "'*' at character 3"},
    };
    for (const auto& [text, reason] : cases) {
        const DecodeResult read = readText(text);
        EXPECT_FALSE(read.ok) << text;
        EXPECT_NE(read.error.find(reason), std::string::npos) << text << ": " << read.error;
    }
    // Text that is no code at all is left to the formats: a link without a
    // code, or a code inside a sentence, is no sound.
    for (const std::string& text : {std::string("index.html#about"), "see zindle1:" + good.substr(8)}) {
        EXPECT_FALSE(sharecode::looksLikeCode(reinterpret_cast<const uint8_t*>(text.data()), text.size())) << text;
        EXPECT_FALSE(readText(text).ok) << text;
    }
}

}  // namespace
