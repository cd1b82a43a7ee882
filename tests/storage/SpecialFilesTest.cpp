// Files that are not regular files: pipes, devices, sockets and links that
// lead nowhere. The editor refuses them at once; the command line reads pipes
// and writes to pipes and character devices.

#include "GuardedFifo.h"
#include "TestFiles.h"
#include "core/RenderedSound.h"
#include "core/SoundModel.h"
#include "storage/FileIO.h"
#include "storage/SoundExport.h"
#include "storage/SoundFile.h"
#include "storage/ZdlFile.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <string>
#include <thread>
#include <utility>

namespace {

using namespace std::chrono_literals;

SoundSettings newSound() {
    SoundSettings s;
    s.resetToNew();
    return s;
}

// The type of what is at `path`, through links: S_IFIFO, S_IFCHR, ...
mode_t typeAt(const QString& path) {
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? (st.st_mode & S_IFMT) : 0;
}

// What a writer puts into the pipe until it closes it, read without waiting
// past the deadline.
QByteArray drainPipe(const QString& fifo) {
    const int fd = ::open(QFile::encodeName(fifo).constData(), O_RDONLY | O_NONBLOCK);
    QByteArray received;
    const auto until = std::chrono::steady_clock::now() + 10s;
    while (fd >= 0) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(until - std::chrono::steady_clock::now());
        pollfd p{fd, POLLIN, 0};
        // Until a writer has come and gone, the pipe reports no hang-up.
        if (left.count() <= 0 || ::poll(&p, 1, int(left.count())) <= 0) break;
        char buffer[4096];
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n > 0) received.append(buffer, n);
        if (n == 0 || (n < 0 && errno != EAGAIN)) break;
    }
    if (fd >= 0) ::close(fd);
    return received;
}

// A socket bound to `path` for as long as it lives.
struct BoundSocket {
    explicit BoundSocket(const QString& path) : fd(::socket(AF_UNIX, SOCK_STREAM, 0)) {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, QFile::encodeName(path).constData(), sizeof address.sun_path - 1);
        ok = fd >= 0 && ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    }
    ~BoundSocket() { ::close(fd); }
    int fd;
    bool ok = false;
};

// A special file of each kind in `dir`, named `name` where it can be.
struct SpecialFiles {
    explicit SpecialFiles(const QString& name)
        : fifoPath(dir.filePath(name)),
          fifo(fifoPath),
          socketPath(dir.filePath(QStringLiteral("s-") + name)),
          socket(socketPath) {}
    QTemporaryDir dir;
    QString fifoPath;
    GuardedFifo fifo;
    QString socketPath;
    BoundSocket socket;
};

}  // namespace

// Open, Open Recent, a drop and the command line of the editor all read
// through soundfile::read: a pipe would hold them until something wrote to
// it, so every kind of special file is refused before it is opened.
TEST(SpecialFiles, TheEditorsReadersRefuseThemAtOnce) {
    for (const char* name : {"pipe.zdl", "pipe.json", "pipe.efc"}) {
        SCOPED_TRACE(name);
        SpecialFiles files{QLatin1String(name)};
        ASSERT_TRUE(files.fifo.ok() && files.socket.ok);
        const struct {
            QString path;
            const char* kind;
        } cases[] = {
            {files.fifoPath, "a named pipe"},
            {QStringLiteral("/dev/zero"), "a character device"},
            {files.socketPath, "a socket"},
        };
        for (const auto& c : cases) {
            const ReadResult read = soundfile::read(c.path);
            EXPECT_FALSE(read.ok) << c.kind;
            EXPECT_EQ(read.error.toStdString(), "It is not a regular file: " + std::string(c.kind) + ".");
        }
        EXPECT_FALSE(files.fifo.opened());
    }
}

