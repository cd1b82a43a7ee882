#include "ui/dialogs/NumberText.h"

#include <QByteArray>

#include <locale.h>
#include <algorithm>
#include <clocale>
#include <cmath>
#include <cstdlib>

namespace number_text {

namespace {

// Made once: the "C" locale always exists, so this cannot fail in practice.
locale_t cLocale() {
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return locale;
}

}  // namespace

double read(const QString& text) {
    // Non-ASCII characters become bytes >= 0x80, which end a number just as
    // they would in the single-byte original.
    const QByteArray bytes = text.left(254).toUtf8();
    const locale_t c = cLocale();
    if (c == static_cast<locale_t>(nullptr)) return 0.0;
    const double value = strtod_l(bytes.constData(), nullptr, c);
    return std::isnan(value) ? 0.0 : value;
}

QString twoDecimals(double q) {
    if (std::isnan(q)) q = 0.0;
    // A negative number gets its sign once instead of a "-" in the decimals.
    const bool negative = q < 0.0;
    if (negative) q = -q;
    q = std::min(q, 1e15);  // keeps 100 * q inside a 64-bit integer
    const long long whole = static_cast<long long>(q);
    const long long hundredths = static_cast<long long>(100.0 * q) % 100;
    return QString::asprintf("%s%lld.%02lld", negative ? "-" : "", whole, hundredths);
}

}  // namespace number_text
