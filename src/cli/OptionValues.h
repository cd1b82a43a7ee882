#pragma once

#include <QString>

#include <cstdint>
#include <optional>

// The numbers zindle-cli's options take, read strictly and in the C locale
// whatever the user's locale, so a build script means the same everywhere.
// Each gives nothing for text that is not a valid value.
namespace optionvalues {

// Decimal digits only (no sign, no spaces) that fit in 64 bits.
std::optional<uint64_t> seed(const QString& text);

// A whole number from low to high, decimal digits only.
std::optional<int> whole(const QString& text, int low, int high);

// A finite decimal number from 0 to 1, such as 0.25, .5 or 1e-1.
std::optional<float> amount(const QString& text);

}  // namespace optionvalues
