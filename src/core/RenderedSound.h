#pragma once

#include "core/WavImage.h"

#include <cstddef>
#include <cstdint>
#include <vector>

class Envelope;
class RenderHelper;
class WaveformTable;
namespace sample_render {
class PhaseMemory;
}

// The sound as it is heard: format, durations, the PCM samples and the current
// RIFF/WAVE header. Each setter reallocates the sample buffer and leaves it
// unrendered; render() always follows before the samples are read.
class RenderedSound {
public:
    RenderedSound();
    RenderedSound(const RenderedSound&) = delete;
    RenderedSound& operator=(const RenderedSound&) = delete;
    RenderedSound(RenderedSound&&) = default;
    RenderedSound& operator=(RenderedSound&&) = default;

    // Each returns false, leaving an empty sound (no samples), when the buffer
    // cannot be allocated or would not fit a WAV file.
    bool setLength(float lengthMs, float echoDelay);
    bool setSampleRate(int32_t rate);
    bool setBits(int bits);

    // Renders the whole sound from scratch into the buffer; with a helper,
    // part of the work runs on its thread, and with a memory the phases an
    // earlier render left there are taken where they still hold (the same
    // bytes either way).
    void render(const WaveformTable& table, const Envelope& amplitude, const Envelope& frequency, float echoVolume,
                float echoDelay, float distort, RenderHelper* helper = nullptr,
                sample_render::PhaseMemory* memory = nullptr);
    // The same for the main part only (what the output plot shows); the echo
    // tail keeps its old samples until the next render(). A drag's live
    // preview, three to four times quicker for a sound with a long tail.
    void renderMainPart(const WaveformTable& table, const Envelope& amplitude, const Envelope& frequency,
                        float echoVolume, float echoDelay, float distort, RenderHelper* helper = nullptr,
                        sample_render::PhaseMemory* memory = nullptr);

    // Samples [from, to) of the echo tail after renderMainPart(), the same
    // bytes render() gives; piece after piece, in order, they complete it.
    void renderTail(const Envelope& amplitude, float echoVolume, float echoDelay, float distort, int32_t from,
                    int32_t to);
    // The tail's bytes (from the main part's end) and their setter, as
    // mainPart() and setMainPart().
    std::vector<uint8_t> tail() const;
    bool setTail(const std::vector<uint8_t>& bytes);

    // The main part's bytes, as renderMainPart() left them.
    std::vector<uint8_t> mainPart() const;
    // Puts bytes rendered elsewhere in place of the main part; false,
    // changing nothing, unless they are exactly as many.
    bool setMainPart(const std::vector<uint8_t>& bytes);
    // The same for the whole sound, echo tail included (a gain applied
    // elsewhere); false, changing nothing, unless they are exactly as many.
    bool setSamples(const std::vector<uint8_t>& bytes);
    // The samples [first, end) of the main part that `bytes` (as many as it
    // holds) would change; first == end when none would, and the whole main
    // part when the sizes differ.
    struct Span {
        int32_t first = 0;
        int32_t end = 0;
    };
    Span mainPartChanges(const std::vector<uint8_t>& bytes) const;
    // The same for the first `size` bytes at `bytes` (a whole buffer whose
    // main part is compared).
    Span mainPartChanges(const uint8_t* bytes, size_t size) const;
    // Trades the sample buffer for `other`, rendered elsewhere at these sizes
    // (no copy); false, changing nothing, unless it holds as many bytes.
    bool swapSamples(std::vector<uint8_t>& other);
    // setMainPart() when only the samples in `changed` (as mainPartChanges()
    // found them) differ: the rest is not copied.
    bool setMainPart(const std::vector<uint8_t>& bytes, Span changed);

    // What the editor plays and what a WAV export writes: the header, then the
    // samples `repeats` times in a row (limited to 1..10). Empty when there
    // are no samples or no memory for the image.
    WavImage wavImage(int repeats) const;

    int32_t lengthSamples() const { return lengthSamples_; }  // W, the main part
    int32_t sampleCount() const;                              // N, the whole sound
    int bits() const { return wav_header::bitsPerSample(header_); }
    int32_t sampleRate() const { return static_cast<int32_t>(wav_header::sampleRate(header_)); }
    float lengthMs() const { return lengthMs_; }
    float totalMs() const { return totalMs_; }

    const WavImage::Header& header() const { return header_; }
    const std::vector<uint8_t>& samples() const { return samples_; }
    size_t dataSize() const { return samples_.size(); }
    // Sample n as a signed value: the byte - 128 at 8 bits, the sample at 16.
    int sampleAt(int32_t n) const;
    // How many samples sit at full scale, where a louder sound was cut off:
    // bytes 1 and 255 at 8 bits, -32767 and 32767 (or beyond) at 16.
    int32_t clippedCount() const;

private:
    bool reallocate();
    // Every sample before stopAt (the main part at least), as render() gives it.
    void renderUpTo(int32_t stopAt, const WaveformTable& table, const Envelope& amplitude, const Envelope& frequency,
                    float echoVolume, float echoDelay, float distort, RenderHelper* helper,
                    sample_render::PhaseMemory* memory);

    WavImage::Header header_;
    std::vector<uint8_t> samples_;
    float totalMs_ = 100.0f;
    float lengthMs_ = 100.0f;
    int32_t lengthSamples_ = 0;
};