// Save, Save As and Export onto a special file: refused, and it stays.
TEST(SpecialFiles, TheEditorsWritersRefuseThemAndLeaveThemAsTheyAre) {
    SoundModel model;
    model.settings.resetToNew();
    model.applyAll();
    for (const char* name : {"pipe.zdl", "pipe.json", "pipe.wav", "pipe.flac"}) {
        SCOPED_TRACE(name);
        SpecialFiles files{QLatin1String(name)};
        ASSERT_TRUE(files.fifo.ok() && files.socket.ok);
        const struct {
            QString path;
            const char* kind;
            mode_t type;
        } cases[] = {
            {files.fifoPath, "a named pipe", S_IFIFO},
            {QStringLiteral("/dev/null"), "a character device", S_IFCHR},
            {files.socketPath, "a socket", S_IFSOCK},
        };
        for (const auto& c : cases) {
            const bool sound = QByteArray(name).endsWith("zdl") || QByteArray(name).endsWith("json");
            const WriteResult written =
                sound ? soundfile::write(c.path, model.settings)
                      : soundexport::write(c.path, model.rendered, 1, *soundexport::formatForPath(QLatin1String(name)));
            EXPECT_FALSE(written.ok) << c.kind;
            EXPECT_EQ(written.error.toStdString(),
                      "It is not a regular file: " + std::string(c.kind) + "; it was left as it is.");
            EXPECT_EQ(typeAt(c.path), c.type) << c.kind;
        }
        EXPECT_FALSE(files.fifo.opened());
    }
}

// A link that leads back to itself has no file to write: replacing the link
// with a regular file would be a surprise, so the system's reason is given.
TEST(SpecialFiles, ALinkThatLoopsIsRefusedWithTheSystemsReason) {
    QTemporaryDir dir;
    const QString a = dir.filePath(QStringLiteral("a.zdl"));
    const QString b = dir.filePath(QStringLiteral("b.zdl"));
    ASSERT_TRUE(QFile::link(b, a));
    ASSERT_TRUE(QFile::link(a, b));
    const QString reason = QString::fromLocal8Bit(std::strerror(ELOOP));
    const WriteResult written = zdl::write(a, newSound());
    EXPECT_FALSE(written.ok);
    EXPECT_TRUE(written.error.contains(reason)) << written.error.toStdString();
    EXPECT_EQ(QFileInfo(a).symLinkTarget(), b);
    EXPECT_EQ(QFileInfo(b).symLinkTarget(), a);
    const ReadResult read = zdl::read(a);
    EXPECT_FALSE(read.ok);
    EXPECT_TRUE(read.error.contains(reason)) << read.error.toStdString();
}

// The command line writes to pipes and devices as they are (a rename would
// put a regular file in their place); it reads pipes (see the tests of
// zindle-cli), and no other special file, /dev/zero included.
TEST(SpecialFiles, TheCommandLineWritesToPipesAndDevicesAndReadsNoDevice) {
    using fileio::Streams;
    SpecialFiles files{QStringLiteral("pipe.zdl")};
    ASSERT_TRUE(files.fifo.ok() && files.socket.ok);
    const QByteArray bytes = testfiles::qbytes(zdl::encode(newSound()));

    for (const auto& [path, kind] :
         {std::pair{QStringLiteral("/dev/zero"), "a character device"}, std::pair{files.socketPath, "a socket"}}) {
        const ReadResult refused = zdl::read(path, Streams::Accepted);
        EXPECT_EQ(refused.error.toStdString(), "It is not a regular file: " + std::string(kind) + ".");
    }

    QByteArray received;
    std::thread reader([&] { received = drainPipe(files.fifoPath); });
    EXPECT_TRUE(fileio::writeAtomically(files.fifoPath, bytes, Streams::Accepted).ok);
    reader.join();
    EXPECT_EQ(received, bytes);
    EXPECT_TRUE(fileio::writeAtomically(QStringLiteral("/dev/null"), bytes, Streams::Accepted).ok);
    const WriteResult written = fileio::writeAtomically(files.socketPath, bytes, Streams::Accepted);
    EXPECT_EQ(written.error.toStdString(), "It is not a regular file: a socket; it was left as it is.");
    EXPECT_EQ(typeAt(files.fifoPath), mode_t(S_IFIFO));
    EXPECT_EQ(typeAt(QStringLiteral("/dev/null")), mode_t(S_IFCHR));
    EXPECT_EQ(typeAt(files.socketPath), mode_t(S_IFSOCK));
    EXPECT_FALSE(files.fifo.opened()) << "a read or write hung until the deadline";
}
