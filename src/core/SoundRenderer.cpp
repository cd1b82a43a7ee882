#include "core/SoundRenderer.h"

#include "core/WaveformTable.h"

namespace sound_renderer {

RenderSizes sizes(const SoundSettings& s) {
    const float ms = static_cast<float>(lengthMs(s.length));
    return render_sizes::of(s.sampleRate, s.bitsPerSample, ms, render_sizes::totalMs(ms, s.echoDelay));
}

void prepare(RenderedSound& rendered, const SoundSettings& s) {
    rendered.setLength(static_cast<float>(lengthMs(s.length)), s.echoDelay);
    rendered.setBits(s.bitsPerSample);
    rendered.setSampleRate(s.sampleRate);
}

RenderedSound render(const SoundSettings& s) {
    WaveformTable table;
    table.build(s.waveform);
    RenderedSound rendered;
    prepare(rendered, s);
    rendered.render(table, s.amplitude, s.frequency, s.echoVolume, s.echoDelay, s.distort);
    return rendered;
}

}  // namespace sound_renderer
