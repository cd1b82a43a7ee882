#include "FileIO.h"
#include "FileSizeLimit.h"
#include "RenderedSound.h"
#include "SoundModel.h"
#include "TestFiles.h"
#include "WavExport.h"
#include "ZdlFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>
#include <functional>
#include <optional>
#include <thread>

namespace {

const QByteArray kOld("the old contents, which must survive");

SoundSettings newSound() {
    SoundSettings s;
    s.resetToNew();
    return s;
}

// Names the entries of a folder, to see that no temporary file is left.
QStringList entries(const QString& dir) {
    return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

}  // namespace

TEST(FileWrite, FailuresAreReportedAndLeaveNoTrace) {
    QTemporaryDir dir;
    const QString root = dir.path();
    ASSERT_TRUE(testfiles::writeFile(root + QStringLiteral("/plain"), kOld));
    ASSERT_TRUE(QDir(root).mkdir(QStringLiteral("taken.zdl")));
    const struct {
        const char* name;
        const char* path;
    } cases[] = {
        {"folder missing", "/no/such/folder/x.zdl"},
        {"parent is a regular file", "/plain/x.zdl"},
        {"target is a folder", "/taken.zdl"},
        {"empty name", ""},
    };
    for (const auto& c : cases) {
        const QStringList before = entries(root);
        const QString path = c.path[0] ? root + QLatin1String(c.path) : QString();
        const WriteResult written = zdl::write(path, newSound());
        EXPECT_FALSE(written.ok) << c.name;
        EXPECT_FALSE(written.error.isEmpty()) << c.name;
        EXPECT_EQ(entries(root), before) << c.name;
    }
    EXPECT_EQ(testfiles::readFile(root + QStringLiteral("/plain")), kOld);
    EXPECT_TRUE(QFileInfo(root + QStringLiteral("/taken.zdl")).isDir());
}

namespace {

// Runs `body` as an ordinary user: directly when we are one, in a child that
// drops to nobody when we are root. Returns its exit code, or -1 when no
// ordinary user can be had.
int asOrdinaryUser(const std::function<int()>& body, uid_t& uid) {
    if (geteuid() != 0) {
        uid = geteuid();
        return body();
    }
    uid = 65534;
    const pid_t child = fork();
    if (child < 0) return -1;
    if (child == 0) {
        if (setgid(65534) != 0 || setuid(65534) != 0) _exit(100);
        _exit(body());
    }
    int status = 0;
    if (waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status) == 100 ? -1 : WEXITSTATUS(status);
}

// A folder the user may not write to, holding a file that the user may.
struct LockedFolder {
    LockedFolder() {
        path = dir.filePath(QStringLiteral("boom.zdl"));
        testfiles::writeFile(path, kOld);
        const QByteArray file = QFile::encodeName(path);
        if (geteuid() == 0) {
            chown(file.constData(), 65534, 65534);
            chmod(QFile::encodeName(dir.path()).constData(), 0755);
        } else {
            chmod(QFile::encodeName(dir.path()).constData(), 0555);
        }
    }
    ~LockedFolder() { chmod(QFile::encodeName(dir.path()).constData(), 0700); }

    QTemporaryDir dir;
    QString path;
};

}  // namespace

TEST(FileWrite, AReadOnlyFileInALockedFolderIsKept) {
    LockedFolder folder;
    chmod(QFile::encodeName(folder.path).constData(), 0444);
    uid_t uid = 0;
    const int code = asOrdinaryUser(
        [&] {
            const WriteResult written = zdl::write(folder.path, newSound());
            return !written.ok && !written.error.isEmpty() ? 0 : 1;
        },
        uid);
    if (code == -1) GTEST_SKIP() << "no ordinary user to run as";
    EXPECT_EQ(code, 0) << "uid " << uid;
    EXPECT_EQ(testfiles::readFile(folder.path), kOld);
}

// A write that fails part way (here: over the file size limit, as on a full
// disk) is a failure and the old file stays whole, even for root.
TEST(FileWrite, AFailedWriteLeavesTheOldFileWhole) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("big.wav"));
    ASSERT_TRUE(testfiles::writeFile(path, kOld));
    const QStringList before = entries(dir.path());
    WriteResult written;
    {
        FileSizeLimit limit(1000);
        ASSERT_TRUE(limit.ok());
        written = fileio::writeAtomically(path, QByteArray(100000, 'x'));
    }
    EXPECT_FALSE(written.ok);
    EXPECT_FALSE(written.error.isEmpty());
    EXPECT_EQ(testfiles::readFile(path), kOld);
    EXPECT_EQ(entries(dir.path()), before);
}

