#pragma once

#include <QString>
#include <QStringList>

// A folder taken as a set of sounds: the files in it with a sound file's
// extension (.zdl, .json, .efc in any case), sorted by name.
namespace soundfolder {

// True when the name's extension is a sound file's.
bool isSoundName(const QString& path);

// The paths of the folder's sound files in name_order (the bank's order). An unreadable or missing folder gives nothing
// and the reason in `error`; a readable folder with no sounds gives nothing and no error.
QStringList soundFiles(const QString& folder, QString* error);

}  // namespace soundfolder
