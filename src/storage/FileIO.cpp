#include "storage/FileIO.h"

#include "storage/FileNames.h"
#include "storage/FileReplace.h"

#include <QCoreApplication>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <cstring>

namespace fileio {

namespace {

QString tr(const char* text) { return QCoreApplication::translate("fileio", text); }

QString systemReason(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

QString kindOf(mode_t mode) {
    if (S_ISFIFO(mode)) return tr("a named pipe");
    if (S_ISCHR(mode)) return tr("a character device");
    if (S_ISBLK(mode)) return tr("a block device");
    if (S_ISSOCK(mode)) return tr("a socket");
    return tr("a special file");
}

// What was opened for a read.
struct Opened {
    int fd = -1;
    bool regular = false;
    qint64 size = 0;
};

// Opens a file of a kind `streams` takes, or says why not. Its type is known
// before it is opened, so that a pipe the caller does not take is never
// opened (that would block); a regular file is opened without blocking and
// checked again, in case a pipe took its place meanwhile. A pipe the command
// line reads is opened as it is: it waits for its writer.
bool openForReading(const QString& path, Streams streams, Opened& opened, QString& error) {
    if (streams == Streams::Accepted && path == QLatin1String(kStandardInput)) {
        // A copy, so that closing it after the read leaves the standard input as it was.
        const int fd = ::fcntl(STDIN_FILENO, F_DUPFD_CLOEXEC, 0);
        struct stat st {};
        if (fd < 0 || ::fstat(fd, &st) != 0) {
            const int e = errno;
            if (fd >= 0) ::close(fd);
            error = tr("The standard input cannot be read (%1).").arg(systemReason(e));
            return false;
        }
        opened = Opened{fd, S_ISREG(st.st_mode), qint64(st.st_size)};
        return true;
    }
    const QByteArray name = filenames::encode(path);
    struct stat st {};
    if (::stat(name.constData(), &st) != 0) {
        const int e = errno;
        error = e == ENOENT || e == ENOTDIR ? tr("The file does not exist.")
                                            : tr("The file cannot be opened (%1).").arg(systemReason(e));
        return false;
    }
    if (S_ISDIR(st.st_mode)) {
        error = tr("It is a folder, not a file.");
        return false;
    }
    const bool pipe = streams == Streams::Accepted && S_ISFIFO(st.st_mode);
    if (!S_ISREG(st.st_mode) && !pipe) {
        error = tr("It is not a regular file: %1.").arg(kindOf(st.st_mode));
        return false;
    }
    const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | (pipe ? 0 : O_NONBLOCK));
    if (fd < 0) {
        const int e = errno;
        error = tr("The file cannot be opened (%1).").arg(systemReason(e));
        return false;
    }
    if (::fstat(fd, &st) != 0 || !(S_ISREG(st.st_mode) || (pipe && S_ISFIFO(st.st_mode)))) {
        ::close(fd);
        error = tr("It is not a regular file: %1.").arg(kindOf(st.st_mode));
        return false;
    }
    opened = Opened{fd, S_ISREG(st.st_mode), qint64(st.st_size)};
    return true;
}

// Reads until the end or maxBytes: 0, or the errno of the failure.
int readUpTo(int fd, qint64 maxBytes, QByteArray& data) {
    constexpr qint64 kChunk = 1 << 16;
    while (data.size() < maxBytes) {
        const qsizetype at = data.size();
        const qsizetype chunk = qsizetype(std::min(maxBytes - at, kChunk));
        data.resize(at + chunk);
        const ssize_t n = ::read(fd, data.data() + at, size_t(chunk));
        const int e = errno;
        data.resize(at + std::max<ssize_t>(n, 0));
        if (n < 0 && e == EINTR) continue;
        if (n < 0) return e;
        if (n == 0) break;
    }
    return 0;
}

// The whole read; `opened` says what was read.
bool readFrom(const QString& path, qint64 maxBytes, Streams streams, QByteArray& bytes, QString& error,
              Opened& opened) {
    if (!openForReading(path, streams, opened, error)) return false;
    QByteArray data;
    if (opened.regular) data.reserve(qsizetype(std::min(opened.size, maxBytes)));
    const int failure = readUpTo(opened.fd, maxBytes, data);
    ::close(opened.fd);
    if (failure != 0) {
        error = tr("The file cannot be read (%1).").arg(systemReason(failure));
        return false;
    }
    if (data.isEmpty()) {
        error = tr("The file is empty.");
        return false;
    }
    bytes = std::move(data);
    return true;
}

// Every byte through write(): a pipe has no offsets. 0, or the errno.
int writeAll(int fd, const QByteArray& bytes) {
    const char* data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, data, size_t(left));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return errno;
        if (n == 0) return EIO;
        data += n;
        left -= n;
    }
    return 0;
}

