#include "SoundModel.h"

SoundModel::SoundModel(SoundPlayer* player) : rendered(player) {}

void SoundModel::newSound() {
    const int32_t bits = settings.bitsPerSample;
    settings.resetToNew();
    settings.bitsPerSample = bits;
    table.build(settings.waveform);
    rendered.setLength(static_cast<float>(lengthMs(settings.length)), settings.echoDelay);
    rendered.setSampleRate(settings.sampleRate);
    render();
}

void SoundModel::applyAll() {
    table.build(settings.waveform);
    rendered.setLength(static_cast<float>(lengthMs(settings.length)), settings.echoDelay);
    rendered.setBits(settings.bitsPerSample);
    rendered.setSampleRate(settings.sampleRate);
    render();
}

void SoundModel::waveformChanged() {
    table.build(settings.waveform);
    render();
}

void SoundModel::lengthChanged() {
    rendered.setLength(static_cast<float>(lengthMs(settings.length)), settings.echoDelay);
    render();
}

void SoundModel::rateChanged() {
    rendered.setSampleRate(settings.sampleRate);
    render();
}

void SoundModel::bitsChanged() {
    rendered.setBits(settings.bitsPerSample);
    render();
}

void SoundModel::render() {
    rendered.render(table, settings.amplitude, settings.frequency, settings.echoVolume, settings.echoDelay,
                    settings.distort);
}
