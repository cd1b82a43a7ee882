#include "core/SoundSettings.h"

#include "core/Waveforms.h"

#include <algorithm>

void SoundSettings::resetToNew() {
    repeatCount = 1;
    amplitude.reset(EnvelopeKind::Amplitude);
    frequency.reset(EnvelopeKind::Frequency);
    length = 0.2f;
    echoVolume = 0.0f;
    echoDelay = 0.0f;
    distort = 0.0f;
    waveform = waveforms::code(WaveformKind::Sine);
    sampleRate = 11025;
}

bool SoundSettings::operator==(const SoundSettings& o) const {
    return amplitude == o.amplitude && frequency == o.frequency && waveform == o.waveform && length == o.length &&
           distort == o.distort && echoVolume == o.echoVolume && echoDelay == o.echoDelay &&
           repeatCount == o.repeatCount && bitsPerSample == o.bitsPerSample && sampleRate == o.sampleRate;
}

double lengthMs(float length) {
    const double l = length;
    return std::max(20.0, l * l * 10000.0);
}
