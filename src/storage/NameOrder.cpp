#include "storage/NameOrder.h"

namespace name_order {

namespace {

// Compares the digit runs starting at a[i] and b[j] by value (any length:
// leading zeros are skipped, then the longer run is the greater), moving
// both indexes past their runs. Equal values written with different leading
// zeros are left to the final tie-break.
int compareNumbers(const QString& a, qsizetype& i, const QString& b, qsizetype& j) {
    auto skipZeros = [](const QString& s, qsizetype& k) {
        while (k < s.size() && s[k] == QLatin1Char('0')) ++k;
    };
    auto runEnd = [](const QString& s, qsizetype k) {
        while (k < s.size() && s[k].isDigit()) ++k;
        return k;
    };
    skipZeros(a, i);
    skipZeros(b, j);
    const qsizetype endA = runEnd(a, i);
    const qsizetype endB = runEnd(b, j);
    int result = 0;
    if (endA - i != endB - j) {
        result = endA - i < endB - j ? -1 : 1;
    } else {
        for (qsizetype k = 0; k < endA - i && result == 0; ++k) {
            if (a[i + k] != b[j + k]) result = a[i + k] < b[j + k] ? -1 : 1;
        }
    }
    i = endA;
    j = endB;
    return result;
}

}  // namespace

bool lessThan(const QString& a, const QString& b) {
    qsizetype i = 0;
    qsizetype j = 0;
    while (i < a.size() && j < b.size()) {
        const QChar ca = a[i];
        const QChar cb = b[j];
        if (ca.isDigit() && cb.isDigit()) {
            const int numbers = compareNumbers(a, i, b, j);
            if (numbers != 0) return numbers < 0;
            continue;
        }
        const QChar la = ca.toCaseFolded();
        const QChar lb = cb.toCaseFolded();
        if (la != lb) return la < lb;
        ++i;
        ++j;
    }
    if ((a.size() - i) != (b.size() - j)) return a.size() - i < b.size() - j;
    return a < b;
}

}  // namespace name_order
