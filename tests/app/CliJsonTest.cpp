// zindle-cli with the JSON form of a sound: convert in every direction, --to,
// the commands that make sounds, and the usage rules of the output's form.
#include "CliFixture.h"
#include "TestFiles.h"
#include "core/SoundMutation.h"
#include "core/SoundTemplates.h"
#include "storage/JsonFile.h"
#include "storage/SoundFile.h"
#include "storage/ZdlFile.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>

#include "TestBytes.h"

#include <gtest/gtest.h>

using testfiles::newSound;

namespace {

SoundSettings readSettings(const QString& file) {
    const ReadResult read = soundfile::read(file);
    EXPECT_TRUE(read.ok) << file.toStdString() << ": " << read.error.toStdString();
    return read.settings;
}

QByteArray jsonBytes(const SoundSettings& s) { return QByteArray::fromStdString(soundjson::encode(s)); }
QByteArray zdlBytes(const SoundSettings& s) { return testfiles::qbytes(zdl::encode(s)); }

// The file holds exactly what the writer of its form makes of `s`: the
// bytes of a .zdl or the text of a .json, so every float's bits count.
void expectSound(const QString& file, const SoundSettings& s) {
    const QByteArray expected = soundfile::isJsonName(file) ? jsonBytes(s) : zdlBytes(s);
    EXPECT_EQ(contents(file), expected) << file.toStdString();
}

// A square wave whose `curve` ("amplitude" or "frequency") has its second
// point `time` after the first, as JSON text, which keeps the float exact.
QByteArray soundWithSecondPointAt(const char* curve, const char* time, int bits) {
    const QByteArray sloped = QByteArray("[[0, 0.1], [") + time + ", 0.9], [0.5, 0.6], [1, 0.3]]";
    const QByteArray flat = "[[0, 0.5], [1, 0.5]]";
    const bool amplitude = qstrcmp(curve, "amplitude") == 0;
    return QByteArray(
               "{\"format\": \"zindle-sound\", \"version\": 1, \"waveform\": \"Square\", \"length\": 0.2, "
               "\"distort\": 0, \"echoVolume\": 0, \"echoDelay\": 0, \"repeatCount\": 1, "
               "\"bitsPerSample\": ") +
           QByteArray::number(bits) + ", \"sampleRate\": 11025, \"amplitude\": " + (amplitude ? sloped : flat) +
           ", \"frequency\": " + (amplitude ? flat : sloped) + "}";
}

}  // namespace

class CliJson : public Cli {
protected:
    void SetUp() override {
        copy("boom.efc");
        copy("laser.zdl");
        laser = readSettings(path("laser.zdl"));
        boom = readSettings(path("boom.efc"));
        ASSERT_TRUE(soundjson::write(path("laser.json"), laser).ok);
        ASSERT_TRUE(soundjson::write(path("boom.json"), boom).ok);
    }
    SoundSettings laser, boom;
};

TEST_F(CliJson, ConvertGoesEveryWayTheNamesSayAndKeepsEveryBit) {
    const struct {
        const char* input;
        const char* output;
    } cases[] = {
        {"boom.efc", "a.zdl"},  {"boom.efc", "b.json"},   {"laser.zdl", "c.json"}, {"laser.json", "d.zdl"},
        {"laser.zdl", "e.zdl"}, {"laser.json", "f.json"}, {"boom.json", "G.JSON"}, {"boom.json", "h.ZDL"},
    };
    for (const auto& c : cases) {
        const Outcome r = run(arguments({"convert", c.input, "-o", c.output}));
        ASSERT_EQ(r.status, 0) << c.input << " -> " << c.output << ": " << r.err.toStdString();
        expectSound(path(c.output), q(c.input).startsWith(q("laser")) ? laser : boom);
    }
    // And back: the JSON of a .zdl converted to .zdl again is the same file.
    ASSERT_EQ(run(arguments({"convert", "c.json", "-o", "c.zdl"})).status, 0);
    EXPECT_EQ(contents(path("c.zdl")), contents(kSounds + q("laser.zdl")));
}

