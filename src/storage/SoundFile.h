#pragma once

#include "storage/FileIO.h"
#include "storage/ReadResult.h"
#include "storage/WriteResult.h"

#include <QString>

struct SoundSettings;

// Sound files on disk: read in the format their bytes are in (the name only
// breaks a tie), written in the format their name asks for, as Save writes.
namespace soundfile {

// True when the name (without its folder) ends in the three letters e, f, c
// in any case, with or without a dot before them: "BOOM.EfC", "boomefc".
bool isOldStyleName(const QString& path);
// True when the name ends in "json" in any case, with or without a dot.
bool isJsonName(const QString& path);
// True for the names write() gives a format of their own: .zdl and .json in any case.
bool isWritableName(const QString& path);
// The .zdl path beside an old-style sound, so that a converted one is saved
// beside the old file, never over it: an old-style name's last three
// characters become "zdl"; any other name's extension (if any) becomes ".zdl".
QString zdlPathFor(const QString& oldStylePath);
// Reads the whole file and decodes it in the format its bytes are in
// (soundformats::read, the file's name breaking ties); ReadResult::format
// tells which. `streams` as in fileio: the editor's default takes regular
// files only, the command line passes Accepted.
ReadResult read(const QString& path, fileio::Streams streams = fileio::Streams::Refused);
// Writes JSON for a JSON name, a .zdl record for any other; atomic.
WriteResult write(const QString& path, const SoundSettings& settings,
                  fileio::Streams streams = fileio::Streams::Refused);

}  // namespace soundfile
