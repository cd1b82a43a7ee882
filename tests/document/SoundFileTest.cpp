#include "SoundFile.h"
#include "TestFiles.h"
#include "ZdlFormat.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(SoundFile, ReaderIsChosenByTheLastThreeLettersOfTheName) {
    const struct {
        const char* path;
        bool oldStyle;
        const char* zdlPath;
    } cases[] = {
        {"/s/boom.efc", true, "/s/boom.zdl"}, {"/s/BOOM.EfC", true, "/s/BOOM.zdl"},
        {"/s/boomefc", true, "/s/boomzdl"},   {"/s/boom.zdl", false, nullptr},
        {"/s/boom.efc.zdl", false, nullptr},  {"/efc/boom", false, nullptr},
        {"/s/boom.ef", false, nullptr},       {"relative/x.EFC", true, "relative/x.zdl"},
    };
    for (const auto& c : cases) {
        const QString path = QString::fromLatin1(c.path);
        EXPECT_EQ(soundfile::isOldStyleName(path), c.oldStyle) << c.path;
        if (c.zdlPath) {
            EXPECT_EQ(soundfile::zdlPathFor(path).toStdString(), c.zdlPath);
        }
    }
}

TEST(SoundFile, ReadDispatchesToTheRightFormat) {
    QTemporaryDir dir;
    SoundSettings s;
    s.resetToNew();
    s.waveform = 304;
    const testfiles::Bytes zdlBytes = zdl::encode(s);
    const testfiles::Bytes efcBytes = testfiles::EfcRecord().bytes();
    // The same bytes under each kind of name: only the matching reader accepts them.
    const struct {
        const char* name;
        const testfiles::Bytes* bytes;
        bool ok;
    } cases[] = {
        {"a.zdl", &zdlBytes, true}, {"a.EFC", &efcBytes, true},  {"b.efc", &zdlBytes, false},
        {"c.wav", &zdlBytes, true}, {"d.zdl", &efcBytes, false},
    };
    for (const auto& c : cases) {
        const QString path = dir.filePath(QLatin1String(c.name));
        ASSERT_TRUE(testfiles::writeFile(path, *c.bytes));
        const ReadResult read = soundfile::read(path);
        EXPECT_EQ(read.ok, c.ok) << c.name << ": " << read.error.toStdString();
        if (read.ok) {
            EXPECT_EQ(read.version, c.bytes == &zdlBytes ? 1001 : 0) << c.name;
        }
    }
}
