// A writable file in a folder the user may not write to: no temporary file
// can be made beside it, so it is rewritten in place, with a copy of its old
// bytes kept in the user's cache folder until the new ones are safe.

#include "FileSizeLimit.h"
#include "TestFiles.h"
#include "core/SoundModel.h"
#include "storage/FileIO.h"
#include "storage/ZdlFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <linux/audit.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#include <cerrno>
#include <csignal>
#include <cstddef>
#include <cstdlib>
#include <functional>
#include <iterator>
#include <optional>

namespace {

const QByteArray kOld("the old contents, which must survive");

QStringList entries(const QString& dir) {
    return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

constexpr uid_t kNobody = 65534;

// Runs `body` in a child process as an ordinary user (nobody, when we are
// root). Returns its exit code, 128 + the signal that ended it, or -1 when no
// ordinary user can be had.
int asOrdinaryUser(const std::function<int()>& body, uid_t& uid) {
    uid = geteuid() == 0 ? kNobody : geteuid();
    const pid_t child = fork();
    if (child < 0) return -1;
    if (child == 0) {
        if (geteuid() == 0 && (setgid(kNobody) != 0 || setuid(kNobody) != 0)) _exit(100);
        _exit(body());
    }
    int status = 0;
    if (waitpid(child, &status, 0) != child) return -1;
    if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
    return WEXITSTATUS(status) == 100 ? -1 : WEXITSTATUS(status);
}

// A folder the user may not write to, holding a file that the user may, and
// a scratch cache folder for the copies.
struct LockedFolder {
    LockedFolder() {
        path = dir.filePath(QStringLiteral("boom.zdl"));
        testfiles::writeFile(path, kOld);
        const QByteArray file = QFile::encodeName(path);
        if (geteuid() == 0) {
            chown(file.constData(), kNobody, kNobody);
            chmod(QFile::encodeName(dir.path()).constData(), 0755);
            chown(QFile::encodeName(cache.path()).constData(), kNobody, kNobody);
        } else {
            chmod(QFile::encodeName(dir.path()).constData(), 0555);
        }
    }
    ~LockedFolder() { chmod(QFile::encodeName(dir.path()).constData(), 0700); }

    // Where the copies go: in the child only, so the test's own cache is never touched.
    void useCache(const QString& folder) const { setenv("XDG_CACHE_HOME", QFile::encodeName(folder).constData(), 1); }
    QString copies() const { return cache.filePath(QStringLiteral("zindle")); }

    QTemporaryDir dir;
    QTemporaryDir cache;
    QString path;
};

// Every later ftruncate() of this process fails with EIO, as on a failing
// disk: the put-back, which truncates the file to its old length, then fails.
bool failTruncation() {
#if defined(__x86_64__) || defined(__aarch64__)
#if defined(__x86_64__)
    constexpr __u32 arch = AUDIT_ARCH_X86_64;
#else
    constexpr __u32 arch = AUDIT_ARCH_AARCH64;
#endif
    sock_filter filter[] = {
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, arch)),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, arch, 1, 0),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_ftruncate, 0, 1),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | EIO),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
    };
    sock_fprog program{static_cast<unsigned short>(std::size(filter)), filter};
    return prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0 && prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) == 0;
#else
    return false;
#endif
}

SoundSettings newSound() {
    SoundSettings s;
    s.resetToNew();
    return s;
}

}  // namespace

TEST(InPlaceWrite, AReadOnlyFileInALockedFolderIsKept) {
    LockedFolder folder;
    chmod(QFile::encodeName(folder.path).constData(), 0444);
    uid_t uid = 0;
    const int code = asOrdinaryUser(
        [&] {
            folder.useCache(folder.cache.path());
            const WriteResult written = zdl::write(folder.path, newSound());
            return !written.ok && !written.error.isEmpty() ? 0 : 1;
        },
        uid);
    if (code == -1) GTEST_SKIP() << "no ordinary user to run as";
    EXPECT_EQ(code, 0) << "uid " << uid;
    EXPECT_EQ(testfiles::readFile(folder.path), kOld);
}

