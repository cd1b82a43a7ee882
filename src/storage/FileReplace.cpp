#include "storage/FileReplace.h"

#include "storage/FileNames.h"

#include <QCoreApplication>
#include <QRandomGenerator>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace filereplace {

namespace {

QString tr(const char* text) { return QCoreApplication::translate("fileio", text); }

QString systemReason(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

QByteArray folderOf(const QByteArray& path) {
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0) return QByteArrayLiteral(".");
    return slash == 0 ? QByteArrayLiteral("/") : path.left(slash);
}

QByteArray nameOf(const QByteArray& path) { return path.mid(path.lastIndexOf('/') + 1); }

// Every byte from `offset` on: 0, or the errno of the failure.
int writeAllAt(int fd, const QByteArray& bytes, off_t offset = 0) {
    const char* data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::pwrite(fd, data, size_t(left), offset);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return errno;
        if (n == 0) return EIO;
        data += n;
        left -= n;
        offset += n;
    }
    return 0;
}

int readAll(int fd, QByteArray& bytes) {
    char buffer[1 << 16];
    for (off_t offset = 0;;) {
        const ssize_t n = ::pread(fd, buffer, sizeof buffer, offset);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return errno;
        if (n == 0) return 0;
        bytes.append(buffer, n);
        offset += n;
    }
}

int syncAndClose(int fd) {
    int failure = ::fsync(fd) == 0 ? 0 : errno;
    if (::close(fd) != 0 && failure == 0) failure = errno;
    return failure;
}

// A rename is only safe on disk once the folder that holds it is synced.
int syncFolder(const QByteArray& folder) {
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return errno;
    // Some file systems cannot sync a folder, and say so with EINVAL.
    int failure = ::fsync(fd) == 0 || errno == EINVAL ? 0 : errno;
    ::close(fd);
    return failure;
}

// The file a write through `path` lands in, as QSaveFile finds it: links are
// followed so that they stay links, and one that leads nowhere names the file
// to make.
int followLinks(QByteArray& path) {
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(path.constData(), &st) != 0) return errno == ENOENT ? 0 : errno;
        if (!S_ISLNK(st.st_mode)) return 0;
        char target[PATH_MAX];
        const ssize_t n = ::readlink(path.constData(), target, sizeof target);
        if (n < 0) return errno;
        if (size_t(n) == sizeof target) return ENAMETOOLONG;
        QByteArray next(target, n);
        path = next.startsWith('/') ? next : folderOf(path) + '/' + next;
    }
    return ELOOP;
}

// A name in `folder` for the bytes on their way in, hidden and unlikely to be taken.
QByteArray hiddenName(const QByteArray& folder, const QByteArray& name) {
    return folder + "/." + name + '.' + QByteArray::number(QRandomGenerator::global()->generate(), 36);
}

// The new contents before they take the target's place: an unnamed file
// where the file system has them, else a hidden one beside the target.
struct Temporary {
    int fd = -1;
    QByteArray name;  // empty while it is unnamed

    ~Temporary() {
        if (fd >= 0) ::close(fd);
        if (!name.isEmpty()) ::unlink(name.constData());
    }

    int create(const QByteArray& folder, const QByteArray& target) {
        fd = ::open(folder.constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
        if (fd >= 0) return 0;
        if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) return errno;
        for (int attempt = 0; attempt < 100; ++attempt) {
            const QByteArray candidate = hiddenName(folder, nameOf(target));
            fd = ::open(candidate.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (fd >= 0) {
                name = candidate;
                return 0;
            }
            if (errno != EEXIST) return errno;
        }
        return EEXIST;
    }

    // Gives the written file the target's name: 0, or the errno.
    int commit(const QByteArray& folder, const QByteArray& target, bool targetExists) {
        if (name.isEmpty()) {
            const QByteArray self = "/proc/self/fd/" + QByteArray::number(fd);
            // A new file appears whole under its name or not at all.
            if (!targetExists) {
                if (::linkat(AT_FDCWD, self.constData(), AT_FDCWD, target.constData(), AT_SYMLINK_FOLLOW) == 0)
                    return 0;
                if (errno != EEXIST) return errno;
            }
            for (int attempt = 0; name.isEmpty(); ++attempt) {
                const QByteArray candidate = hiddenName(folder, nameOf(target));
                if (::linkat(AT_FDCWD, self.constData(), AT_FDCWD, candidate.constData(), AT_SYMLINK_FOLLOW) == 0)
                    name = candidate;
                else if (errno != EEXIST || attempt == 100)
                    return errno;
            }
        }
        if (::rename(name.constData(), target.constData()) != 0) return errno;
        name.clear();
        return 0;
    }
};

// The folder that holds the copies of files being rewritten in place.
QByteArray copiesFolder() {
    const char* cache = std::getenv("XDG_CACHE_HOME");
    if (cache && cache[0] == '/') return QByteArray(cache) + "/zindle";
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/') return QByteArray(home) + "/.cache/zindle";
    return QByteArray();
}

// Keeps the old bytes, synced, in the copies folder: the reason when that
// fails, with `copy` naming the file otherwise.
QString keepCopy(const QByteArray& old, const QByteArray& target, QByteArray& copy) {
    const QByteArray folder = copiesFolder();
    if (folder.isEmpty()) return tr("there is no home folder");
    if (!filenames::makeFolders(filenames::decode(folder), 0700)) return systemReason(errno);
    QByteArray name = folder + '/' + nameOf(target) + ".old-XXXXXX";
    const int fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0) return systemReason(errno);
    int failure = writeAllAt(fd, old);
    const int closed = syncAndClose(fd);
    if (failure == 0) failure = closed;
    if (failure == 0) failure = syncFolder(folder);
    if (failure != 0) {
        ::unlink(name.constData());
        return systemReason(failure);
    }
    copy = name;
    return QString();
}

