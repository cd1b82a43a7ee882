#pragma once

#include "core/RenderSizes.h"
#include "core/RenderedSound.h"
#include "core/SoundSettings.h"

// A sound rendered whole from its settings: what zindle-cli writes, what its
// info report measures and what the library hands out, byte for byte what the
// editor plays for the same settings.
namespace sound_renderer {

// The sizes render() will produce, without rendering.
RenderSizes sizes(const SoundSettings& settings);

// Sets the format and the durations of `rendered` from the settings, leaving
// the buffer unrendered: the load path of the editor's model as well.
void prepare(RenderedSound& rendered, const SoundSettings& settings);

// The whole sound. It has no samples when they cannot be allocated or would
// not fit a WAV file (sizes().fits).
RenderedSound render(const SoundSettings& settings);

}  // namespace sound_renderer
