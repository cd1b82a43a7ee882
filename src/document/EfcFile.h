#pragma once

#include "EfcFormat.h"
#include "ReadResult.h"

#include <QString>

// The old-style sound file on disk, read only.
namespace efc {

// Reads the first kRecordBytes of the file and decodes them.
ReadResult read(const QString& path);

}  // namespace efc
