#pragma once

#include <QString>

// How the point dialogs read and show numbers.
namespace number_text {

// The number at the front of `text`, read as C's atof reads it in the "C"
// locale whatever the user's locale: leading blanks skipped, the longest valid
// number taken, the rest ignored, 0 when there is none. Only the first 254
// characters count. A "nan" counts as 0 so that it can never reach a curve.
double read(const QString& text);

// q with two decimals, truncated rather than rounded: 19.9999 gives "19.99".
QString twoDecimals(double q);

}  // namespace number_text
