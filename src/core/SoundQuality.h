#pragma once

#include <array>
#include <cstdint>
#include <string>

// The qualities a sound can have: the sample rates and widths offered, and how
// often it may repeat. The editor's buttons, zindle-cli's options, the file
// readers, the templates and the library all take them from here.
namespace sound_quality {

inline constexpr std::array<int32_t, 3> kSampleRates{11025, 22050, 44100};
inline constexpr std::array<int32_t, 2> kSampleWidths{8, 16};
inline constexpr int32_t kFewestRepeats = 1;
inline constexpr int32_t kMostRepeats = 10;

bool isSampleRate(int64_t hz);
bool isSampleWidth(int64_t bits);
// The repeat count brought into kFewestRepeats..kMostRepeats.
int32_t limitRepeats(int64_t repeats);

// "11025, 22050 or 44100" and "8 or 16", for messages.
std::string sampleRateList();
std::string sampleWidthList();

}  // namespace sound_quality
