// zindle-cli's loudness figures, --normalize, folder inputs and --manifest.

#include "CliFixture.h"
#include "DecodedSound.h"
#include "core/SoundRenderer.h"
#include "storage/Loudness.h"
#include "storage/SoundFile.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <cmath>

namespace {

QStringList words(const char* line) { return QString::fromLatin1(line).split(QLatin1Char(' ')); }

loudness::Level levelOf(const QString& file) {
    const ReadResult read = soundfile::read(file);
    EXPECT_TRUE(read.ok) << file.toStdString();
    return loudness::measure(sound_renderer::render(read.settings), read.settings.repeatCount);
}

QJsonObject manifestOf(const QString& folder) {
    return QJsonDocument::fromJson(contents(QDir(folder).filePath("sounds.json"))).object();
}

}  // namespace

TEST_F(Cli, InfoReportsPeakAndLoudnessAsExported) {
    ASSERT_EQ(run(words("generate blip --seed 3 -o blip.zdl")).status, 0);
    for (const char* sample : {"new.zdl", "laser.zdl", "boom.efc", "blip.zdl"}) {
        SCOPED_TRACE(sample);
        const QString file = QFileInfo::exists(path(sample)) ? path(sample) : copy(sample);
        const loudness::Level level = levelOf(file);
        const Outcome json = run({q("info"), q("--json"), file});
        ASSERT_EQ(json.status, 0) << json.err.toStdString();
        const QJsonObject o = QJsonDocument::fromJson(json.outBytes).object();
        EXPECT_NEAR(o["peakDb"].toDouble(), level.peakDb, 0.005);
        EXPECT_NEAR(o["loudnessLufs"].toDouble(), level.loudnessLufs, 0.005);
        const Outcome text = run({q("info"), file});
        EXPECT_TRUE(text.out.contains(QStringLiteral("  peakDb: %1\n").arg(level.peakDb, 0, 'f', 2)))
            << text.out.toStdString();
        EXPECT_TRUE(text.out.contains(QStringLiteral("  loudnessLufs: %1\n").arg(level.loudnessLufs, 0, 'f', 2)));
    }
}

TEST_F(Cli, NormalizeAndManifestUsage) {
    copy("new.zdl");
    ASSERT_TRUE(QDir(dir.path()).mkpath("folder"));
    const struct {
        const char* command;
        const char* reason;
    } cases[] = {
        {"render new.zdl --normalize loud", "peak:DB"},
        {"render new.zdl --normalize peak:+2", "dBFS"},
        {"render new.zdl --normalize lufs:x", "number"},
        {"render new.zdl --manifest", "-d DIR"},
        {"render new.zdl -o x.wav --manifest", "-d DIR"},
        {"render folder -o x.wav", "folder"},
        {"info new.zdl --normalize peak:-1", "does not take --normalize"},
    };
    for (const auto& c : cases) {
        const Outcome r = run(words(c.command));
        EXPECT_EQ(r.status, 2) << c.command;
        EXPECT_TRUE(r.err.contains(QLatin1String(c.reason))) << c.command << ": " << r.err.toStdString();
    }
    EXPECT_EQ(entries(dir.path()), (QStringList{"folder", "new.zdl"}));
}

// A folder of good and bad files: exit 1, each bad one named, the good ones
// written, and the manifest listing exactly those, in name order, with the
// figures of the files as written (the targets themselves: ExportAllTest).
TEST_F(Cli, RenderOfAFolderWritesTheGoodFilesAndTheirManifest) {
    ASSERT_TRUE(QDir(dir.path()).mkpath("bank"));
    copy("laser.zdl", "bank/b_laser.zdl");
    copy("boom.efc", "bank/a_boom.efc");
    copy("new.zdl", "bank/C_new.zdl");
    copy("short.efc", "bank/short.efc");  // ends early
    ASSERT_EQ(run(words("generate blip --seed 3 -o bank/d_blip.zdl")).status, 0);
    copy("bad-rate.zdl", "bank/bad-rate.zdl");
    ASSERT_TRUE(QFile(path("bank/broken.json")).open(QIODevice::WriteOnly));
    ASSERT_TRUE(QFile(path("bank/notes.txt")).open(QIODevice::WriteOnly));

    const Outcome r = run(words("render bank -d out --manifest --normalize lufs:-16"));
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains("bad-rate.zdl")) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("broken.json")) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("short.efc")) << r.err.toStdString();
    EXPECT_FALSE(r.err.contains("notes.txt"));
    EXPECT_EQ(entries(path("out")).join(' '), "C_new.wav a_boom.wav b_laser.wav d_blip.wav sounds.json");

    const QJsonObject manifest = manifestOf(path("out"));
    EXPECT_EQ(manifest["normalize"].toString(), "lufs:-16");
    const QJsonArray sounds = manifest["sounds"].toArray();
    QStringList names;
    for (const QJsonValue& v : sounds) {
        const QJsonObject o = v.toObject();
        names << o["name"].toString();
        SCOPED_TRACE(o["name"].toString().toStdString());
        EXPECT_EQ(o["file"].toString(), o["name"].toString() + ".wav");
        EXPECT_TRUE(QFileInfo(QDir(path("out")).filePath(o["source"].toString())).isFile())
            << o["source"].toString().toStdString();
        const DecodedSound decoded = DecodedSound::read(QDir(path("out")).filePath(o["file"].toString()));
        ASSERT_EQ(decoded.error, QString());
        EXPECT_EQ(o["rate"].toInt(), decoded.sampleRate);
        EXPECT_EQ(o["bits"].toInt(), decoded.bits);
        EXPECT_EQ(o["samples"].toInteger(), decoded.frames);
        EXPECT_NEAR(o["durationMs"].toDouble(), 1000.0 * decoded.frames / decoded.sampleRate, 0.001);
        const loudness::Level before = levelOf(QDir(path("out")).filePath(o["source"].toString()));
        // Rounding to whole 8-bit steps moves a low peak by up to half a step.
        const double slack = o["bits"].toInt() == 8 ? 0.3 : 0.01;
        EXPECT_NEAR(o["gainDb"].toDouble(), o["peakDb"].toDouble() - before.peakDb, slack);
    }
    EXPECT_EQ(names.join(' '), "a_boom b_laser C_new d_blip");
}
