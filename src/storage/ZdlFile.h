#pragma once

#include "formats/ZdlFormat.h"
#include "storage/FileIO.h"
#include "storage/ReadResult.h"
#include "storage/WriteResult.h"

#include <QString>

// Zindle's own sound file on disk: the record of ZdlFormat.h read and written
// through fileio.
namespace zdl {

// Refuses a file over kMaxFileBytes before decoding it.
ReadResult read(const QString& path, fileio::Streams streams = fileio::Streams::Refused);
// Atomic: a failed write leaves an existing file untouched.
WriteResult write(const QString& path, const SoundSettings& settings,
                  fileio::Streams streams = fileio::Streams::Refused);

}  // namespace zdl
