#pragma once

#include <QString>

// The order of a folder's sound names, the bank's as Export All's and
// render DIR's: natural order, so that "hit2" comes before "hit10". Runs of
// digits compare by their value, everything else without regard to case;
// names equal that way fall back to plain comparison so the order is total.
namespace name_order {

bool lessThan(const QString& a, const QString& b);

}  // namespace name_order