TEST(FileWrite, AnExistingFileIsReplacedWhole) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("x"));
    ASSERT_TRUE(testfiles::writeFile(path, QByteArray(5000, 'a')));
    ASSERT_TRUE(fileio::writeAtomically(path, QByteArray("short")).ok);
    EXPECT_EQ(testfiles::readFile(path), QByteArray("short"));
    EXPECT_EQ(entries(dir.path()), QStringList{QStringLiteral("x")});
}

TEST(WavExport, WritesTheImageThatPlayWouldPlay) {
    QTemporaryDir dir;
    for (int bits : {8, 16}) {
        for (int repeats : {1, 3, 10}) {
            SoundModel model;
            model.settings.resetToNew();
            model.settings.bitsPerSample = bits;
            model.settings.repeatCount = repeats;
            model.applyAll();
            const QString path = dir.filePath(QStringLiteral("out%1-%2.wav").arg(bits).arg(repeats));
            ASSERT_TRUE(wavexport::write(path, model.rendered, repeats).ok);
            ASSERT_TRUE(model.play());
            const WavImage& played = model.rendered.playImage();
            const QByteArray file = testfiles::readFile(path);
            ASSERT_EQ(size_t(file.size()), played.size());
            EXPECT_EQ(std::memcmp(file.constData(), played.data(), played.size()), 0);
            EXPECT_EQ(size_t(file.size()), 44 + model.rendered.dataSize() * size_t(repeats));
        }
    }
}

TEST(WavExport, RepeatsAreLimitedAsPlayLimitsThem) {
    QTemporaryDir dir;
    SoundModel model;
    model.settings.resetToNew();
    model.applyAll();
    const size_t one = model.rendered.dataSize();
    const struct {
        int repeats;
        size_t copies;
    } cases[] = {{0, 1}, {-4, 1}, {11, 10}, {1000, 10}};
    for (const auto& c : cases) {
        const QString path = dir.filePath(QStringLiteral("r%1.wav").arg(c.repeats));
        ASSERT_TRUE(wavexport::write(path, model.rendered, c.repeats).ok);
        EXPECT_EQ(size_t(testfiles::readFile(path).size()), 44 + one * c.copies) << c.repeats;
    }
}

TEST(WavExport, NothingToExportIsAnErrorAndWritesNothing) {
    QTemporaryDir dir;
    RenderedSound empty;
    empty.setLength(0.0f, 0.0f);
    const QString path = dir.filePath(QStringLiteral("empty.wav"));
    const WriteResult written = wavexport::write(path, empty, 1);
    EXPECT_FALSE(written.ok);
    EXPECT_FALSE(QFile::exists(path));
}

namespace {

SoundModel longSound() {
    SoundModel model;
    model.settings.resetToNew();
    model.settings.length = 1.0f;
    model.settings.bitsPerSample = 16;
    model.applyAll();
    return model;
}

}  // namespace

// Small writes sit in Qt's buffer until the end; a failed flush there must
// not be renamed over the old file as if all were well.
TEST(FileWrite, EverySizeOfWriteFailsWholeOnAFullDisk) {
    const SoundModel big = longSound();
    const struct {
        const char* name;
        std::function<WriteResult(const QString&)> write;
    } cases[] = {
        {"a few bytes",
         [](const QString& p) { return fileio::writeAtomically(p, QByteArray("twenty-four bytes long!!")); }},
        {"a new sound's 138 bytes", [](const QString& p) { return zdl::write(p, newSound()); }},
        {"a large WAV", [&big](const QString& p) { return wavexport::write(p, big.rendered, 1); }},
    };
    for (const auto& c : cases) {
        for (rlim_t limit : {rlim_t(0), rlim_t(16)}) {
            SCOPED_TRACE(std::string(c.name) + ", limit " + std::to_string(limit));
            QTemporaryDir dir;
            const QString path = dir.filePath(QStringLiteral("old.zdl"));
            ASSERT_TRUE(testfiles::writeFile(path, kOld));
            const QStringList before = entries(dir.path());
            WriteResult written;
            {
                FileSizeLimit fsize(limit);
                ASSERT_TRUE(fsize.ok());
                written = c.write(path);
            }
            EXPECT_FALSE(written.ok);
            // The system's reason, not Qt's "Unknown error".
            EXPECT_TRUE(written.error.contains(QString::fromLocal8Bit(std::strerror(EFBIG))))
                << written.error.toStdString();
            EXPECT_EQ(testfiles::readFile(path), kOld);
            EXPECT_EQ(entries(dir.path()), before);
        }
    }
}

