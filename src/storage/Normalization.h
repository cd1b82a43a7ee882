#pragma once

#include "storage/Loudness.h"

#include <QString>

#include <optional>

class RenderedSound;

// A gain that brings an exported sound to a chosen peak or loudness. The
// default is none, which leaves every byte as it was.
namespace normalization {

enum class Target { None, Peak, Loudness };

struct Normalization {
    Target target = Target::None;
    double level = 0.0;  // dBFS for Peak, LUFS for Loudness

    bool operator==(const Normalization& o) const { return target == o.target && level == o.level; }
    bool operator!=(const Normalization& o) const { return !(*this == o); }
};

// The ceiling every normalisation keeps the peak under: a loudness target
// stops raising the gain where the peak would pass it.
constexpr double kPeakCeilingDb = -1.0;

// "peak:-1", "lufs:-16" or "none", in any case; nothing, with the reason in
// `error`, for any other text.
std::optional<Normalization> parse(const QString& text, QString* error);
// The text parse() reads back: "peak:-1", "lufs:-16", "none".
QString text(const Normalization& normalization);

struct Gain {
    double db = 0.0;
    bool limited = false;  // a loudness target was cut short by the peak ceiling
};

// The gain that meets the target for a sound of this level. A silent sound
// gets none; a loudness too low to measure goes as far as the ceiling allows.
Gain gainFor(const Normalization& normalization, const loudness::Level& level, int bits);

// Multiplies every sample by the gain, rounded to the nearest step and kept
// within the width's range: the same sound and gain give the same bytes.
void apply(RenderedSound& sound, double gainDb);

}  // namespace normalization
