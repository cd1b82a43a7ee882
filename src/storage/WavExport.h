#pragma once

#include "storage/FileIO.h"
#include "storage/WriteResult.h"

#include <QString>

class RenderedSound;

// WAV files of exactly what play would play.
namespace wavexport {

// Writes the header and the samples repeated `repeats` times (limited to
// 1..10, as play does). Atomic: a failure leaves no partial file and an
// existing file of that name untouched.
WriteResult write(const QString& path, const RenderedSound& sound, int repeats,
                  fileio::Streams streams = fileio::Streams::Refused);

}  // namespace wavexport
