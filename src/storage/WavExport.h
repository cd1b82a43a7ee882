#pragma once

#include "storage/EncodedFile.h"
#include "storage/FileIO.h"
#include "storage/WriteResult.h"

#include <QString>

class RenderedSound;

// WAV files of exactly what play would play.
namespace wavexport {

// The header and the samples repeated `repeats` times (limited to 1..10),
// or the reason there are none.
EncodedFile encode(const RenderedSound& sound, int repeats);
// Writes the header and the samples repeated `repeats` times (limited to
// 1..10, as play does). Atomic: a failure leaves no partial file and an
// existing file of that name untouched.
WriteResult write(const QString& path, const RenderedSound& sound, int repeats,
                  fileio::Streams streams = fileio::Streams::Refused);

}  // namespace wavexport
