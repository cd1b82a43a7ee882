#pragma once

#include "formats/EfcFormat.h"
#include "storage/FileIO.h"
#include "storage/ReadResult.h"

#include <QString>

// The old-style sound file on disk, read only.
namespace efc {

// Reads the first kRecordBytes of the file and decodes them.
ReadResult read(const QString& path, fileio::Streams streams = fileio::Streams::Refused);

}  // namespace efc