// Makes the file hold exactly `bytes`, synced: 0, or the errno. The bytes
// go over the old ones before the file is cut to length, so that a full disk
// stops the write only past the old end.
int overwrite(int fd, const QByteArray& bytes) {
    if (const int failure = writeAllAt(fd, bytes)) return failure;
    if (::ftruncate(fd, off_t(bytes.size())) != 0) return errno;
    return ::fsync(fd) == 0 ? 0 : errno;
}

struct Descriptor {
    explicit Descriptor(int fd) : fd(fd) {}
    ~Descriptor() {
        if (fd >= 0) ::close(fd);
    }
    int fd;
};

}  // namespace

WriteResult replace(const QByteArray& path, const QByteArray& bytes) {
    QByteArray target = path;
    if (const int failure = followLinks(target))
        return WriteResult::failure(
            tr("The file cannot be written (%1); it was left as it is.").arg(systemReason(failure)));
    struct stat old {};
    const bool exists = ::stat(target.constData(), &old) == 0;
    if (exists && ::access(target.constData(), W_OK) != 0)
        return WriteResult::failure(tr("The file is read-only; it was left as it is."));
    const QByteArray folder = folderOf(target);

    Temporary temporary;
    if (const int failure = temporary.create(folder, target)) {
        // No file may be made beside it, but it may be written itself.
        if (failure == EACCES && exists && ::access(folder.constData(), W_OK) != 0)
            return rewriteInPlace(target, bytes);
        return WriteResult::failure(tr("The file cannot be created (%1).").arg(systemReason(failure)));
    }
    int failure = exists && ::fchmod(temporary.fd, old.st_mode & 0777) != 0 ? errno : 0;
    if (failure == 0) failure = writeAllAt(temporary.fd, bytes);
    if (failure == 0 && ::fsync(temporary.fd) != 0) failure = errno;
    if (failure != 0) return WriteResult::failure(tr("The file cannot be written (%1).").arg(systemReason(failure)));
    if (const int failed = temporary.commit(folder, target, exists))
        return WriteResult::failure(tr("The file cannot be completed (%1).").arg(systemReason(failed)));
    syncFolder(folder);  // the new file is in place either way
    return WriteResult::success();
}

WriteResult rewriteInPlace(const QByteArray& path, const QByteArray& bytes) {
    // Without blocking: a pipe that took the file's place is refused below.
    const Descriptor file(::open(path.constData(), O_RDWR | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (file.fd < 0) {
        const int failure = errno;
        return WriteResult::failure(tr("The file cannot be opened (%1).").arg(systemReason(failure)));
    }
    struct stat st {};
    if (::fstat(file.fd, &st) != 0 || !S_ISREG(st.st_mode))
        return WriteResult::failure(tr("It is not a regular file; it was left as it is."));
    QByteArray old;
    if (const int failure = readAll(file.fd, old))
        return WriteResult::failure(tr("The file cannot be read (%1).").arg(systemReason(failure)));

    QByteArray copy;
    const QString noCopy = keepCopy(old, path, copy);
    if (!noCopy.isEmpty())
        return WriteResult::failure(
            tr("No copy of its old contents could be kept in the cache folder (%1), so the file was left as it is.")
                .arg(noCopy));
    const int failure = overwrite(file.fd, bytes);
    if (failure == 0) {
        ::unlink(copy.constData());
        return WriteResult::success();
    }
    const int putBack = overwrite(file.fd, old);
    const QString reason = systemReason(failure);
    if (putBack == 0) {
        ::unlink(copy.constData());
        return WriteResult::failure(tr("The file cannot be written (%1); its old contents were put back.").arg(reason));
    }
    return WriteResult::failure(
        tr("The file cannot be written (%1), and its old contents could not be put back (%2); they are kept in %3.")
            .arg(reason, systemReason(putBack), filenames::decode(copy)));
}

}  // namespace filereplace
