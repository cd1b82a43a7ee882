#include "core/SoundQuality.h"

#include <algorithm>

namespace sound_quality {

namespace {

template <size_t N>
bool offered(const std::array<int32_t, N>& values, int64_t value) {
    return std::find(values.begin(), values.end(), value) != values.end();
}

template <size_t N>
std::string listed(const std::array<int32_t, N>& values) {
    std::string text;
    for (size_t i = 0; i < N; ++i) {
        if (i > 0) text += i + 1 == N ? " or " : ", ";
        text += std::to_string(values[i]);
    }
    return text;
}

}  // namespace

bool isSampleRate(int64_t hz) { return offered(kSampleRates, hz); }
bool isSampleWidth(int64_t bits) { return offered(kSampleWidths, bits); }

int32_t limitRepeats(int64_t repeats) {
    return static_cast<int32_t>(std::clamp<int64_t>(repeats, kFewestRepeats, kMostRepeats));
}

std::string sampleRateList() { return listed(kSampleRates); }
std::string sampleWidthList() { return listed(kSampleWidths); }

}  // namespace sound_quality
