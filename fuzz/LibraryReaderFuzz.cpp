// libzindle's reader through its C interface: any bytes give either a sound
// whose queries answer within their ranges, or a failure with a reason.

#include "zindle/zindle.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

[[noreturn]] void fail(const std::string& what) {
    std::fprintf(stderr, "library reader: %s\n", what.c_str());
    std::abort();
}

void checkSound(const zindle_sound* sound) {
    const int rate = zindle_sound_sample_rate(sound);
    const int bits = zindle_sound_bits(sound);
    const int repeats = zindle_sound_repeat_count(sound);
    if (rate != 11025 && rate != 22050 && rate != 44100) fail("rate " + std::to_string(rate));
    if (bits != 8 && bits != 16) fail("width " + std::to_string(bits));
    if (repeats < 1 || repeats > 10) fail("repeat count " + std::to_string(repeats));
    size_t own = 0, largest = 0;
    if (zindle_sound_render_samples(sound, 0, 0, nullptr, 0, &own, nullptr, 0) != ZINDLE_OK || own == 0)
        fail("no size for its own quality");
    if (zindle_sound_render_samples(sound, 44100, 16, nullptr, 0, &largest, nullptr, 0) != ZINDLE_OK || largest < own)
        fail("the size at 44100 Hz 16 bit is below its own");
    if (own % size_t(repeats * bits / 8) != 0) fail("a size that is no whole number of samples and repeats");
    // What it writes, it reads back as the same sound.
    unsigned char* zdl = nullptr;
    size_t size = 0;
    if (zindle_sound_write_zdl(sound, &zdl, &size, nullptr, 0) != ZINDLE_OK) fail("write_zdl failed");
    zindle_sound* again = nullptr;
    char error[128];
    if (zindle_sound_read(zdl, size, &again, error, sizeof error) != ZINDLE_OK)
        fail(std::string("its own .zdl is refused: ") + error);
    unsigned char* zdl2 = nullptr;
    size_t size2 = 0;
    if (zindle_sound_write_zdl(again, &zdl2, &size2, nullptr, 0) != ZINDLE_OK || size2 != size ||
        std::memcmp(zdl, zdl2, size) != 0)
        fail("the .zdl changes when read back");
    zindle_free(zdl);
    zindle_free(zdl2);
    zindle_sound_free(again);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    for (int format : {ZINDLE_FORMAT_AUTO, ZINDLE_FORMAT_ZDL, ZINDLE_FORMAT_EFC, ZINDLE_FORMAT_JSON}) {
        zindle_sound* sound = nullptr;
        // A small buffer, so that cutting every reason is exercised too.
        char error[24];
        std::memset(error, '#', sizeof error);
        const int status = zindle_sound_read_format(data, size, format, &sound, error, sizeof error);
        if (status == ZINDLE_OK) {
            if (!sound) fail("success without a sound");
            checkSound(sound);
            zindle_sound_free(sound);
        } else {
            if (sound) fail("a sound with a failure");
            if (status != ZINDLE_ERROR_FORMAT) fail("status " + std::to_string(status) + ": " + error);
            if (!std::memchr(error, '\0', sizeof error) || error[0] == '\0') fail("no reason, or one not terminated");
        }
    }
    return 0;
}