// -d and beside the input: --to names the form, .zdl by default, and only an
// old-style file has an output beside it without being asked.
TEST_F(CliJson, ToChoosesTheFormOfMadeUpNames) {
    const struct {
        QStringList arguments;
        std::vector<const char*> written;  // beside the inputs or in out/
        int status;
        const char* error;  // a part of it, or empty
    } cases[] = {
        {arguments({"convert", "boom.efc", "laser.json", "-d", "out"}), {"out/boom.zdl", "out/laser.zdl"}, 0, ""},
        {arguments({"convert", "boom.efc", "laser.zdl", "-d", "out", "--to", "json"}),
         {"out/boom.json", "out/laser.json"},
         0,
         ""},
        {arguments({"convert", "boom.efc", "--to", "zdl"}), {"boom.zdl"}, 0, ""},
        {arguments({"convert", "laser.zdl"}), {}, 2, "laser.zdl is not an old-style file, so convert has no output"},
        {arguments({"convert", "laser.json", "--to", "json"}), {}, 1, "laser.json already exists"},
        {arguments({"convert", "laser.zdl", "--to", "json"}), {}, 1, "laser.json already exists"},
    };
    for (const auto& c : cases) {
        const std::string shown = c.arguments.join(' ').toStdString();
        QDir(path("out")).removeRecursively();
        QFile::remove(path("boom.zdl"));
        const Outcome r = run(c.arguments);
        EXPECT_EQ(r.status, c.status) << shown << ": " << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(q(c.error))) << shown << ": " << r.err.toStdString();
        for (const char* file : c.written) expectSound(path(file), q(file).contains(q("boom")) ? boom : laser);
    }
    // Beside the input in the other form, where nothing is in the way.
    QFile::remove(path("laser.json"));
    ASSERT_EQ(run(arguments({"convert", "laser.zdl", "--to", "json"})).status, 0);
    expectSound(path("laser.json"), laser);
    QFile::remove(path("boom.json"));
    ASSERT_EQ(run(arguments({"convert", "boom.efc", "--to", "json"})).status, 0);
    expectSound(path("boom.json"), boom);
}

TEST_F(CliJson, TheCommandsThatMakeSoundsWriteJson) {
    ASSERT_EQ(run(arguments({"new", "-o", "fresh.json"})).status, 0);
    expectSound(path("fresh.json"), newSound());
    const Outcome out = run(arguments({"new", "-o", "-", "--to", "json"}));
    ASSERT_EQ(out.status, 0) << out.err.toStdString();
    EXPECT_EQ(out.outBytes, jsonBytes(newSound()));

    ASSERT_EQ(run(arguments({"generate", "coin", "--seed", "5", "--count", "2", "-d", "gen", "--to", "json"})).status,
              0);
    EXPECT_EQ(entries(path("gen")), QStringList({"coin_001.json", "coin_002.json"}));
    for (const uint64_t seed : {5u, 6u})
        expectSound(path("gen/coin_00") + QString::number(seed - 4) + q(".json"),
                    *sound_templates::generate("coin", seed, newSound()));

    ASSERT_EQ(run(arguments({"mutate", "laser.json", "--seed", "3", "-o", "m.json"})).status, 0);
    expectSound(path("m.json"), sound_mutation::mutate(laser, 3, 0.1f));
    ASSERT_EQ(run(arguments({"mutate", "laser.json", "--seed", "3", "-d", "mut"})).status, 0);
    expectSound(path("mut/laser_001.zdl"), sound_mutation::mutate(laser, 3, 0.1f));
}

