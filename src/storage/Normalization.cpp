#include "storage/Normalization.h"

#include "core/RenderedSound.h"
#include "core/SampleFormat.h"

#include <QCoreApplication>

#include <algorithm>
#include <cmath>
#include <vector>

namespace normalization {

namespace {

QString tr(const char* text) { return QCoreApplication::translate("normalization", text); }

// Targets a sound can reach and a player can still hear.
constexpr double kLowestPeakDb = -60.0;
constexpr double kLowestLufs = -70.0;

double fullScale(int bits) {
    return bits == 16 ? sample_format::Format<16>::kFullScale : sample_format::Format<8>::kFullScale;
}

// The largest whole sample at or under `db`: the gain aims there, so that
// rounding never lifts the peak past the target.
double ceilingDb(double db, int bits) {
    const double full = fullScale(bits);
    const double steps = std::min(full - 1.0, std::floor(full * std::pow(10.0, db / 20.0)));
    return 20.0 * std::log10(std::max(1.0, steps) / full);
}

template <int Bits>
void scale(RenderedSound& sound, double factor) {
    using F = sample_format::Format<Bits>;
    const double limit = F::kFullScale - 1.0;
    std::vector<uint8_t> bytes = sound.samples();
    const int32_t n = sound.sampleCount();
    for (int32_t i = 0; i < n; ++i) {
        const double y = std::clamp(std::round(F::load(bytes.data(), i) * factor), -limit, limit);
        F::store(bytes.data(), i, y);
    }
    sound.setSamples(bytes);
}

}  // namespace

std::optional<Normalization> parse(const QString& text, QString* error) {
    const QString t = text.trimmed();
    if (t.compare(QLatin1String("none"), Qt::CaseInsensitive) == 0) return Normalization{};
    const int colon = t.indexOf(QLatin1Char(':'));
    const QString kind = t.left(colon).trimmed().toLower();
    Normalization n;
    if (colon < 0 || (kind != QLatin1String("peak") && kind != QLatin1String("lufs"))) {
        if (error)
            *error = tr("\"%1\" is not a normalisation: use peak:DB (like peak:-1), lufs:LUFS (like lufs:-16) or none.")
                         .arg(text);
        return std::nullopt;
    }
    n.target = kind == QLatin1String("peak") ? Target::Peak : Target::Loudness;
    bool ok = false;
    const QString number = t.mid(colon + 1).trimmed();
    n.level = number.toDouble(&ok);
    if (!ok || !std::isfinite(n.level)) {
        if (error) *error = tr("\"%1\" in \"%2\" is not a number.").arg(number, text);
        return std::nullopt;
    }
    const double lowest = n.target == Target::Peak ? kLowestPeakDb : kLowestLufs;
    const double highest = n.target == Target::Peak ? 0.0 : kPeakCeilingDb;
    if (n.level < lowest || n.level > highest) {
        if (error) {
            *error = (n.target == Target::Peak ? tr("A peak target lies from %1 to %2 dBFS, not %3.")
                                               : tr("A loudness target lies from %1 to %2 LUFS, not %3."))
                         .arg(lowest)
                         .arg(highest)
                         .arg(number);
        }
        return std::nullopt;
    }
    return n;
}

QString text(const Normalization& normalization) {
    switch (normalization.target) {
    case Target::Peak: return QStringLiteral("peak:%1").arg(normalization.level);
    case Target::Loudness: return QStringLiteral("lufs:%1").arg(normalization.level);
    case Target::None: break;
    }
    return QStringLiteral("none");
}

Gain gainFor(const Normalization& normalization, const loudness::Level& level, int bits) {
    Gain gain;
    if (normalization.target == Target::None || !std::isfinite(level.peakDb)) return gain;
    if (normalization.target == Target::Peak) {
        gain.db = ceilingDb(normalization.level, bits) - level.peakDb;
        return gain;
    }
    const double most = ceilingDb(kPeakCeilingDb, bits) - level.peakDb;
    // Too quiet to gate: no gain reaches the target, so the ceiling decides.
    const double wanted = std::isfinite(level.loudnessLufs) ? normalization.level - level.loudnessLufs : most + 1.0;
    gain.limited = wanted > most;
    gain.db = std::min(wanted, most);
    return gain;
}

void apply(RenderedSound& sound, double gainDb) {
    const double factor = std::pow(10.0, gainDb / 20.0);
    if (sound.bits() == 16) {
        scale<16>(sound, factor);
    } else {
        scale<8>(sound, factor);
    }
}

}  // namespace normalization
