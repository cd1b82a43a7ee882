#pragma once

#include "core/Envelope.h"
#include "core/Waveforms.h"

#include <cstdint>

// Everything that defines a sound. The editor, the file formats and the
// command-line tool all share this one aggregate.
struct SoundSettings {
    Envelope amplitude{EnvelopeKind::Amplitude};
    Envelope frequency{EnvelopeKind::Frequency};
    int32_t waveform = waveforms::code(WaveformKind::Sine);  // unknown codes play as Sine
    float length = 0.2f;                                     // Length slider position; see lengthMs()
    float distort = 0.0f;                                    // clipping strength, 0..1
    float echoVolume = 0.0f;                                 // echo gain, 0..1
    float echoDelay = 0.0f;                                  // echo delay as a fraction of the main part, 0..1
    int32_t repeatCount = 1;                                 // 1..10
    int32_t bitsPerSample = 8;
    int32_t sampleRate = 11025;

    // The defaults of a new sound. The sample width is left as it is: a new
    // sound keeps the width the user chose last.
    void resetToNew();

    bool operator==(const SoundSettings& other) const;
    bool operator!=(const SoundSettings& other) const { return !(*this == other); }
};

// Duration in ms of the main part, over which the envelopes run:
// max(20, length^2 * 10000), 20..10000 ms for positions 0..1.
double lengthMs(float length);
