#pragma once

#include "core/SoundSettings.h"
#include "core/WavImage.h"
#include "libzindle/Status.h"

#include <cstddef>
#include <cstdint>

// Rendering for the library, through the render zindle-cli and the editor use
// (sound_renderer, RenderedSound::wavImage), so that every byte matches theirs.
namespace sound_render {

// The settings at the chosen rate and width (0 keeps the sound's own), as
// zindle-cli's --rate and --bits set them. Fails for values not offered.
Status chooseQuality(const SoundSettings& sound, int rate, int bits, SoundSettings& chosen);

// Bytes of the samples of `sound`, repeated its repeat count: the WAV image's
// data chunk. Sizes the buffers without rendering them.
Status samplesSize(const SoundSettings& sound, size_t& size);

// The whole render: the samples `repeatCount` times into `out`, which holds
// at least samplesSize() bytes.
Status renderSamples(const SoundSettings& sound, uint8_t* out, size_t outSize);

// The WAV image the editor plays for the sound.
Status renderWav(const SoundSettings& sound, WavImage& image);

}  // namespace sound_render
