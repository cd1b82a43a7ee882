#pragma once

#include "WriteResult.h"

#include <QByteArray>
#include <QString>

// Whole-file reads and atomic writes with reasons a user can act on.
namespace fileio {

// Reads at most maxBytes from the start of the file into `bytes`. False, with
// `error` set, for a missing file, a folder, an unreadable file or an empty one.
bool readPrefix(const QString& path, qint64 maxBytes, QByteArray& bytes, QString& error);

// Replaces the file at `path` with `bytes` through a temporary file that is
// renamed over it only when everything was written: on any failure the old
// file (if any) is left exactly as it was and no partial file remains.
WriteResult writeAtomically(const QString& path, const QByteArray& bytes);

}  // namespace fileio
