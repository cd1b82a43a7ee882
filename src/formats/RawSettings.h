#pragma once

#include "core/Waveforms.h"

#include <cstdint>
#include <string>
#include <vector>

struct SoundSettings;

// Settings as a file holds them, before they are trusted. Both readers fill
// one of these; toSettings() is the single gate between file bytes and the
// rest of the program.
struct RawSettings {
    std::vector<float> amplitudeTimes, amplitudeValues;
    std::vector<float> frequencyTimes, frequencyValues;
    int32_t waveform = waveforms::code(WaveformKind::Sine);
    float length = 0.2f;
    float distort = 0.0f;
    float echoVolume = 0.0f;
    float echoDelay = 0.0f;
    int64_t repeatCount = 1;
    int64_t bitsPerSample = 8;
    int64_t sampleRate = 11025;

    // Rejects what cannot be played (too few points, values that are not
    // finite, an unknown width or rate) with a reason, leaving `out` as it
    // was; otherwise repairs what is merely out of range (positions, point
    // values and times limited to 0..1, times made non-decreasing from 0 to 1,
    // the repeat count limited to 1..10) and replaces `out` whole. Returns
    // the reason, empty on success.
    std::string toSettings(SoundSettings& out) const;
};
