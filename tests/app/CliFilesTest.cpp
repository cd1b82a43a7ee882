// zindle-cli and the files the system allows: pipes it reads, devices it
// does not, and names that are bytes rather than UTF-8.
#include "CliFixture.h"

#include <QByteArrayList>

#include <gtest/gtest.h>

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>
#include <algorithm>

namespace {

// The names in a folder as the system holds them.
QByteArrayList rawEntries(const QByteArray& folder) {
    QByteArrayList names;
    DIR* d = ::opendir(folder.constData());
    if (!d) return names;
    while (const dirent* e = ::readdir(d)) {
        const QByteArray name(e->d_name);
        if (name != "." && name != "..") names << name;
    }
    ::closedir(d);
    std::sort(names.begin(), names.end());
    return names;
}

bool writeRaw(const QByteArray& path, const QByteArray& bytes) {
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL, 0644);
    if (fd < 0) return false;
    const bool ok = ::write(fd, bytes.constData(), size_t(bytes.size())) == bytes.size();
    return ::close(fd) == 0 && ok;
}

class CliFiles : public Cli {
protected:
    // Runs a shell line in the temporary folder, with "$0" the tool.
    Outcome shell(const char* line) { return start(QStringLiteral("bash"), {q("-c"), q(line), kCli}); }
    QByteArray raw(const QByteArray& name) const { return QFile::encodeName(dir.path()) + '/' + name; }
};

}  // namespace

// Process substitution, a pipe on the standard input and a named pipe are
// read as they are; a device that is not a pipe is refused, not read.
TEST_F(CliFiles, PipesAreReadAndOtherDevicesRefused) {
    copy("new.zdl");
    const char* pipes[] = {
        "exec \"$0\" info <(cat new.zdl)",
        "cat new.zdl | \"$0\" info /dev/stdin",
        "mkfifo named.zdl && { cat new.zdl > named.zdl & } && \"$0\" info named.zdl",
    };
    for (const char* line : pipes) {
        const Outcome r = shell(line);
        EXPECT_EQ(r.status, 0) << line << ": " << r.err.toStdString();
        EXPECT_TRUE(r.out.contains(QLatin1String("  version: 1001\n"))) << line << ": " << r.out.toStdString();
        QFile::remove(path("named.zdl"));
    }
    const Outcome r = run({q("render"), q("/dev/zero"), q("-o"), q("zero.wav")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err.toStdString(), "zindle-cli: /dev/zero: It is not a regular file: a character device.\n");
    EXPECT_EQ(entries(dir.path()), QStringList{q("new.zdl")});
}

// Names that are not UTF-8 reach the file system byte for byte, as inputs,
// as outputs and as -d folders.
TEST_F(CliFiles, ANameThatIsNotUtf8IsUsedByteForByte) {
    ASSERT_TRUE(writeRaw(raw("caf\xff.zdl"), contents(kSounds + q("new.zdl"))));
    const struct {
        const char* line;
        QByteArrayList written;
    } cases[] = {
        {"exec \"$0\" info $'caf\\xff.zdl'", {}},
        {"exec \"$0\" render $'caf\\xff.zdl'", {"caf\xff.wav"}},
        {"exec \"$0\" render $'caf\\xff.zdl' -o $'out\\xfe.wav'", {"out\xfe.wav"}},
        {"exec \"$0\" render $'caf\\xff.zdl' -d $'d\\xff'", {"d\xff/caf\xff.wav"}},
        {"exec \"$0\" render $'caf\\xff.zdl' --variants 2 -d $'v\\xff'",
         {"v\xff/caf\xff_001.wav", "v\xff/caf\xff_002.wav"}},
        {"exec \"$0\" convert $'caf\\xff.zdl' --to json", {"caf\xff.json"}},
        {"exec \"$0\" convert $'caf\\xff.zdl' -o $'c\\xff.zdl'", {"c\xff.zdl"}},
        {"exec \"$0\" generate coin --count 2 -d $'g\\xff'", {"g\xff/coin_001.zdl", "g\xff/coin_002.zdl"}},
        {"exec \"$0\" mutate $'caf\\xff.zdl' -d $'m\\xff'", {"m\xff/caf\xff_001.zdl"}},
        {"exec \"$0\" new -o $'n\\xff.json'", {"n\xff.json"}},
    };
    for (const auto& c : cases) {
        const QByteArrayList before = rawEntries(QFile::encodeName(dir.path()));
        const Outcome r = shell(c.line);
        EXPECT_EQ(r.status, 0) << c.line << ": " << r.err.toStdString();
        for (const QByteArray& name : c.written) {
            QFile file;
            const int fd = ::open(raw(name).constData(), O_RDONLY);
            EXPECT_GE(fd, 0) << c.line << ": " << name.toStdString();
            if (fd < 0) continue;
            ASSERT_TRUE(file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle));
            EXPECT_GT(file.size(), 44) << name.toStdString();
        }
        // Nothing else appeared beside the input (the folders hold the rest).
        QByteArrayList expected = before;
        for (const QByteArray& name : c.written) {
            const QByteArray top = name.left(name.indexOf('/') < 0 ? name.size() : name.indexOf('/'));
            if (!expected.contains(top)) expected << top;
        }
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(rawEntries(QFile::encodeName(dir.path())), expected) << c.line;
    }
    // The name the user gave is the one that is missing.
    const Outcome r = shell("exec \"$0\" info $'gone\\xff.zdl'");
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.endsWith(QStringLiteral(": The file does not exist.\n"))) << r.err.toStdString();
}
