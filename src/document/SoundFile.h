#pragma once

#include "ReadResult.h"

#include <QString>

// The reader chosen by a file's name, as Open chooses it.
namespace soundfile {

// True when the name (without its folder) ends in the three letters e, f, c
// in any case, with or without a dot before them: "BOOM.EfC", "boomefc".
bool isOldStyleName(const QString& path);
// The same path with its last three characters replaced by "zdl", so that a
// converted old-style sound is saved beside the old file, never over it.
QString zdlPathFor(const QString& oldStylePath);
// Reads with the old-style reader or the .zdl reader, by name.
ReadResult read(const QString& path);

}  // namespace soundfile
