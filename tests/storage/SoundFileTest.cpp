#include "TestFiles.h"
#include "formats/JsonFormat.h"
#include "formats/ZdlFormat.h"
#include "storage/SoundFile.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(SoundFile, OldStyleNamesEndInEfcAndAreSavedBesideAsZdl) {
    const struct {
        const char* path;
        bool oldStyle;
        const char* zdlPath;
    } cases[] = {
        {"/s/boom.efc", true, "/s/boom.zdl"},
        {"/s/BOOM.EfC", true, "/s/BOOM.zdl"},
        {"/s/boomefc", true, "/s/boomzdl"},
        {"/s/boom.zdl", false, "/s/boom.zdl"},
        {"/s/boom.efc.zdl", false, nullptr},
        {"/efc/boom", false, "/efc/boom.zdl"},
        {"/s/boom.ef", false, "/s/boom.zdl"},
        {"relative/x.EFC", true, "relative/x.zdl"},
        // An old-style sound told by its bytes under another name.
        {"/s/boom.sound", false, "/s/boom.zdl"},
        {"/s.d/boom", false, "/s.d/boom.zdl"},
    };
    for (const auto& c : cases) {
        const QString path = QString::fromLatin1(c.path);
        EXPECT_EQ(soundfile::isOldStyleName(path), c.oldStyle) << c.path;
        EXPECT_FALSE(soundfile::isJsonName(path)) << c.path;
        if (c.zdlPath) {
            EXPECT_EQ(soundfile::zdlPathFor(path).toStdString(), c.zdlPath);
        }
    }
}

TEST(SoundFile, ReadTellsTheFormatByTheBytes) {
    QTemporaryDir dir;
    SoundSettings s;
    s.resetToNew();
    s.waveform = 304;
    const testfiles::Bytes zdlBytes = zdl::encode(s);
    const testfiles::Bytes efcBytes = testfiles::EfcRecord().bytes();
    const std::string text = soundjson::encode(s);
    const testfiles::Bytes jsonBytes(text.begin(), text.end());
    // The same bytes under each kind of name: the bytes say the format.
    const struct {
        const char* name;
        const testfiles::Bytes* bytes;
        SoundFormatId format;
    } cases[] = {
        {"a.zdl", &zdlBytes, SoundFormatId::Zdl},        {"a.EFC", &efcBytes, SoundFormatId::Efc},
        {"b.efc", &zdlBytes, SoundFormatId::Zdl},        {"c.wav", &zdlBytes, SoundFormatId::Zdl},
        {"d.zdl", &efcBytes, SoundFormatId::Efc},        {"e.json", &jsonBytes, SoundFormatId::Json},
        {"f.JSON", &jsonBytes, SoundFormatId::Json},     {"gjson", &jsonBytes, SoundFormatId::Json},
        {"h.zdl", &jsonBytes, SoundFormatId::Json},      {"i.json", &zdlBytes, SoundFormatId::Zdl},
        {"j.json.zdl", &jsonBytes, SoundFormatId::Json},
    };
    for (const auto& c : cases) {
        const QString path = dir.filePath(QLatin1String(c.name));
        ASSERT_TRUE(testfiles::writeFile(path, *c.bytes));
        const ReadResult read = soundfile::read(path);
        ASSERT_TRUE(read.ok) << c.name << ": " << read.error.toStdString();
        EXPECT_EQ(read.format, c.format) << c.name;
        EXPECT_EQ(read.version, c.bytes == &zdlBytes ? 1001 : c.bytes == &jsonBytes ? 1 : 0) << c.name;
        EXPECT_EQ(read.settings.waveform, c.bytes == &efcBytes ? 100 : 304) << c.name;
    }
}

TEST(SoundFile, JsonNamesEndInJsonInAnyCase) {
    for (const char* path : {"/s/a.json", "/s/A.JSON", "/s/ajson", "relative/b.Json", "c.zdl.json"})
        EXPECT_TRUE(soundfile::isJsonName(QString::fromLatin1(path))) << path;
    for (const char* path : {"/s/a.json.zdl", "/json/a", "/s/a.jso", "/s/a.js", "/s/json.efc"})
        EXPECT_FALSE(soundfile::isJsonName(QString::fromLatin1(path))) << path;
}

// Each name gets its format's bytes, which read back as the same sound.
TEST(SoundFile, WriteChoosesTheFormatByName) {
    QTemporaryDir dir;
    SoundSettings s = testfiles::settingsWith("0:0 5:100 100:0", "0:100 100:0");
    s.waveform = 12345;
    s.sampleRate = 44100;
    const std::string text = soundjson::encode(s);
    const QByteArray json(text.data(), qsizetype(text.size()));
    const QByteArray zdlBytes = testfiles::qbytes(zdl::encode(s));
    const struct {
        const char* name;
        const QByteArray* bytes;
    } cases[] = {{"a.json", &json}, {"b.JSON", &json}, {"c.zdl", &zdlBytes}, {"d.efc", &zdlBytes}, {"e", &zdlBytes}};
    for (const auto& c : cases) {
        const QString path = dir.filePath(QLatin1String(c.name));
        const WriteResult written = soundfile::write(path, s);
        ASSERT_TRUE(written.ok) << c.name << ": " << written.error.toStdString();
        EXPECT_EQ(testfiles::readFile(path), *c.bytes) << c.name;
        if (!soundfile::isOldStyleName(path)) {
            const ReadResult read = soundfile::read(path);
            ASSERT_TRUE(read.ok) << c.name << ": " << read.error.toStdString();
            EXPECT_EQ(read.settings, s) << c.name;
        }
    }
}

TEST(SoundFile, JsonFailuresKeepTheirReason) {
    QTemporaryDir dir;
    const QString bad = dir.filePath(QStringLiteral("bad.json"));
    ASSERT_TRUE(testfiles::writeFile(bad, QByteArray("{\n  \"format\": \"zindle-sound\",\n  \"lenght\": 1\n}\n")));
    EXPECT_EQ(soundfile::read(bad).error.toStdString(), "line 3, column 3: unknown key \"lenght\"");

    const QString empty = dir.filePath(QStringLiteral("empty.json"));
    ASSERT_TRUE(testfiles::writeFile(empty, QByteArray()));
    const ReadResult read = soundfile::read(empty);
    EXPECT_FALSE(read.ok);
    EXPECT_FALSE(read.error.isEmpty());

    const QString folder = dir.filePath(QStringLiteral("taken.json"));
    ASSERT_TRUE(QDir().mkdir(folder));
    const WriteResult written = soundfile::write(folder, testfiles::settingsWith("0:0 100:0", "0:0 100:0"));
    EXPECT_FALSE(written.ok);
    EXPECT_FALSE(written.error.isEmpty());
}