TEST(FileWrite, AWritableFileInALockedFolderIsRewrittenInPlace) {
    const QByteArray fresh = testfiles::qbytes(zdl::encode(newSound()));
    const struct {
        const char* name;
        QByteArray bytes;
        rlim_t limit;  // 0: none
        bool ok;
        QByteArray after;
    } cases[] = {
        {"the write succeeds", fresh, 0, true, fresh},
        {"the write fails part way", QByteArray(100000, 'x'), rlim_t(kOld.size() + 100), false, kOld},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        LockedFolder folder;
        uid_t uid = 0;
        const int code = asOrdinaryUser(
            [&] {
                // The folder really is closed to this user: nothing can be made beside the file.
                if (QFile(folder.dir.filePath(QStringLiteral("probe"))).open(QIODevice::WriteOnly)) return 3;
                std::optional<FileSizeLimit> fsize;
                if (c.limit) fsize.emplace(c.limit);
                const WriteResult written = fileio::writeAtomically(folder.path, c.bytes);
                if (written.ok != c.ok) return 1;
                if (!c.ok && !written.error.contains(QLatin1String("put back"))) return 2;
                return 0;
            },
            uid);
        if (code == -1) GTEST_SKIP() << "no ordinary user to run as";
        EXPECT_EQ(code, 0) << "uid " << uid;
        EXPECT_EQ(testfiles::readFile(folder.path), c.after);
        EXPECT_EQ(entries(folder.dir.path()), QStringList{QStringLiteral("boom.zdl")});
    }
}

// A device or a pipe is written as it is; a rename would put a regular file
// in its place.
TEST(FileWrite, DevicesAndPipesAreWrittenAndNeverReplaced) {
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("pipe"));
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QByteArray bytes = testfiles::qbytes(zdl::encode(newSound()));
    QByteArray received;
    std::thread reader([&] {
        QFile in(fifo);
        if (in.open(QIODevice::ReadOnly)) received = in.readAll();
    });
    EXPECT_TRUE(fileio::writeAtomically(fifo, bytes).ok);
    reader.join();
    EXPECT_EQ(received, bytes);

    EXPECT_TRUE(fileio::writeAtomically(QStringLiteral("/dev/null"), bytes).ok);
    struct stat st {};
    ASSERT_EQ(stat(QFile::encodeName(fifo).constData(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
    ASSERT_EQ(stat("/dev/null", &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode));

    // A socket is neither: refused, and left as it is.
    const QString socketPath = dir.filePath(QStringLiteral("sock"));
    const int s = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, QFile::encodeName(socketPath).constData(), sizeof address.sun_path - 1);
    ASSERT_EQ(bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    const WriteResult written = fileio::writeAtomically(socketPath, bytes);
    close(s);
    EXPECT_FALSE(written.ok);
    EXPECT_TRUE(written.error.contains(QLatin1String("not a regular file"))) << written.error.toStdString();
    ASSERT_EQ(stat(QFile::encodeName(socketPath).constData(), &st), 0);
    EXPECT_TRUE(S_ISSOCK(st.st_mode));
}

TEST(FileRead, AFileOverTheCapIsTooLargeNotShort) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("huge.zdl"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(testfiles::qbytes(zdl::encode(newSound()))), 138);
    ASSERT_TRUE(file.resize(zdl::kMaxFileBytes + 1));
    file.close();
    const ReadResult read = zdl::read(path);
    EXPECT_FALSE(read.ok);
    EXPECT_EQ(read.error, QStringLiteral("The file is too large: %1 bytes; at most %2.")
                              .arg(zdl::kMaxFileBytes + 1)
                              .arg(zdl::kMaxFileBytes));
    // At the cap it is read (the bytes after the record are ignored).
    ASSERT_TRUE(QFile::resize(path, zdl::kMaxFileBytes));
    EXPECT_TRUE(zdl::read(path).ok);
}
