#include "FileSizeLimit.h"
#include "TestFiles.h"
#include "core/RenderedSound.h"
#include "core/SoundModel.h"
#include "storage/FileIO.h"
#include "storage/WavExport.h"
#include "storage/ZdlFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <functional>

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
            const WavImage played = model.rendered.wavImage(repeats);
            ASSERT_FALSE(played.empty());
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
