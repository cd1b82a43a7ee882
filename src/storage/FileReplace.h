#pragma once

#include "storage/WriteResult.h"

#include <QByteArray>

// How fileio::writeAtomically replaces a regular file (or makes a new one),
// on the name's bytes as the system holds them.
namespace filereplace {

// Writes and syncs the bytes in a temporary file in the target's folder,
// then puts it in place by a rename (for a new file, by linking the unnamed
// temporary, so a kill leaves nothing behind). A link is followed; the
// target's permissions are kept. When no temporary file may be made there
// but the file itself may be written, it is rewritten in place.
WriteResult replace(const QByteArray& path, const QByteArray& bytes);

// Rewrites the file in place: a synced copy of its old bytes is kept in the
// user's cache folder ($XDG_CACHE_HOME/zindle, else ~/.cache/zindle) until
// the new bytes are synced, and the old ones are put back on failure. When
// no copy can be kept nothing is written.
WriteResult rewriteInPlace(const QByteArray& path, const QByteArray& bytes);

}  // namespace filereplace
