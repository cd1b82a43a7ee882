#include "FileIO.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>

namespace fileio {

namespace {

QString tr(const char* text) { return QCoreApplication::translate("fileio", text); }

// Qt's own text for a failed write is often just "Unknown error"; the
// system's reason ("No space left on device") is the one a user can act on.
QString reasonOf(const QFileDevice& file, int systemError) {
    const QString qtReason = file.errorString();
    const bool vague = qtReason.isEmpty() || qtReason == QLatin1String("Unknown error");
    if (vague && systemError != 0) return QString::fromLocal8Bit(std::strerror(systemError));
    return qtReason;
}

// Writes everything and pushes it out of Qt's buffer, reporting the first
// failure. A flush that is not checked hides a full disk for small files.
QString writeAndFlush(QFileDevice& file, const QByteArray& bytes) {
    errno = 0;
    if (file.write(bytes) != bytes.size()) return reasonOf(file, errno);
    errno = 0;
    if (!file.flush() || file.error() != QFileDevice::NoError) return reasonOf(file, errno);
    return QString();
}

// What is at `path` already, as stat() sees it through links.
enum class Target { None, Regular, Folder, Stream, Other };

Target targetAt(const QString& path) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0) return Target::None;
    if (S_ISREG(st.st_mode)) return Target::Regular;
    if (S_ISDIR(st.st_mode)) return Target::Folder;
    if (S_ISCHR(st.st_mode) || S_ISFIFO(st.st_mode)) return Target::Stream;
    return Target::Other;
}

WriteResult finishStream(QFile& file, const QByteArray& bytes) {
    const QString reason = writeAndFlush(file, bytes);
    if (!reason.isEmpty()) return WriteResult::failure(tr("The output cannot be written (%1).").arg(reason));
    return WriteResult::success();
}

// A device or a pipe cannot be replaced by a rename (that would put a regular
// file where /dev/null was): it is written as it is.
WriteResult writeToStream(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return WriteResult::failure(tr("The output cannot be opened (%1).").arg(file.errorString()));
    return finishStream(file, bytes);
}

WriteResult writeToStandardOutput(const QByteArray& bytes) {
    QFile file;
    if (!file.open(STDOUT_FILENO, QIODevice::WriteOnly | QIODevice::Unbuffered, QFileDevice::DontCloseHandle))
        return WriteResult::failure(tr("The standard output cannot be written (%1).").arg(file.errorString()));
    return finishStream(file, bytes);
}

bool folderIsWritable(const QString& path) {
    const QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
    return ::access(folder.constData(), W_OK) == 0;
}

bool fileIsWritable(const QString& path) { return ::access(QFile::encodeName(path).constData(), W_OK) == 0; }

// The fallback for a writable file in a folder we may not write to, where no
// temporary file can be made beside it: the file is rewritten in place with
// its old bytes held in memory, and they are put back if the write fails.
WriteResult writeInPlace(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return WriteResult::failure(tr("The file cannot be opened (%1).").arg(file.errorString()));
    const QByteArray old = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return WriteResult::failure(tr("The file cannot be read (%1).").arg(file.errorString()));
    file.close();

    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return WriteResult::failure(tr("The file cannot be opened for writing (%1).").arg(file.errorString()));
    QString reason = writeAndFlush(file, bytes);
    if (reason.isEmpty() && ::fsync(file.handle()) != 0) reason = QString::fromLocal8Bit(std::strerror(errno));
    if (reason.isEmpty()) return WriteResult::success();

    file.close();
    QString restored;
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        restored = file.errorString();
    else
        restored = writeAndFlush(file, old);
    if (restored.isEmpty())
        return WriteResult::failure(tr("The file cannot be written (%1); its old contents were put back.").arg(reason));
    return WriteResult::failure(
        tr("The file cannot be written (%1), and its old contents could not be put back (%2).").arg(reason, restored));
}

}  // namespace

bool readPrefix(const QString& path, qint64 maxBytes, QByteArray& bytes, QString& error) {
    const QFileInfo info(path);
    if (!info.exists()) {
        error = tr("The file does not exist.");
        return false;
    }
    if (info.isDir()) {
        error = tr("It is a folder, not a file.");
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = tr("The file cannot be opened (%1).").arg(file.errorString());
        return false;
    }
    QByteArray data = file.read(maxBytes);
    if (file.error() != QFileDevice::NoError) {
        error = tr("The file cannot be read (%1).").arg(file.errorString());
        return false;
    }
    if (data.isEmpty()) {
        error = tr("The file is empty.");
        return false;
    }
    bytes = std::move(data);
    return true;
}

bool readWhole(const QString& path, qint64 maxBytes, QByteArray& bytes, QString& error) {
    // One byte more than allowed tells a file over the limit from one at it.
    if (!readPrefix(path, maxBytes + 1, bytes, error)) return false;
    if (bytes.size() <= maxBytes) return true;
    const qint64 size = QFileInfo(path).size();
    bytes.clear();
    error = tr("The file is too large: %1 bytes; at most %2.").arg(std::max(size, maxBytes + 1)).arg(maxBytes);
    return false;
}

bool isStream(const QString& path) {
    return path == QLatin1String(kStandardOutput) || targetAt(path) == Target::Stream;
}

WriteResult writeAtomically(const QString& path, const QByteArray& bytes) {
    if (path == QLatin1String(kStandardOutput)) return writeToStandardOutput(bytes);
    switch (targetAt(path)) {
    case Target::Folder: return WriteResult::failure(tr("A folder of that name is in the way."));
    case Target::Stream: return writeToStream(path, bytes);
    case Target::Other: return WriteResult::failure(tr("It is not a regular file; it was left as it is."));
    case Target::None:
    case Target::Regular: break;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        const QString reason = file.errorString();
        if (targetAt(path) == Target::Regular && fileIsWritable(path) && !folderIsWritable(path))
            return writeInPlace(path, bytes);
        return WriteResult::failure(tr("The file cannot be created (%1).").arg(reason));
    }
    const QString reason = writeAndFlush(file, bytes);
    if (!reason.isEmpty()) {
        file.cancelWriting();
        return WriteResult::failure(tr("The file cannot be written (%1).").arg(reason));
    }
    // commit() syncs and renames; a late failure of the disk shows up here.
    errno = 0;
    if (!file.commit())
        return WriteResult::failure(tr("The file cannot be completed (%1).").arg(reasonOf(file, errno)));
    return WriteResult::success();
}

}  // namespace fileio
