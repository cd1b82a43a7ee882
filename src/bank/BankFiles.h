#pragma once

#include <QString>

// Names and copies of a bank's files: the checks behind the panel's Rename,
// Duplicate and New Sound in Bank. Nothing here replaces a file.
namespace bank_files {

// The path in `folder` that a typed name stands for: `suffix` ("zdl") is
// added unless the name ends in a sound file's own. Empty, with `error`
// saying why, for a name that is empty, holds a '/', is "." or "..", or
// names a file that exists.
QString pathForName(const QString& folder, const QString& typed, const QString& suffix, QString& error);

// The first free "NAME_2.zdl", "NAME_3.zdl", ... beside `path`; a name that
// already ends in "_N" counts on from its stem ("coin_2" gives "coin_3").
QString duplicatePath(const QString& path);

// A byte-for-byte copy of `from` at `to`, which must not exist; false with
// the reason otherwise.
bool copy(const QString& from, const QString& to, QString& error);

// Renames `from` to `to`, which must not exist; false with the reason.
bool rename(const QString& from, const QString& to, QString& error);

}  // namespace bank_files
