#pragma once

#include "storage/WriteResult.h"

#include <QByteArray>
#include <QString>

// Whole-file reads and atomic writes with reasons a user can act on. Paths
// are named as filenames::encode() names them, so any name the system
// accepts can be read and written.
namespace fileio {

// Which files besides regular ones a read or a write takes. The editor takes
// regular files only: opening a named pipe would hold it until something
// opened the other end, perhaps forever, so anything else is refused before
// it is opened. The command line also reads pipes (`<(...)`, /dev/stdin) and
// writes to pipes, character devices (/dev/null) and kStandardOutput.
enum class Streams { Refused, Accepted };

// Reads at most maxBytes from the start of the file into `bytes`. False, with
// `error` set, for a missing file, a folder, a file of a kind `streams` does
// not take, an unreadable file or an empty one.
bool readPrefix(const QString& path, qint64 maxBytes, QByteArray& bytes, QString& error,
                Streams streams = Streams::Refused);
// As readPrefix, but a file longer than maxBytes is refused with its size.
bool readWhole(const QString& path, qint64 maxBytes, QByteArray& bytes, QString& error,
               Streams streams = Streams::Refused);

// The path that writeAtomically takes for the standard output, with
// Streams::Accepted.
constexpr char kStandardOutput[] = "-";
// The path that the reads take for the standard input, with Streams::Accepted.
constexpr char kStandardInput[] = "-";

// True for kStandardOutput and for an existing character device or pipe:
// the outputs that writeAtomically writes as they are with Streams::Accepted,
// with no name of their own to check.
bool isStream(const QString& path);

// Replaces the file at `path` with `bytes` through a temporary file that is
// renamed over it only when everything was written: on any failure the old
// file (if any) is left exactly as it was and no partial file remains.
// Every byte is written and synced before the rename, so a full disk is a
// failure, not an empty file. A link is followed and stays a link; one that
// loops is refused with the system's reason. A writable file in a folder we
// may not write to is rewritten in place: a synced copy of its old bytes is
// kept in the user's cache folder meanwhile and they are put back on
// failure (the message names the copy when even that fails). With
// Streams::Accepted a character device or a pipe (and kStandardOutput) is
// written as it is. Anything else that is not a regular file is refused.
WriteResult writeAtomically(const QString& path, const QByteArray& bytes, Streams streams = Streams::Refused);

}  // namespace fileio
