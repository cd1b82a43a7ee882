#pragma once

#include <QString>
#include <QtGlobal>

#include <memory>

class QSettings;

// The editor's settings file: the recent files, the last folder, the Play
// menu's ticks and Generate > Keep's, kept between runs as an INI file.
namespace editor_settings {

// The editor writes a few hundred bytes. A file past this is none of ours,
// and Qt would take seconds and hundreds of MB to parse it.
constexpr qint64 kMostBytes = 1024 * 1024;

// ~/.config/zindle/zindle.ini, or the same under $XDG_CONFIG_HOME.
QString userFile();

// The settings kept in `path`. A file over kMostBytes is not read: like a
// damaged one it gives no values and the status FormatError, it is left as
// it is, and the first change stored writes a new file in its place holding
// what this run keeps. Anything but a regular file (a named pipe) is never
// opened: this run's settings are kept in a scratch file and forgotten.
std::unique_ptr<QSettings> open(const QString& path);

}  // namespace editor_settings
