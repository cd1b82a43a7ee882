#include "storage/Loudness.h"

#include "core/RenderedSound.h"
#include "core/SampleFormat.h"
#include "core/SoundQuality.h"

#include <ebur128.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <vector>

namespace loudness {

namespace {

constexpr double kSilent = -std::numeric_limits<double>::infinity();
// libebur128's gating block: four of its 100 ms steps, each rounded to
// whole frames ((rate + 5) / 10), so at 11025 Hz 4412 frames, not 4410.
long blockFrames(int sampleRate) { return 4L * ((long(sampleRate) + 5) / 10); }

struct StateDeleter {
    void operator()(ebur128_state* st) const { ebur128_destroy(&st); }
};
using State = std::unique_ptr<ebur128_state, StateDeleter>;

template <int Bits>
std::vector<double> scaled(const RenderedSound& sound) {
    using F = sample_format::Format<Bits>;
    const int32_t n = sound.sampleCount();
    std::vector<double> out(size_t(std::max<int32_t>(n, 0)));
    const uint8_t* s = sound.samples().data();
    for (int32_t i = 0; i < n; ++i) out[size_t(i)] = F::load(s, i) / F::kFullScale;
    return out;
}

// Integrated loudness of `once` played `times` times in a row; -infinity
// when silent or when the meter fails.
double loudnessOf(const std::vector<double>& once, int32_t times, int sampleRate) {
    State st(ebur128_init(1, static_cast<unsigned long>(sampleRate), EBUR128_MODE_I));
    if (!st) return kSilent;
    const double frames = double(once.size()) * times;
    const double totalMs = frames * 1000.0 / sampleRate;
    const bool oneBlock = frames < double(blockFrames(sampleRate));
    // Whole milliseconds, rounded down, so the window never reaches before
    // the first sample (where the meter's buffer holds zeros).
    const auto windowMs = static_cast<unsigned long>(totalMs);
    // The meter keeps the last 400 ms for its momentary loudness, so any
    // shorter window fits without ebur128_set_max_window.
    if (oneBlock && windowMs < 1) return kSilent;
    for (int32_t r = 0; r < times; ++r) {
        if (ebur128_add_frames_double(st.get(), once.data(), once.size()) != EBUR128_SUCCESS) return kSilent;
    }
    double lufs = kSilent;
    const int rc =
        oneBlock ? ebur128_loudness_window(st.get(), windowMs, &lufs) : ebur128_loudness_global(st.get(), &lufs);
    return rc == EBUR128_SUCCESS && std::isfinite(lufs) ? lufs : kSilent;
}

}  // namespace

Level measure(const RenderedSound& sound, int repeats) {
    Level level{kSilent, kSilent};
    const int rate = sound.sampleRate();
    if (sound.sampleCount() <= 0 || rate <= 0) return level;
    const std::vector<double> once = sound.bits() == 8 ? scaled<8>(sound) : scaled<16>(sound);
    double peak = 0.0;
    for (const double v : once) peak = std::max(peak, std::fabs(v));
    if (peak == 0.0) return level;
    level.peakDb = 20.0 * std::log10(peak);
    level.loudnessLufs = loudnessOf(once, sound_quality::limitRepeats(repeats), rate);
    return level;
}

}  // namespace loudness
