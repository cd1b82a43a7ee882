#include "Malformed.h"
#include "TestFiles.h"
#include "storage/EfcFile.h"
#include "storage/SoundFile.h"
#include "storage/ZdlFile.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using testfiles::currentSettings;
using testfiles::Malformed;

TEST(MalformedInput, FromDiskEachReaderRejectsAndTheCallersSettingsStay) {
    QTemporaryDir dir;
    int n = 0;
    for (const auto& [extension, cases] :
         {std::pair{"zdl", testfiles::malformedZdl()}, std::pair{"EFC", testfiles::malformedEfc()}}) {
        for (const Malformed& c : cases) {
            const QString path = dir.filePath(QStringLiteral("case%1.%2").arg(++n).arg(QLatin1String(extension)));
            ASSERT_TRUE(testfiles::writeFile(path, c.bytes));
            SoundSettings settings = currentSettings();
            const ReadResult read = soundfile::read(path);
            if (read.ok) settings = read.settings;
            EXPECT_FALSE(read.ok) << extension << " " << c.name;
            EXPECT_FALSE(read.error.isEmpty()) << c.name;
            EXPECT_EQ(settings, currentSettings()) << c.name;
            // The decoder's own reason reaches the user unchanged; an empty
            // file is refused before it is decoded.
            const DecodeResult decoded = *extension == 'z' ? zdl::decode(c.bytes) : efc::decode(c.bytes);
            if (!c.bytes.empty()) {
                EXPECT_EQ(read.error.toStdString(), decoded.error) << c.name;
            }
        }
    }
}

TEST(MalformedInput, FilesThatCannotBeReadGiveTheirReason) {
    QTemporaryDir dir;
    ASSERT_TRUE(testfiles::writeFile(dir.filePath(QStringLiteral("empty.zdl")), QByteArray()));
    ASSERT_TRUE(testfiles::writeFile(dir.filePath(QStringLiteral("empty.efc")), QByteArray()));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder.zdl")));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder.efc")));
    const struct {
        const char* name;
        const char* reason;
    } cases[] = {
        {"empty.zdl", "The file is empty."},           {"empty.efc", "The file is empty."},
        {"folder.zdl", "It is a folder, not a file."}, {"folder.efc", "It is a folder, not a file."},
        {"missing.zdl", "The file does not exist."},   {"missing.efc", "The file does not exist."},
    };
    for (const auto& c : cases) {
        const ReadResult read = soundfile::read(dir.filePath(QLatin1String(c.name)));
        EXPECT_FALSE(read.ok) << c.name;
        EXPECT_EQ(read.error.toStdString(), c.reason) << c.name;
    }
}
