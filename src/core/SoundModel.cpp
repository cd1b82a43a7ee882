#include "core/SoundModel.h"

#include "core/SoundRenderer.h"

void SoundModel::newSound() {
    const int32_t bits = settings.bitsPerSample;
    settings.resetToNew();
    settings.bitsPerSample = bits;
    applyAll();
}

void SoundModel::applyAll() {
    prepareAll();
    render();
}

void SoundModel::prepareAll() {
    table.build(settings.waveform);
    sound_renderer::prepare(rendered, settings);
    applied_ = settings;
}

bool SoundModel::sameSizes(const SoundSettings& a, const SoundSettings& b) {
    return a.length == b.length && a.echoDelay == b.echoDelay && a.bitsPerSample == b.bitsPerSample &&
           a.sampleRate == b.sampleRate;
}

bool SoundModel::adoptMainPart(const SoundSettings& next, const std::vector<uint8_t>& mainPart) {
    if (!sameSizes(next, applied_) || !rendered.setMainPart(mainPart)) return false;
    if (next.waveform != applied_.waveform) table.build(next.waveform);
    settings = next;
    applied_ = next;
    return true;
}

bool SoundModel::adoptMainPart(const SoundSettings& next, const std::vector<uint8_t>& mainPart,
                               RenderedSound::Span changed) {
    if (!sameSizes(next, applied_) || !rendered.setMainPart(mainPart, changed)) return false;
    if (next.waveform != applied_.waveform) table.build(next.waveform);
    settings = next;
    applied_ = next;
    return true;
}

bool SoundModel::adoptSamples(const SoundSettings& next, std::vector<uint8_t>& samples) {
    if (!sameSizes(next, applied_) || !rendered.swapSamples(samples)) return false;
    if (next.waveform != applied_.waveform) table.build(next.waveform);
    settings = next;
    applied_ = next;
    return true;
}

void SoundModel::adopt(const SoundSettings& next, RenderedSound&& sound) {
    if (next.waveform != applied_.waveform) table.build(next.waveform);
    rendered = std::move(sound);
    settings = next;
    applied_ = next;
}

bool SoundModel::apply(const SoundSettings& next, bool renderNow) {
    // `next` may be `settings` itself, changed in place by a control.
    const SoundSettings target = next;
    if (target.waveform != applied_.waveform) table.build(target.waveform);
    // The buffer sizes follow the durations, which follow length and echo delay.
    if (target.length != applied_.length || target.echoDelay != applied_.echoDelay)
        rendered.setLength(static_cast<float>(lengthMs(target.length)), target.echoDelay);
    if (target.bitsPerSample != applied_.bitsPerSample) rendered.setBits(target.bitsPerSample);
    if (target.sampleRate != applied_.sampleRate) rendered.setSampleRate(target.sampleRate);
    settings = target;
    applied_ = target;
    if (renderNow) render();
    return renderNow;
}

void SoundModel::renderMainPart(RenderHelper* helper, sample_render::PhaseMemory* memory) {
    rendered.renderMainPart(table, settings.amplitude, settings.frequency, settings.echoVolume, settings.echoDelay,
                            settings.distort, helper, memory);
}

void SoundModel::renderTail(int32_t from, int32_t to) {
    rendered.renderTail(settings.amplitude, settings.echoVolume, settings.echoDelay, settings.distort, from, to);
}

bool SoundModel::adoptTail(const SoundSettings& next, const std::vector<uint8_t>& tail) {
    return next == applied_ && rendered.setTail(tail);
}

void SoundModel::render(RenderHelper* helper, sample_render::PhaseMemory* memory) {
    rendered.render(table, settings.amplitude, settings.frequency, settings.echoVolume, settings.echoDelay,
                    settings.distort, helper, memory);
}
