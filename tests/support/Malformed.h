#pragma once

#include "TestBytes.h"

#include <string>
#include <vector>

// Files each reader must reject, with a part of the reason it must give.
// Shared by the tests of the decoders and of the readers from disk.
namespace testfiles {

struct Malformed {
    std::string name;
    Bytes bytes;
    const char* reason;  // a part of the expected error text
};

std::vector<Malformed> malformedZdl();
std::vector<Malformed> malformedEfc();

// Settings unlike the new sound, to see that a failed read leaves them be.
SoundSettings currentSettings();

}  // namespace testfiles
