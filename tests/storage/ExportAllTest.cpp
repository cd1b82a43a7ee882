#include "DecodedSound.h"
#include "FileSizeLimit.h"
#include "TestFiles.h"
#include "core/RenderedSound.h"
#include "core/SoundRenderer.h"
#include "core/SoundTemplates.h"
#include "storage/ExportAll.h"
#include "storage/Loudness.h"
#include "storage/SoundFile.h"
#include "storage/SoundFolder.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <optional>

namespace {

using soundexport::ExportFormat;

QStringList entries(const QString& dir) {
    return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

// A folder of template sounds, the later ones longer (so larger), plus
// whatever else a test adds.
struct SoundFolderFixture {
    QTemporaryDir dir;
    QString in() const { return dir.filePath(QStringLiteral("in")); }
    QString out() const { return dir.filePath(QStringLiteral("out")); }
    std::map<QString, SoundSettings> sounds;  // by base name

    explicit SoundFolderFixture(int count) {
        QDir().mkpath(in());
        SoundSettings quality;
        quality.resetToNew();
        for (int i = 0; i < count; ++i) {
            const std::string& name = sound_templates::names()[size_t(i) % sound_templates::names().size()];
            SoundSettings s = *sound_templates::generate(name, uint64_t(i + 1), quality);
            s.length = 0.2f + 0.08f * float(i);
            s.bitsPerSample = i % 2 ? 16 : 8;
            const QString base = QStringLiteral("s%1_%2").arg(i).arg(QString::fromStdString(name));
            const QString ext = i % 3 == 2 ? QStringLiteral(".json") : QStringLiteral(".zdl");
            EXPECT_TRUE(soundfile::write(QDir(in()).filePath(base + ext), s).ok);
            sounds[base] = s;
        }
    }
    QStringList sources() const { return soundfolder::soundFiles(in(), nullptr); }
};

// What a plain export of the sound writes: the file is whole when it is this.
QByteArray expectedWav(const SoundSettings& s) {
    const RenderedSound r = sound_renderer::render(s);
    return soundexport::type(ExportFormat::Wav).encode(r, s.repeatCount).bytes;
}

QJsonArray manifestSounds(const QString& folder) {
    const QJsonDocument doc = QJsonDocument::fromJson(testfiles::readFile(QDir(folder).filePath("sounds.json")));
    return doc.object().value(QStringLiteral("sounds")).toArray();
}

TEST(SoundFolder, ListsSoundFilesByNameIgnoringCase) {
    QTemporaryDir dir;
    for (const char* name : {"b.zdl", "A.JSON", "c.efc", "a2.zdl", "notes.txt", "x.wav", "noext"})
        ASSERT_TRUE(testfiles::writeFile(dir.filePath(QLatin1String(name)), QByteArray("x")));
    QDir().mkpath(dir.filePath("sub.zdl"));
    QStringList names;
    QString error = QStringLiteral("stale");
    for (const QString& p : soundfolder::soundFiles(dir.path(), &error)) names << QFileInfo(p).fileName();
    EXPECT_EQ(names, (QStringList{"A.JSON", "a2.zdl", "b.zdl", "c.efc"}));
    EXPECT_TRUE(error.isEmpty());
    EXPECT_TRUE(soundfolder::soundFiles(dir.filePath("missing"), &error).isEmpty());
    EXPECT_TRUE(error.contains("does not exist")) << error.toStdString();
}

// Without normalisation each output is byte for byte a plain export, and
// the manifest's fields are those of the file written.
TEST(ExportAll, WritesEverySoundAndAManifestOfWhatItWrote) {
    SoundFolderFixture f(5);
    ASSERT_TRUE(testfiles::writeFile(QDir(f.in()).filePath("zz_broken.zdl"), QByteArray("not a sound")));
    exportall::Options options;
    options.folder = f.out();
    const exportall::Summary summary = exportall::run(f.sources(), options);
    ASSERT_EQ(summary.written.size(), 5);
    ASSERT_EQ(summary.failures.size(), 1);
    EXPECT_TRUE(summary.failures[0].source.endsWith("zz_broken.zdl"));
    EXPECT_FALSE(summary.failures[0].reason.isEmpty());
    EXPECT_TRUE(exportall::summaryText(summary).contains("zz_broken.zdl"));

    const QJsonArray sounds = manifestSounds(f.out());
    ASSERT_EQ(sounds.size(), 5);
    for (const QJsonValue& v : sounds) {
        const QJsonObject o = v.toObject();
        const QString name = o["name"].toString();
        SCOPED_TRACE(name.toStdString());
        ASSERT_TRUE(f.sounds.count(name));
        const SoundSettings& s = f.sounds[name];
        const QString file = QDir(f.out()).filePath(o["file"].toString());
        EXPECT_EQ(testfiles::readFile(file), expectedWav(s));
        EXPECT_TRUE(QFileInfo(QDir(f.out()).filePath(o["source"].toString())).exists());
        EXPECT_TRUE(o["source"].toString().startsWith("../in/" + name));
        const DecodedSound decoded = DecodedSound::read(file);
        EXPECT_EQ(o["rate"].toInt(), decoded.sampleRate);
        EXPECT_EQ(o["bits"].toInt(), decoded.bits);
        EXPECT_EQ(o["samples"].toInteger(), decoded.frames);
        EXPECT_NEAR(o["durationMs"].toDouble(), decoded.frames * 1000.0 / decoded.sampleRate, 0.001);
        const loudness::Level level = loudness::measure(sound_renderer::render(s), s.repeatCount);
        EXPECT_NEAR(o["peakDb"].toDouble(), level.peakDb, 0.005);
        EXPECT_NEAR(o["loudnessLufs"].toDouble(), level.loudnessLufs, 0.005);
        EXPECT_EQ(o["gainDb"].toDouble(), 0.0);
        EXPECT_FALSE(o["gainLimited"].toBool());
    }
}

// One chosen quality and a loudness target, in each format: the manifest
// reports the output after its gain, and the gain meets the target unless
// the peak ceiling stopped it, which it says.
TEST(ExportAll, ChosenQualityAndNormalisationReachTheManifest) {
    SoundFolderFixture f(4);
    for (const ExportFormat format : {ExportFormat::Wav, ExportFormat::Flac, ExportFormat::Ogg}) {
        const QString ext = soundexport::extension(format);
        SCOPED_TRACE(ext.toStdString());
        exportall::Options options;
        options.folder = QDir(f.out()).filePath(ext);
        options.format = format;
        options.quality = exportall::Quality{22050, 16};
        options.normalize = {normalization::Target::Loudness, -16.0};
        const exportall::Summary summary = exportall::run(f.sources(), options);
        ASSERT_TRUE(summary.failures.isEmpty()) << exportall::summaryText(summary).toStdString();
        const QJsonDocument doc =
            QJsonDocument::fromJson(testfiles::readFile(QDir(options.folder).filePath("sounds.json")));
        EXPECT_EQ(doc.object()["normalize"].toString(), "lufs:-16");
        const QJsonArray sounds = doc.object()["sounds"].toArray();
        ASSERT_EQ(sounds.size(), 4);
        for (const QJsonValue& v : sounds) {
            const QJsonObject o = v.toObject();
            const DecodedSound decoded = DecodedSound::read(QDir(options.folder).filePath(o["file"].toString()));
            EXPECT_EQ(decoded.error, QString());
            EXPECT_EQ(decoded.type, ext);
            EXPECT_EQ(decoded.sampleRate, 22050);
            EXPECT_EQ(o["rate"].toInt(), 22050);
            EXPECT_EQ(o["bits"].toInt(), 16);
            EXPECT_LE(o["peakDb"].toDouble(), -1.0);
            if (o["gainLimited"].toBool()) {
                EXPECT_NEAR(o["peakDb"].toDouble(), -1.0, 0.1);
            } else if (o["durationMs"].toDouble() >= 1000) {
                EXPECT_NEAR(o["loudnessLufs"].toDouble(), -16.0, 0.2);
            }
        }
    }
}

// A cancel half way, a file size limit (a disk that fills) and a writer that
// runs out of room: every file in the folder is whole, the summary names
// each sound not written, and the manifest lists exactly what was written.
TEST(ExportAll, StoppedOrOutOfRoomEveryFileThatExistsIsWhole) {
    enum class Fault { Cancel, FileSizeLimit, RoomRunsOut };
    const struct {
        const char* name;
        Fault fault;
    } cases[] = {{"cancelled after three", Fault::Cancel},
                 {"file size limit", Fault::FileSizeLimit},
                 {"room runs out", Fault::RoomRunsOut}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SoundFolderFixture f(8);
        const QStringList sources = f.sources();
        // The fifth sound's file is larger than the limit; the fourth's is not.
        const qint64 limit = expectedWav(f.sounds[QFileInfo(sources[4]).completeBaseName()]).size() - 1;
        ASSERT_GT(limit, expectedWav(f.sounds[QFileInfo(sources[3]).completeBaseName()]).size());
        exportall::Options options;
        options.folder = f.out();
        QDir().mkpath(f.out());
        exportall::Progress progress;
        exportall::Writer writer;
        qint64 room = 0;
        for (int i = 0; i < 4; ++i) room += expectedWav(f.sounds[QFileInfo(sources[i]).completeBaseName()]).size();
        std::optional<FileSizeLimit> fsize;
        switch (c.fault) {
        case Fault::Cancel: progress = [](int done, int, const QString&) { return done < 3; }; break;
        case Fault::FileSizeLimit:
            fsize.emplace(rlim_t(limit));
            ASSERT_TRUE(fsize->ok());
            break;
        case Fault::RoomRunsOut:
            // A disk with room for the first four files; whatever does not fit fails whole.
            writer = [&room](const QString& path, const QByteArray& bytes) {
                if (bytes.size() > room) return WriteResult::failure(QStringLiteral("No space left on device"));
                room -= bytes.size();
                return fileio::writeAtomically(path, bytes);
            };
            break;
        }
        const exportall::Summary summary = exportall::run(sources, options, progress, writer);
        fsize.reset();

        QStringList written;
        for (const soundmanifest::Entry& e : summary.written) written << e.file;
        QStringList failed;
        for (const exportall::Failure& fl : summary.failures) failed << QFileInfo(fl.source).completeBaseName();
        EXPECT_EQ(summary.cancelled, c.fault == Fault::Cancel);
        if (c.fault == Fault::Cancel) {
            EXPECT_EQ(written.size(), 3);
            EXPECT_TRUE(failed.isEmpty());
        } else {
            EXPECT_EQ(written.size(), 4);
            EXPECT_EQ(written.size() + failed.size(), sources.size() + (c.fault == Fault::RoomRunsOut ? 1 : 0))
                << failed.join(',').toStdString();  // out of room, the manifest fails too
        }
        // Every file there is a whole output or the manifest; nothing else.
        for (const QString& name : entries(f.out())) {
            if (name == "sounds.json") continue;
            ASSERT_TRUE(written.contains(name)) << name.toStdString();
            EXPECT_EQ(testfiles::readFile(QDir(f.out()).filePath(name)),
                      expectedWav(f.sounds[QFileInfo(name).completeBaseName()]))
                << name.toStdString();
        }
        EXPECT_EQ(entries(f.out()).size(), written.size() + (c.fault == Fault::RoomRunsOut ? 0 : 1));
        if (c.fault != Fault::RoomRunsOut) {
            EXPECT_EQ(manifestSounds(f.out()).size(), written.size());
        }
    }
}

TEST(ExportAll, TwoSoundsOfOneNameWriteOneFile) {
    QTemporaryDir dir;
    SoundSettings s;
    s.resetToNew();
    ASSERT_TRUE(QDir().mkpath(dir.filePath("in")));
    ASSERT_TRUE(soundfile::write(dir.filePath("in/coin.json"), s).ok);
    s.length = 0.5f;
    ASSERT_TRUE(soundfile::write(dir.filePath("in/coin.zdl"), s).ok);
    exportall::Options options;
    options.folder = dir.filePath("out");
    const exportall::Summary summary = exportall::run(soundfolder::soundFiles(dir.filePath("in"), nullptr), options);
    ASSERT_EQ(summary.written.size(), 1);
    ASSERT_EQ(summary.failures.size(), 1);
    EXPECT_TRUE(summary.failures[0].source.endsWith("coin.zdl"));
    EXPECT_TRUE(summary.failures[0].reason.contains("coin.wav"));
}

}  // namespace
