#include "TestFiles.h"
#include "storage/ZdlFile.h"

#include <QTemporaryDir>

#include "TestBytes.h"

#include <gtest/gtest.h>

using testfiles::hex;
using testfiles::qbytes;
using testfiles::settingsWith;

using testfiles::newSound;

namespace {}  // namespace

TEST(ZdlFormat, WriteThenReadThroughAFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("boom.zdl"));
    SoundSettings s = settingsWith("0:0 5:100 100:0", "0:100 100:0");
    s.waveform = 200;
    ASSERT_TRUE(zdl::write(path, s).ok);
    EXPECT_EQ(testfiles::readFile(path), qbytes(zdl::encode(s)));
    const ReadResult read = zdl::read(path);
    ASSERT_TRUE(read.ok) << read.error.toStdString();
    EXPECT_EQ(read.settings, s);
}

TEST(ZdlFormat, RewritingALongerFileLeavesNoTraceOfItsTail) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("boom.zdl"));
    ASSERT_TRUE(testfiles::writeFile(path, QByteArray(4096, '\x5A')));
    ASSERT_TRUE(zdl::write(path, newSound()).ok);
    EXPECT_EQ(testfiles::readFile(path), qbytes(hex(testfiles::kNewSoundZdl)));
}
