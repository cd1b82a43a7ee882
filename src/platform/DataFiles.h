#pragma once

#include <QString>
#include <QStringList>

// Finds the files the editor reads beside its sounds: the manual and the
// About sound. A copy in the start directory wins, so a user can put their
// own in place; otherwise the installed copy is used, or, for a program run
// from its build tree, the copy the build made.
namespace data_files {

inline const QString kManual = QStringLiteral("Zindle.html");
inline const QString kAboutSound = QStringLiteral("About.wav");

// The data directory chosen when the program was configured
// (<prefix>/share/zindle).
QString configuredDirectory();

// The build tree's data folder (the About sound and a copy of the manual),
// ending in '/', when the running program lies in the build tree it was
// built in; empty otherwise, so that an installed program never reads it.
QString buildTreeDirectory();

// Where to look, in order: the start directory, share/zindle beside the
// running program's bin/ (an install moved to another prefix), the build
// tree's data folder, the configured data directory. Duplicates are dropped;
// each ends in '/'.
QStringList searchDirectories(const QString& startDirectory);

// The first regular, readable file called `name` in `directories`; empty when
// there is none.
QString find(const QString& name, const QStringList& directories);

}  // namespace data_files
