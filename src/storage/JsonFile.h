#pragma once

#include "formats/JsonFormat.h"
#include "storage/FileIO.h"
#include "storage/ReadResult.h"
#include "storage/WriteResult.h"

#include <QString>

// The JSON text of a sound on disk, read and written through fileio.
namespace soundjson {

// Refuses a file over zdl::kMaxFileBytes before parsing it.
ReadResult read(const QString& path, fileio::Streams streams = fileio::Streams::Refused);
// Atomic: a failed write leaves an existing file untouched.
WriteResult write(const QString& path, const SoundSettings& settings,
                  fileio::Streams streams = fileio::Streams::Refused);

}  // namespace soundjson