// A device or a pipe cannot be replaced by a rename (that would put a regular
// file where /dev/null was): it is written as it is.
WriteResult writeToStream(const QByteArray& name, const QByteArray& bytes) {
    const int fd = ::open(name.constData(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
    const int e = errno;
    if (fd < 0) return WriteResult::failure(tr("The output cannot be opened (%1).").arg(systemReason(e)));
    const int failure = writeAll(fd, bytes);
    ::close(fd);
    if (failure != 0) return WriteResult::failure(tr("The output cannot be written (%1).").arg(systemReason(failure)));
    return WriteResult::success();
}

WriteResult writeToStandardOutput(const QByteArray& bytes) {
    const int failure = writeAll(STDOUT_FILENO, bytes);
    if (failure != 0)
        return WriteResult::failure(tr("The standard output cannot be written (%1).").arg(systemReason(failure)));
    return WriteResult::success();
}

}  // namespace

bool readPrefix(const QString& path, qint64 maxBytes, QByteArray& bytes, QString& error, Streams streams) {
    Opened opened;
    return readFrom(path, maxBytes, streams, bytes, error, opened);
}

bool readWhole(const QString& path, qint64 maxBytes, QByteArray& bytes, QString& error, Streams streams) {
    // One byte more than allowed tells a file over the limit from one at it.
    Opened opened;
    if (!readFrom(path, maxBytes + 1, streams, bytes, error, opened)) return false;
    if (bytes.size() <= maxBytes) return true;
    bytes.clear();
    // A pipe has no size to tell.
    if (!opened.regular) {
        error = tr("The file is too large: more than %1 bytes.").arg(maxBytes);
        return false;
    }
    error = tr("The file is too large: %1 bytes; at most %2.").arg(std::max(opened.size, maxBytes + 1)).arg(maxBytes);
    return false;
}

bool isStream(const QString& path) {
    if (path == QLatin1String(kStandardOutput)) return true;
    struct stat st {};
    if (::stat(filenames::encode(path).constData(), &st) != 0) return false;
    return S_ISCHR(st.st_mode) || S_ISFIFO(st.st_mode);
}

WriteResult writeAtomically(const QString& path, const QByteArray& bytes, Streams streams) {
    const bool streamsToo = streams == Streams::Accepted;
    if (streamsToo && path == QLatin1String(kStandardOutput)) return writeToStandardOutput(bytes);
    const QByteArray name = filenames::encode(path);
    if (name.isEmpty()) return WriteResult::failure(tr("The file has no name."));
    struct stat st {};
    const int found = ::stat(name.constData(), &st) == 0 ? 0 : errno;
    if (found == 0) {
        if (S_ISDIR(st.st_mode)) return WriteResult::failure(tr("A folder of that name is in the way."));
        if (streamsToo && (S_ISCHR(st.st_mode) || S_ISFIFO(st.st_mode))) return writeToStream(name, bytes);
        if (!S_ISREG(st.st_mode))
            return WriteResult::failure(
                tr("It is not a regular file: %1; it was left as it is.").arg(kindOf(st.st_mode)));
    } else if (found != ENOENT) {
        // A link that loops, a folder on the way that is a file, ...
        return WriteResult::failure(
            tr("The file cannot be written (%1); it was left as it is.").arg(systemReason(found)));
    }
    return filereplace::replace(name, bytes);
}

}  // namespace fileio
