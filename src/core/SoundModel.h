#pragma once

#include "core/RenderedSound.h"
#include "core/SoundSettings.h"
#include "core/WaveformTable.h"

#include <cstdint>
#include <vector>

// The settings of the one open sound together with what is derived from them:
// the waveform table and the rendered samples. `applied()` is the settings the
// derived parts were last built from, so that an edit calls only the setters
// whose values changed.
class RenderHelper;
namespace sample_render {
class PhaseMemory;
}

class SoundModel {
public:
    SoundSettings settings;
    WaveformTable table;
    RenderedSound rendered;

    // Defaults of a new sound (keeping the width), then applyAll().
    void newSound();
    // Everything from the settings: table, durations, width, rate, render.
    // The load path (start-up, New, Open) and the command-line renderer.
    void applyAll();
    // The same without the render: the buffer is sized and unrendered.
    void prepareAll();

    // Takes the main part rendered elsewhere from `next` (a preview), whose
    // sizes are the applied ones: the tail keeps its samples, as after
    // renderMainPart(). False, changing nothing, when the sizes differ.
    bool adoptMainPart(const SoundSettings& next, const std::vector<uint8_t>& mainPart);
    // The same, copying only the samples `changed` holds (the others are
    // known to be equal).
    bool adoptMainPart(const SoundSettings& next, const std::vector<uint8_t>& mainPart, RenderedSound::Span changed);
    // Takes the buffer `samples` (the whole buffer, its main part rendered
    // elsewhere from `next`) in place of its own, which `samples` then holds:
    // no copy. The tail is as the other buffer left it. False, changing
    // nothing, when the sizes differ.
    bool adoptSamples(const SoundSettings& next, std::vector<uint8_t>& samples);
    // Takes `sound`, rendered elsewhere from `next`, as its own.
    void adopt(const SoundSettings& next, RenderedSound&& sound);
    // Whether two settings give buffers of the same format and durations.
    static bool sameSizes(const SoundSettings& a, const SoundSettings& b);

    // One edit: takes `next` as the settings, rebuilds the table, the
    // durations, the width and the rate only where they differ from what was
    // applied last, and renders when `render` is set. Returns whether it did.
    bool apply(const SoundSettings& next, bool render);

    const SoundSettings& applied() const { return applied_; }

    // With a helper, part of the work runs on its thread; with a memory, the
    // phases of the renders before are taken where they still hold (the same
    // bytes either way).
    void render(RenderHelper* helper = nullptr, sample_render::PhaseMemory* memory = nullptr);
    // Only the main part, for a preview; render() brings the tail in line.
    void renderMainPart(RenderHelper* helper = nullptr, sample_render::PhaseMemory* memory = nullptr);
    // Samples [from, to) of the tail after renderMainPart(); in order, from
    // the main part's end, they bring it in line as render() does.
    void renderTail(int32_t from, int32_t to);
    // Takes the tail rendered elsewhere for `next`, the settings applied
    // now; false, changing nothing, for other settings or sizes.
    bool adoptTail(const SoundSettings& next, const std::vector<uint8_t>& tail);

private:
    SoundSettings applied_;
};
