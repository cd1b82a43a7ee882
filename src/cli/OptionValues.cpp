#include "cli/OptionValues.h"

#include <cmath>

namespace optionvalues {

namespace {

// QString's own conversions would let a sign or surrounding spaces through.
bool digitsOnly(const QString& text) {
    if (text.isEmpty()) return false;
    for (const QChar c : text)
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return false;
    return true;
}

}  // namespace

std::optional<uint64_t> seed(const QString& text) {
    if (!digitsOnly(text)) return std::nullopt;
    bool ok = false;
    const qulonglong value = text.toULongLong(&ok);
    if (!ok) return std::nullopt;
    return uint64_t(value);
}

std::optional<int> whole(const QString& text, int low, int high) {
    if (!digitsOnly(text)) return std::nullopt;
    bool ok = false;
    const qulonglong value = text.toULongLong(&ok);
    if (!ok || value < qulonglong(low) || value > qulonglong(high)) return std::nullopt;
    return int(value);
}

std::optional<float> amount(const QString& text) {
    // QString::toDouble always reads the C locale; it would also take "nan",
    // "inf" and surrounding spaces, which the checks below turn away.
    if (text.trimmed() != text) return std::nullopt;
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok || !std::isfinite(value) || value < 0.0 || value > 1.0) return std::nullopt;
    return float(value);
}

}  // namespace optionvalues