TEST_F(CliJson, InfoAndRenderReadJson) {
    Outcome r = run(arguments({"info", "laser.json", "--json"}));
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const QJsonObject info = QJsonDocument::fromJson(r.outBytes).object();
    EXPECT_EQ(info.value(q("format")).toString(), q("json"));
    EXPECT_EQ(info.value(q("version")).toInt(), 1);
    EXPECT_EQ(info.value(q("waveform")).toInt(), laser.waveform);

    ASSERT_EQ(run(arguments({"render", "laser.json", "-o", "j.wav"})).status, 0);
    ASSERT_EQ(run(arguments({"render", "laser.zdl", "-o", "z.wav"})).status, 0);
    EXPECT_FALSE(contents(path("j.wav")).isEmpty());
    EXPECT_EQ(contents(path("j.wav")), contents(path("z.wav")));

    ASSERT_TRUE(testfiles::writeFile(path("typo.json"), QByteArray("{\n  \"formt\": 1\n}\n")));
    r = run(arguments({"info", "typo.json"}));
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains(q("typo.json: line 2, column 3: unknown key \"formt\""))) << r.err.toStdString();
}

TEST_F(CliJson, FormsThatCannotBeWrittenAreWrongUsage) {
    const struct {
        QStringList arguments;
        const char* message;
    } cases[] = {
        {arguments({"convert", "laser.zdl", "-o", "x.wav"}),
         "convert writes .zdl or .json files; the output x.wav ends in neither."},
        {arguments({"convert", "laser.zdl", "-o", "x"}), "convert writes .zdl or .json files"},
        {arguments({"new", "-o", "fresh.txt"}), "new writes .zdl or .json files"},
        {arguments({"mutate", "laser.zdl", "-o", "m.efc"}), "mutate writes .zdl or .json files"},
        {arguments({"convert", "laser.zdl", "-d", "out", "--to", "wav"}), "--to takes zdl or json."},
        {arguments({"convert", "laser.zdl", "-d", "out", "--to", "JSON"}), "--to takes zdl or json."},
        {arguments({"convert", "laser.zdl", "-d", "out", "--to", "json", "--to", "zdl"}),
         "--to is given more than once."},
        {arguments({"convert", "laser.zdl", "-o", "x.json", "--to", "json"}),
         "-o x.json has the form of its extension; --to is for -d, beside the input or -o -."},
        {arguments({"render", "laser.zdl", "--to", "json"}), "render does not take --to."},
        {arguments({"info", "laser.zdl", "--to", "json"}), "info does not take --to."},
    };
    const QStringList before = entries(dir.path());
    for (const auto& c : cases) {
        const std::string shown = c.arguments.join(' ').toStdString();
        const Outcome r = run(c.arguments);
        EXPECT_EQ(r.status, 2) << shown;
        EXPECT_TRUE(r.err.startsWith(q("zindle-cli: ") + q(c.message))) << shown << ": " << r.err.toStdString();
        EXPECT_EQ(entries(dir.path()), before) << shown;
    }
}

// A point a subnormal time after the first is too close for the segment's
// slope to be a float; the sound must not fall silent or start on garbage,
// but sound as it does with the point merely closer than one sample.
TEST_F(Cli, ASecondPointASubnormalTimeAfterTheFirstRendersAsAShortSegment) {
    for (const char* curve : {"amplitude", "frequency"}) {
        for (const int bits : {8, 16}) {
            QByteArray wavs[2];
            const char* times[] = {"1e-30", "1e-40"};
            for (int i = 0; i < 2; ++i) {
                QFile file(path("sound.json"));
                const QByteArray json = soundWithSecondPointAt(curve, times[i], bits);
                ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(json) == json.size());
                file.close();
                const Outcome r = run(arguments({"render", "sound.json", "-o", "sound.wav"}));
                ASSERT_EQ(r.status, 0) << r.err.toStdString();
                wavs[i] = contents(path("sound.wav"));
            }
            SCOPED_TRACE(std::string(curve) + ", " + std::to_string(bits) + " bit");
            ASSERT_GT(wavs[0].size(), 44);
            const QByteArray samples = wavs[0].mid(44);
            const qsizetype width = bits / 8;
            bool varies = false;
            for (qsizetype at = width; at < samples.size() && !varies; at += width)
                varies = samples.mid(at, width) != samples.left(width);
            EXPECT_TRUE(varies) << "every sample is the same";
            EXPECT_TRUE(wavs[1] == wavs[0]) << "the sound with the point at 1e-40 differs";
        }
    }
}
