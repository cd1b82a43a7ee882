#include "ReaderChecks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <vector>

namespace {

namespace fs = std::filesystem;

using Check = std::function<std::string(const uint8_t*, size_t)>;

std::vector<uint8_t> contents(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// The regular files of a folder, by name.
std::vector<fs::path> seedsIn(const fs::path& dir) {
    std::vector<fs::path> seeds;
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(dir, error))
        if (entry.is_regular_file()) seeds.push_back(entry.path());
    std::sort(seeds.begin(), seeds.end());
    return seeds;
}

// Each seed whole, every prefix of it, and each byte flipped in turn: what
// the fuzzers start from, run in the normal build.
void replay(const char* folder, const Check& check) {
    const fs::path dir = fs::path(ZINDLE_TEST_DATA "/corpus") / folder;
    const std::vector<fs::path> seeds = seedsIn(dir);
    ASSERT_GE(seeds.size(), 5u) << dir.string();
    for (const fs::path& seed : seeds) {
        const std::string name = seed.filename().string();
        std::vector<uint8_t> bytes = contents(seed);
        ASSERT_FALSE(bytes.empty()) << name;
        const uint8_t* data = bytes.data();
        for (size_t size = 0; size <= bytes.size(); ++size) {
            const std::string fault = check(data, size);
            ASSERT_EQ(fault, "") << name << " cut to " << size << " bytes";
        }
        for (size_t i = 0; i < bytes.size(); ++i) {
            bytes[i] = uint8_t(~bytes[i]);
            const std::string fault = check(data, bytes.size());
            bytes[i] = uint8_t(~bytes[i]);
            ASSERT_EQ(fault, "") << name << " with byte " << i << " flipped";
        }
    }
}

}  // namespace

TEST(CorpusReplay, ZdlReader) { replay("zdl", readerchecks::checkZdl); }
TEST(CorpusReplay, EfcReader) { replay("efc", readerchecks::checkEfc); }
TEST(CorpusReplay, JsonReader) { replay("json", readerchecks::checkJson); }
