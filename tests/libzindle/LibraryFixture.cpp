#include "LibraryFixture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include <stdlib.h>
#include <sys/wait.h>

Bytes readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string dataFile(const std::string& name) { return std::string(ZINDLE_TEST_DATA) + "/" + name; }

ScratchDir::ScratchDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "zindle-lib-XXXXXX").string();
    if (mkdtemp(pattern.data())) dir_ = pattern;
    EXPECT_FALSE(dir_.empty()) << "no scratch folder";
}

ScratchDir::~ScratchDir() {
    std::error_code ignored;
    if (!dir_.empty()) std::filesystem::remove_all(dir_, ignored);
}

int runCli(const std::vector<std::string>& arguments) {
    std::string command = "'" ZINDLE_CLI "'";
    for (const std::string& a : arguments) {
        std::string quoted;
        for (char c : a) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
        command += " '" + quoted + "'";
    }
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::vector<std::string> cliTemplates(const ScratchDir& dir) {
    const std::string list = dir.path("templates.txt");
    EXPECT_EQ(std::system(("'" ZINDLE_CLI "' templates > '" + list + "'").c_str()), 0);
    const Bytes listed = readFile(list);
    const std::string text(listed.begin(), listed.end());
    std::vector<std::string> names;
    size_t start = 0;
    for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        names.push_back(text.substr(start, end - start));
    EXPECT_EQ(start, text.size()) << "the last line is not ended";
    return names;
}

Sound readSound(const Bytes& bytes) {
    zindle_sound* sound = nullptr;
    char error[256] = "";
    EXPECT_EQ(zindle_sound_read(bytes.data(), bytes.size(), &sound, error, sizeof error), ZINDLE_OK) << error;
    return Sound(sound);
}

Bytes renderWav(const zindle_sound* sound, int rate, int bits) {
    unsigned char* wav = nullptr;
    size_t size = 0;
    char error[256] = "";
    EXPECT_EQ(zindle_sound_render_wav(sound, rate, bits, &wav, &size, error, sizeof error), ZINDLE_OK) << error;
    Bytes bytes(wav, wav + (wav ? size : 0));
    zindle_free(wav);
    return bytes;
}

Bytes renderSamples(const zindle_sound* sound, int rate, int bits) {
    size_t size = 0;
    char error[256] = "";
    EXPECT_EQ(zindle_sound_render_samples(sound, rate, bits, nullptr, 0, &size, error, sizeof error), ZINDLE_OK)
        << error;
    Bytes samples(size);
    size_t written = 0;
    EXPECT_EQ(
        zindle_sound_render_samples(sound, rate, bits, samples.data(), samples.size(), &written, error, sizeof error),
        ZINDLE_OK)
        << error;
    EXPECT_EQ(written, size);
    return samples;
}

Bytes writeZdl(const zindle_sound* sound) {
    unsigned char* zdl = nullptr;
    size_t size = 0;
    char error[256] = "";
    EXPECT_EQ(zindle_sound_write_zdl(sound, &zdl, &size, error, sizeof error), ZINDLE_OK) << error;
    Bytes bytes(zdl, zdl + (zdl ? size : 0));
    zindle_free(zdl);
    return bytes;
}
