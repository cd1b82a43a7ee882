#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <sys/types.h>

#include <optional>

// File names as the system holds them: bytes, which need not be UTF-8. Qt
// turns every byte that is not UTF-8 into U+FFFD, so that such a name can be
// neither opened nor written through it. Here each such byte b is kept as the
// unpaired surrogate U+DC00 + b, which encode() turns back into b: any name
// the system accepts survives the trip through a QString. Every file the
// readers and writers of fileio touch is named through encode().
namespace filenames {

QString decode(const QByteArray& bytes);
QByteArray encode(const QString& name);

// The command line, program first, each argument decoded as above.
QStringList arguments(int argc, const char* const* argv);

// Device and inode: two names of one file (hard links included) have the same.
struct FileId {
    dev_t device = 0;
    ino_t inode = 0;
    bool operator==(const FileId& other) const { return device == other.device && inode == other.inode; }
};
// The file at `path` through links; nothing when there is none.
std::optional<FileId> idOf(const QString& path);

// The path with every link and "." or ".." resolved as far as the file or
// its folder exists: two spellings of one place give the same text.
QString resolved(const QString& path);

// Anything at `path`, a link that leads nowhere included.
bool exists(const QString& path);
bool isFolder(const QString& path);
// Makes the folder and its parents; true when it is there afterwards.
bool makeFolders(const QString& path, mode_t mode = 0777);

}  // namespace filenames
