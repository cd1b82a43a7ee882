#pragma once

#include "WriteResult.h"

#include <QByteArray>
#include <QString>

// Whole-file reads and atomic writes with reasons a user can act on.
namespace fileio {

// Reads at most maxBytes from the start of the file into `bytes`. False, with
// `error` set, for a missing file, a folder, an unreadable file or an empty one.
bool readPrefix(const QString& path, qint64 maxBytes, QByteArray& bytes, QString& error);
// As readPrefix, but a file longer than maxBytes is refused with its size.
bool readWhole(const QString& path, qint64 maxBytes, QByteArray& bytes, QString& error);

// The path that writeAtomically takes for the standard output.
constexpr char kStandardOutput[] = "-";

// True for kStandardOutput and for an existing device or pipe: outputs that
// writeAtomically writes as they are, with no name of their own to check.
bool isStream(const QString& path);

// Replaces the file at `path` with `bytes` through a temporary file that is
// renamed over it only when everything was written: on any failure the old
// file (if any) is left exactly as it was and no partial file remains.
// Every byte is written and flushed before the rename, so a full disk is a
// failure, not an empty file. Two exceptions: a device or a pipe (and
// kStandardOutput) is written as it is, and a writable file in a folder we
// may not write to is rewritten in place, its old bytes put back on failure.
// Anything else that is not a regular file is refused.
WriteResult writeAtomically(const QString& path, const QByteArray& bytes);

}  // namespace fileio
