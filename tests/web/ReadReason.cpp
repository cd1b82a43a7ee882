// Prints what the native libzindle says of each file, one line each: "ok", or
// the reason it refuses the bytes. The web package must say the same.
#include "zindle/zindle.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        std::ifstream in(argv[i], std::ios::binary);
        if (!in) {
            std::fprintf(stderr, "%s: cannot be read\n", argv[i]);
            return 2;
        }
        const std::vector<char> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        zindle_sound* sound = nullptr;
        char error[1024] = "";
        const int code = zindle_sound_read(bytes.data(), bytes.size(), &sound, error, sizeof error);
        zindle_sound_free(sound);
        std::printf("%s\n", code == ZINDLE_OK ? "ok" : error);
    }
    return 0;
}
