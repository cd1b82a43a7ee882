// The JSON form of a sound through the real window: opened, saved in its own
// form, and offered by the Open and Save As dialogs.

#include "DocumentHarness.h"

#include "storage/JsonFile.h"
#include "storage/SoundFile.h"
#include "storage/ZdlFile.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

QByteArray bytesOf(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList descriptions(const FileDialogRequest& request) {
    QStringList names;
    for (const FileDialogRequest::Filter& f : request.filters) names << f.description;
    return names;
}

// A JSON copy of a test sound.
QString jsonCopy(DocumentHarness& d, const QString& source, const QString& name) {
    const ReadResult read = zdl::read(QStringLiteral(ZINDLE_TEST_DATA "/sounds/") + source);
    EXPECT_TRUE(read.ok);
    const QString path = d.file(name);
    EXPECT_TRUE(soundjson::write(path, read.settings).ok);
    return path;
}

}  // namespace

TEST(JsonDocument, OpensAndSavesAsJson) {
    DocumentHarness d;
    const QString path = jsonCopy(d, QStringLiteral("laser.zdl"), QStringLiteral("laser.json"));
    d.prompts.openName(path);
    d.key(Qt::Key_O);
    EXPECT_EQ(d.title(), QStringLiteral("Zindle - laser.json"));
    EXPECT_EQ(d.h.document.settings(), zdl::read(QStringLiteral(ZINDLE_TEST_DATA "/sounds/laser.zdl")).settings);

    d.edit(7);
    d.key(Qt::Key_S);
    EXPECT_EQ(d.prompts.sequence(), "open") << "Save writes the file it came from";
    EXPECT_EQ(d.title(), QStringLiteral("Zindle - laser.json"));
    const std::string text = soundjson::encode(d.h.document.settings());
    EXPECT_EQ(bytesOf(path), QByteArray(text.data(), qsizetype(text.size())));
    EXPECT_EQ(soundfile::read(path).settings.waveform, 202);
}

// Open reads what the bytes are: a JSON sound under a .zdl name opens, and a
// WAV file under one is refused as what it is.
TEST(JsonDocument, OpenTellsTheFormatByTheBytesNotTheName) {
    DocumentHarness d;
    const QString path = jsonCopy(d, QStringLiteral("laser.zdl"), QStringLiteral("laser.zdl"));
    d.prompts.openName(path);
    d.key(Qt::Key_O);
    EXPECT_EQ(d.prompts.sequence(), "open");
    EXPECT_EQ(d.title(), QStringLiteral("Zindle - laser.zdl"));
    EXPECT_EQ(d.h.document.settings(), zdl::read(QStringLiteral(ZINDLE_TEST_DATA "/sounds/laser.zdl")).settings);

    QFile wav(d.file(QStringLiteral("take.zdl")));
    ASSERT_TRUE(wav.open(QIODevice::WriteOnly));
    wav.write(QByteArray("RIFF\x24\x08\0\0WAVEfmt ", 16));
    wav.close();
    d.prompts.openName(wav.fileName());
    d.key(Qt::Key_O);
    EXPECT_EQ(d.prompts.sequence(), "open, open, error");
    EXPECT_EQ(d.prompts.shown.back().text,
              QStringLiteral(
                  "Couldn't open file\n\ntake.zdl\nThis is not a sound file Zindle reads (it looks like a WAV file)."));
    EXPECT_EQ(d.title(), QStringLiteral("Zindle - laser.zdl"));
}

// The name chosen in Save As decides the form, and Save keeps to it.
TEST(JsonDocument, SaveAsWritesTheFormOfTheChosenName) {
    const struct {
        const char* name;
        const char* written;
        bool json;
    } cases[] = {
        {"a.json", "a.json", true}, {"b.JSON", "b.JSON", true}, {"c.zdl", "c.zdl", false}, {"d", "d.zdl", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        DocumentHarness d;
        d.edit();
        d.saveAs(QString::fromLatin1(c.name));
        d.edit(7);
        d.key(Qt::Key_S);
        const QString written = d.file(QString::fromLatin1(c.written));
        const QByteArray saved = bytesOf(written);
        EXPECT_EQ(saved.startsWith("{\n  \"format\": \"zindle-sound\""), c.json);
        const ReadResult read = c.json ? soundjson::read(written) : zdl::read(written);
        ASSERT_TRUE(read.ok) << read.error.toStdString();
        EXPECT_EQ(read.settings, d.h.document.settings());
        EXPECT_EQ(d.prompts.count(ScriptedPrompts::Kind::Save), 1);
    }
}

TEST(JsonDocument, TheDialogsOfferEveryKind) {
    DocumentHarness d;
    const FileDialogRequest open = d.h.commands.openRequest();
    EXPECT_EQ(descriptions(open),
              QStringList({"All Sound Files", "Sound Effects Files", "Sound Text Files", "Old Style Files"}));
    EXPECT_EQ(open.filters[0].patterns, QStringList({"*.zdl", "*.ZDL", "*.json", "*.JSON", "*.efc", "*.EFC"}));

    // Save As offers the document's own form first, with its suffix.
    const struct {
        const char* document;  // empty: a new sound
        const char* first;
        const char* suffix;
    } cases[] = {{"", "Sound Effects Files", "zdl"},
                 {"a.zdl", "Sound Effects Files", "zdl"},
                 {"b.json", "Sound Text Files", "json"}};
    for (const auto& c : cases) {
        if (*c.document) d.saveAs(QString::fromLatin1(c.document));
        const FileDialogRequest save = d.h.commands.saveRequest();
        ASSERT_EQ(save.filters.size(), 2) << c.document;
        EXPECT_EQ(save.filters[0].description, QString::fromLatin1(c.first)) << c.document;
        EXPECT_EQ(save.defaultSuffix, QString::fromLatin1(c.suffix)) << c.document;
        QStringList offered = descriptions(save);
        offered.sort();
        EXPECT_EQ(offered, QStringList({"Sound Effects Files", "Sound Text Files"}));
    }
}
