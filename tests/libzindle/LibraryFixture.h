#pragma once

#include "zindle/zindle.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// Helpers of the library tests, which see only the C interface (and run
// zindle-cli as a process to compare with).

using Bytes = std::vector<uint8_t>;

struct SoundDeleter {
    void operator()(zindle_sound* s) const { zindle_sound_free(s); }
};
using Sound = std::unique_ptr<zindle_sound, SoundDeleter>;

Bytes readFile(const std::string& path);
std::string dataFile(const std::string& name);  // under tests/data

// A folder of its own for one test, removed with it.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    std::string path(const std::string& name) const { return dir_ + "/" + name; }

private:
    std::string dir_;
};

// Runs zindle-cli with the arguments (each quoted for the shell); its exit status.
int runCli(const std::vector<std::string>& arguments);

// The lines zindle-cli templates prints, failing the test when it fails.
std::vector<std::string> cliTemplates(const ScratchDir& dir);

// The library's answers, failing the test (returning empty) on an error.
Sound readSound(const Bytes& bytes);
Bytes renderWav(const zindle_sound* sound, int rate = 0, int bits = 0);
Bytes renderSamples(const zindle_sound* sound, int rate = 0, int bits = 0);
Bytes writeZdl(const zindle_sound* sound);
