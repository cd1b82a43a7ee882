// The native half of the web render bench (web-render.mjs): renders a sound
// through libzindle's C interface `count` times and prints the median time of
// one render in milliseconds, the WAV's size and its 32-bit FNV-1a hash (hex).
//   zindle-library-render-times FILE [COUNT]
#include "zindle/zindle.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <vector>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s FILE [COUNT]\n", argv[0]);
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    const std::vector<char> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    char error[512] = "";
    zindle_sound* sound = nullptr;
    if (!in || zindle_sound_read(bytes.data(), bytes.size(), &sound, error, sizeof error) != ZINDLE_OK) {
        std::fprintf(stderr, "%s: %s\n", argv[1], error[0] ? error : "cannot be read");
        return 1;
    }
    const int count = argc > 2 ? std::max(1, std::atoi(argv[2])) : 20;
    std::vector<double> times;
    size_t size = 0;
    uint32_t hash = 2166136261u;
    for (int i = 0; i < count; ++i) {
        unsigned char* wav = nullptr;
        const auto start = std::chrono::steady_clock::now();
        const int code =
            zindle_sound_render_wav(sound, ZINDLE_RATE_OWN, ZINDLE_BITS_OWN, &wav, &size, error, sizeof error);
        times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
        if (code != ZINDLE_OK) {
            std::fprintf(stderr, "%s: %s\n", argv[1], error);
            return 1;
        }
        if (i == 0)
            for (size_t j = 0; j < size; ++j) hash = (hash ^ wav[j]) * 16777619u;
        zindle_free(wav);
    }
    zindle_sound_free(sound);
    std::nth_element(times.begin(), times.begin() + count / 2, times.end());
    std::printf("%.4f %zu %08x\n", times[size_t(count / 2)], size, unsigned(hash));
    return 0;
}
