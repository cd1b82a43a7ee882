#include "libzindle/SoundRender.h"

#include "core/RenderedSound.h"
#include "core/SoundQuality.h"
#include "core/SoundRenderer.h"

#include <cstring>
#include <limits>
#include <string>

namespace sound_render {

namespace {

const char kNoRoom[] = "out of memory: no room for the samples";

int repeatsOf(const SoundSettings& sound) { return sound_quality::limitRepeats(sound.repeatCount); }

// RenderedSound leaves the buffer empty when it cannot be allocated or would
// not fit a WAV file; the length limits of validated settings rule out the
// latter.
Status checkRendered(const RenderedSound& rendered) {
    if (rendered.dataSize() == 0) return Status::failure(ZINDLE_ERROR_MEMORY, kNoRoom);
    return Status();
}

Status sizeFor(uint64_t dataSize, int repeats, size_t& size) {
    if (dataSize > (std::numeric_limits<uint32_t>::max() - 36u) / uint64_t(repeats))
        return Status::failure(ZINDLE_ERROR_MEMORY, kNoRoom);
    size = dataSize * size_t(repeats);
    return Status();
}

}  // namespace

Status chooseQuality(const SoundSettings& sound, int rate, int bits, SoundSettings& chosen) {
    if (rate != 0 && !sound_quality::isSampleRate(rate))
        return Status::failure(ZINDLE_ERROR_ARGUMENT, "The sample rate " + std::to_string(rate) +
                                                          " is not offered: " + sound_quality::sampleRateList() + ".");
    if (bits != 0 && !sound_quality::isSampleWidth(bits))
        return Status::failure(ZINDLE_ERROR_ARGUMENT, "The sample width " + std::to_string(bits) + " is not offered: " +
                                                          sound_quality::sampleWidthList() + " bits.");
    chosen = sound;
    if (rate != 0) chosen.sampleRate = rate;
    if (bits != 0) chosen.bitsPerSample = bits;
    return Status();
}

Status samplesSize(const SoundSettings& sound, size_t& size) {
    const RenderSizes sizes = sound_renderer::sizes(sound);
    if (!sizes.fits || sizes.dataBytes == 0) return Status::failure(ZINDLE_ERROR_MEMORY, kNoRoom);
    return sizeFor(sizes.dataBytes, repeatsOf(sound), size);
}

Status renderSamples(const SoundSettings& sound, uint8_t* out, size_t outSize) {
    const RenderedSound rendered = sound_renderer::render(sound);
    Status status = checkRendered(rendered);
    size_t size = 0;
    if (status.ok()) status = sizeFor(rendered.dataSize(), repeatsOf(sound), size);
    if (!status.ok()) return status;
    if (outSize < size) return Status::failure(ZINDLE_ERROR_BUFFER, "The buffer is too small for the samples.");
    const std::vector<uint8_t>& samples = rendered.samples();
    for (int r = 0; r < repeatsOf(sound); ++r)
        std::memcpy(out + size_t(r) * samples.size(), samples.data(), samples.size());
    return Status();
}

Status renderWav(const SoundSettings& sound, WavImage& image) {
    const RenderedSound rendered = sound_renderer::render(sound);
    Status status = checkRendered(rendered);
    if (!status.ok()) return status;
    image = rendered.wavImage(sound.repeatCount);
    // The samples are there, so an empty image means no memory for it (or
    // sizes beyond 32 bits, which the buffer limits rule out).
    if (image.empty()) return Status::failure(ZINDLE_ERROR_MEMORY, "out of memory");
    return Status();
}

}  // namespace sound_render
