#pragma once

#include "storage/FileIO.h"
#include "storage/ReadResult.h"
#include "storage/WriteResult.h"

#include <QString>

struct SoundSettings;

// The reader and writer chosen by a file's name, as Open and Save choose them.
namespace soundfile {

// True when the name (without its folder) ends in the three letters e, f, c
// in any case, with or without a dot before them: "BOOM.EfC", "boomefc".
bool isOldStyleName(const QString& path);
// True when the name ends in "json" in any case, with or without a dot.
bool isJsonName(const QString& path);
// True for the names write() gives a format of their own: .zdl and .json in any case.
bool isWritableName(const QString& path);
// The same path with its last three characters replaced by "zdl", so that a
// converted old-style sound is saved beside the old file, never over it.
QString zdlPathFor(const QString& oldStylePath);
// Reads with the JSON, the old-style or the .zdl reader, by name (any other
// name is read as a .zdl). `streams` as in fileio: the editor's default
// takes regular files only, the command line passes Accepted.
ReadResult read(const QString& path, fileio::Streams streams = fileio::Streams::Refused);
// Writes JSON for a JSON name, a .zdl record for any other; atomic.
WriteResult write(const QString& path, const SoundSettings& settings,
                  fileio::Streams streams = fileio::Streams::Refused);

}  // namespace soundfile
