// The templates through the library: the list zindle-cli templates prints, and
// for every template and seed the very file zindle-cli generate writes.

#include "LibraryFixture.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

namespace {

std::vector<std::string> libraryTemplates() {
    std::vector<std::string> names;
    for (int i = 0; i < zindle_template_count(); ++i) {
        const char* name = zindle_template_name(i);
        EXPECT_NE(name, nullptr) << i;
        names.push_back(name ? name : "");
    }
    return names;
}

TEST(LibraryGenerate, TemplatesAreZindleClisInItsOrder) {
    ScratchDir dir;
    const std::vector<std::string> names = libraryTemplates();
    EXPECT_EQ(names, cliTemplates(dir));
    EXPECT_GE(names.size(), 8u);
    for (int index : {-1, INT_MIN, zindle_template_count(), zindle_template_count() + 1, INT_MAX}) {
        EXPECT_EQ(zindle_template_name(index), nullptr) << index;
    }
    // A static string: the same pointer every time.
    EXPECT_EQ(zindle_template_name(0), zindle_template_name(0));
}

// Every template at seeds from the smallest to the largest: the .zdl bytes
// of zindle-cli generate NAME --seed SEED.
TEST(LibraryGenerate, EverySoundIsTheFileZindleCliGenerates) {
    ScratchDir dir;
    const std::vector<std::string> names = libraryTemplates();
    ASSERT_FALSE(names.empty());
    const uint64_t seeds[] = {0, 1, 17, 987654321, UINT64_MAX};
    std::vector<Bytes> made;
    for (const std::string& name : names) {
        for (uint64_t seed : seeds) {
            SCOPED_TRACE(name + " seed " + std::to_string(seed));
            const std::string file = dir.path("cli.zdl");
            ASSERT_EQ(runCli({"generate", name, "--seed", std::to_string(seed), "-o", file}), 0);
            zindle_sound* raw = nullptr;
            char error[256] = "";
            ASSERT_EQ(zindle_sound_generate(name.c_str(), seed, &raw, error, sizeof error), ZINDLE_OK) << error;
            const Sound sound(raw);
            made.push_back(writeZdl(sound.get()));
            EXPECT_EQ(made.back(), readFile(file));
        }
    }
    // Seeds and templates make different sounds, or the comparison would
    // not tell a seed or a template ignored.
    for (size_t i = 1; i < made.size(); ++i) EXPECT_NE(made[i], made[i - 1]) << i;
}

TEST(LibraryGenerate, AnUnknownNameIsRefusedByName) {
    // Exact names only, as zindle-cli takes them.
    for (const char* name : {"nosuch", "Coin", "COIN", "coin ", " coin", "coins", ""}) {
        SCOPED_TRACE(std::string("'") + name + "'");
        zindle_sound* sound = reinterpret_cast<zindle_sound*>(&sound);  // anything but NULL
        char error[256] = "";
        EXPECT_EQ(zindle_sound_generate(name, 1, &sound, error, sizeof error), ZINDLE_ERROR_ARGUMENT);
        EXPECT_EQ(sound, nullptr);
        EXPECT_NE(std::string(error).find(std::string("Unknown template '") + name + "'"), std::string::npos) << error;
    }
}

}  // namespace
