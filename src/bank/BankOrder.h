#pragma once

#include <QString>

// The order of a bank's names: natural order, so that "hit2" comes before
// "hit10". Runs of digits compare by their value, everything else without
// regard to case; names equal that way fall back to plain comparison so the
// order is total.
namespace bank_order {

bool lessThan(const QString& a, const QString& b);

}  // namespace bank_order