TEST(InPlaceWrite, TheOldBytesAreKeptUntilTheNewOnesAreSafe) {
    const QByteArray fresh = testfiles::qbytes(zdl::encode(newSound()));
    const QByteArray large(100000, 'x');
    enum class Fault { None, FileSizeLimit, NoCache, PutBackFails };
    const struct {
        const char* name;
        QByteArray bytes;
        Fault fault;
        bool ok;
        const char* says;  // part of the message on failure
        QByteArray after;  // the file's bytes afterwards, unless null
        bool copyKept;     // a copy of the old bytes is left in the cache
    } cases[] = {
        {"the write succeeds", fresh, Fault::None, true, "", fresh, false},
        {"the write fails part way and the old bytes are put back", large, Fault::FileSizeLimit, false,
         "its old contents were put back", kOld, false},
        {"no copy can be kept, so nothing is written", large, Fault::NoCache, false, "No copy", kOld, false},
        {"the put-back fails too: the message names the copy", large, Fault::PutBackFails, false, "they are kept in",
         QByteArray(), true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        LockedFolder folder;
        QString message;
        uid_t uid = 0;
        const int code = asOrdinaryUser(
            [&] {
                // The folder really is closed to this user: nothing can be made beside the file.
                if (QFile(folder.dir.filePath(QStringLiteral("probe"))).open(QIODevice::WriteOnly)) return 3;
                // A file where the cache folder would be.
                const QString blocked = folder.cache.filePath(QStringLiteral("file"));
                if (c.fault == Fault::NoCache && !testfiles::writeFile(blocked, kOld)) return 4;
                folder.useCache(c.fault == Fault::NoCache ? blocked : folder.cache.path());
                std::optional<FileSizeLimit> fsize;
                if (c.fault != Fault::None && c.fault != Fault::NoCache) fsize.emplace(rlim_t(kOld.size() + 100));
                if (c.fault == Fault::PutBackFails && !failTruncation()) return 5;
                const WriteResult written = fileio::writeAtomically(folder.path, c.bytes);
                if (written.ok != c.ok) return 1;
                if (!c.ok && !written.error.contains(QLatin1String(c.says))) return 2;
                if (c.copyKept) {
                    const QStringList kept = entries(folder.copies());
                    if (kept.size() != 1) return 6;
                    if (!written.error.contains(QDir(folder.copies()).filePath(kept.first()))) return 7;
                }
                return 0;
            },
            uid);
        if (code == -1) GTEST_SKIP() << "no ordinary user to run as";
        if (code == 5) GTEST_SKIP() << "no seccomp filter can be set here";
        EXPECT_EQ(code, 0) << "uid " << uid;
        if (!c.after.isNull()) {
            EXPECT_EQ(testfiles::readFile(folder.path), c.after);
        }
        EXPECT_EQ(entries(folder.dir.path()), QStringList{QStringLiteral("boom.zdl")});
        const QStringList kept = entries(folder.copies());
        if (c.copyKept) {
            ASSERT_EQ(kept.size(), 1);
            EXPECT_EQ(testfiles::readFile(QDir(folder.copies()).filePath(kept.first())), kOld);
        } else {
            EXPECT_TRUE(kept.isEmpty()) << kept.join(QLatin1Char(' ')).toStdString();
        }
    }
}

// Killed in the middle of the write (here by the signal of the file size
// limit, left at its default), the process leaves a cut-off file; the old
// bytes are still there, in the cache.
TEST(InPlaceWrite, AKillPartWayLeavesTheOldBytesInTheCache) {
    LockedFolder folder;
    uid_t uid = 0;
    const int code = asOrdinaryUser(
        [&] {
            folder.useCache(folder.cache.path());
            std::signal(SIGXFSZ, SIG_DFL);
            rlimit limit{};
            getrlimit(RLIMIT_FSIZE, &limit);
            limit.rlim_cur = rlim_t(kOld.size() + 100);
            if (setrlimit(RLIMIT_FSIZE, &limit) != 0) return 1;
            fileio::writeAtomically(folder.path, QByteArray(100000, 'x'));
            return 2;
        },
        uid);
    if (code == -1) GTEST_SKIP() << "no ordinary user to run as";
    ASSERT_EQ(code, 128 + SIGXFSZ) << "uid " << uid;
    const QStringList kept = entries(folder.copies());
    ASSERT_EQ(kept.size(), 1) << kept.join(QLatin1Char(' ')).toStdString();
    EXPECT_EQ(testfiles::readFile(QDir(folder.copies()).filePath(kept.first())), kOld);
}
