// zindle-cli reads every input in the format its bytes are in, whatever its
// name, and names what it refuses.
#include "CliFixture.h"
#include "TestBytes.h"
#include "TestFiles.h"
#include "storage/JsonFile.h"
#include "storage/ZdlFile.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

namespace {

struct Source {
    const char* file;    // in the folder, under its own name
    const char* format;  // as info reports it
};
const Source kSources[] = {{"laser.zdl", "zdl"}, {"text.json", "json"}, {"boom.efc", "efc"}};

// Its own extension, another format's, none at all, and upper case.
const char* const kExtensions[] = {".zdl", ".json", ".efc", "", ".ZDL", ".JSON", ".EFC"};

// "json_as_efc.efc": the copy of a source of that format under that name.
QString copyName(const Source& source, const char* extension) {
    QString tag = q(extension).toLower().mid(1);
    if (tag.isEmpty()) tag = q("none");
    if (q(extension) != q(extension).toLower()) tag += q("_upper");
    return q(source.format) + q("_as_") + tag + q(extension);
}

QString baseName(const QString& file) { return QFileInfo(file).completeBaseName(); }

testfiles::Bytes bytesOf(const QByteArray& b) { return testfiles::Bytes(b.begin(), b.end()); }

}  // namespace

class CliFormats : public Cli {
protected:
    void SetUp() override {
        copy("laser.zdl");
        copy("boom.efc");
        ASSERT_TRUE(soundjson::write(path("text.json"), zdl::read(path("laser.zdl")).settings).ok);
    }
};

TEST_F(CliFormats, EveryCommandReadsTheBytesFormatUnderEveryName) {
    QStringList copies;
    QStringList formats;
    for (const Source& s : kSources)
        for (const char* extension : kExtensions) {
            copies << copyName(s, extension);
            formats << q(s.format);
            ASSERT_TRUE(QFile::copy(path(s.file), dir.filePath(copies.last())));
        }
    QStringList sources;
    for (const Source& s : kSources) sources << q(s.file);
    ASSERT_EQ(run(QStringList{q("render")} + sources + QStringList{q("-d"), q("own")}).status, 0);
    ASSERT_EQ(run(QStringList{q("convert")} + sources + QStringList{q("-d"), q("ownzdl")}).status, 0);

    Outcome r = run(QStringList{q("info"), q("--json")} + copies);
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const QJsonArray infos = QJsonDocument::fromJson(r.outBytes).array();
    ASSERT_EQ(infos.size(), copies.size());
    r = run(QStringList{q("render")} + copies + QStringList{q("-d"), q("wav")});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    r = run(QStringList{q("convert")} + copies + QStringList{q("-d"), q("zdl")});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    for (int i = 0; i < copies.size(); ++i) {
        const QString& copy = copies[i];
        const QString own = baseName(q(kSources[i / std::size(kExtensions)].file));
        EXPECT_EQ(infos[i].toObject().value(q("format")).toString(), formats[i]) << copy.toStdString();
        const QByteArray wav = contents(path("wav/") + baseName(copy) + q(".wav"));
        EXPECT_FALSE(wav.isEmpty()) << copy.toStdString();
        EXPECT_EQ(wav, contents(path("own/") + own + q(".wav"))) << copy.toStdString();
        EXPECT_EQ(contents(path("zdl/") + baseName(copy) + q(".zdl")), contents(path("ownzdl/") + own + q(".zdl")))
            << copy.toStdString();
        r = run({q("mutate"), copy, q("-o"), q("m.zdl")});
        EXPECT_EQ(r.status, 0) << copy.toStdString() << ": " << r.err.toStdString();
    }
}

// Shorter than an .efc, exactly one and longer, under every name.
TEST_F(CliFormats, OtherFilesAreRefusedAsWhatTheyAre) {
    for (const size_t size : {size_t(64), size_t(1578), size_t(5000)})
        for (const testfiles::OtherFile& other : testfiles::otherFiles(size))
            for (const char* extension : {".zdl", ".json", ".efc", "", ".ZDL"}) {
                const QString name = q("other") + q(extension);
                ASSERT_TRUE(testfiles::writeFile(dir.filePath(name), other.bytes));
                const QString expected =
                    name + q(": This is not a sound file Zindle reads (it looks like %1).").arg(q(other.kind));
                for (const char* command : {"info", "render"}) {
                    const Outcome r = run({q(command), name});
                    EXPECT_EQ(r.status, 1) << other.name << " " << size << " " << name.toStdString();
                    EXPECT_TRUE(r.err.contains(expected)) << command << ": " << r.err.toStdString();
                }
            }
}

TEST_F(CliFormats, EmptyAndCutInputsSayWhatIsWrong) {
    const testfiles::Bytes laser = bytesOf(contents(path("laser.zdl")));
    const testfiles::Bytes boom = bytesOf(contents(path("boom.efc")));
    const struct {
        const char* name;
        testfiles::Bytes bytes;
        const char* reason;
    } cases[] = {
        {"empty.zdl", {}, "The file is empty."},
        {"cut.json", testfiles::slice(laser, 0, 20), "The amplitude curve claims more points than the file holds."},
        {"cut.efc", testfiles::slice(boom, 0, 1000), "The file ends early."},
        {"cut", testfiles::slice(boom, 0, 1000), "This is not a sound file Zindle reads."},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(testfiles::writeFile(path(c.name), c.bytes));
        const Outcome r = run({q("info"), q(c.name)});
        EXPECT_EQ(r.status, 1) << c.name;
        EXPECT_TRUE(r.err.contains(q(c.name) + q(": ") + q(c.reason))) << c.name << ": " << r.err.toStdString();
    }
}
