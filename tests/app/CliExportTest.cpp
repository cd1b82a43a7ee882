// zindle-cli render to FLAC and Ogg Vorbis: each read back through
// libsndfile (and soxi where it is installed) and compared with the WAV
// render of the same command.

#include "CliFixture.h"
#include "DecodedSound.h"
#include "OggPages.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace {

// "render a.zdl -o x.flac" as arguments.
QStringList words(const char* line) { return QString::fromLatin1(line).split(QLatin1Char(' ')); }

uint32_t field32(const QByteArray& bytes, int at) {
    const auto* p = reinterpret_cast<const uint8_t*>(bytes.constData() + at);
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

// One field of soxi's report, or nothing when soxi is not installed.
QString soxiField(const char* flag, const QString& file) {
    if (QStandardPaths::findExecutable(QStringLiteral("soxi")).isEmpty()) return QString();
    QProcess process;
    process.start(QStringLiteral("soxi"), {QLatin1String(flag), file});
    process.waitForFinished(30000);
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

}  // namespace

// Each case runs twice: as given, and as the WAV render it should equal
// (FLAC and WAV sample for sample, Ogg Vorbis in rate, channels and length).
TEST_F(Cli, RenderWritesTheTypeOfTheExtensionOrOfFormat) {
    for (const char* sample : {"new.zdl", "laser.zdl", "boom.efc"}) copy(sample);
    const struct {
        const char* command;
        const char* outputs;
        const char* asWav;
        const char* wavOutputs;
        const char* type;
    } cases[] = {
        {"render laser.zdl -o c1.flac", "c1.flac", "render laser.zdl -o c1.wav", "c1.wav", "flac"},
        {"render new.zdl --repeats 3 -o c2.FLAC", "c2.FLAC", "render new.zdl --repeats 3 -o c2.wav", "c2.wav", "flac"},
        {"render laser.zdl --bits 8 --rate 44100 -o c3.flac --format flac", "c3.flac",
         "render laser.zdl --bits 8 --rate 44100 -o c3.wav", "c3.wav", "flac"},
        {"render laser.zdl -o c4.ogg", "c4.ogg", "render laser.zdl -o c4.wav", "c4.wav", "ogg"},
        {"render new.zdl boom.efc --format flac -d c5", "c5/new.flac c5/boom.flac", "render new.zdl boom.efc -d w5",
         "w5/new.wav w5/boom.wav", "flac"},
        {"render new.zdl --format OGG --bits 16 -d c6", "c6/new.ogg", "render new.zdl --bits 16 -d w6", "w6/new.wav",
         "ogg"},
        {"render laser.zdl --format flac", "laser.flac", "render laser.zdl", "laser.wav", "flac"},
        {"render laser.zdl --variants 2 --format ogg -d c8", "c8/laser_001.ogg c8/laser_002.ogg",
         "render laser.zdl --variants 2 -d w8", "w8/laser_001.wav w8/laser_002.wav", "ogg"},
        {"render boom.efc --format wav -d c9", "c9/boom.wav", "render boom.efc -d w9", "w9/boom.wav", "wav"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.command);
        Outcome r = run(words(c.command));
        ASSERT_EQ(r.status, 0) << r.err.toStdString();
        r = run(words(c.asWav));
        ASSERT_EQ(r.status, 0) << r.err.toStdString();
        const QStringList outputs = words(c.outputs);
        const QStringList wavs = words(c.wavOutputs);
        ASSERT_EQ(outputs.size(), wavs.size());
        for (int i = 0; i < outputs.size(); ++i) {
            SCOPED_TRACE(outputs[i].toStdString());
            const QByteArray wav = contents(dir.filePath(wavs[i]));
            ASSERT_GT(wav.size(), 44);
            const QByteArray wavSamples = wav.mid(44);
            const int bytesPerSample = int(field32(wav, 32) & 0xFFFF);  // block align, mono
            const DecodedSound d = DecodedSound::read(dir.filePath(outputs[i]));
            ASSERT_TRUE(d.error.isEmpty()) << d.error.toStdString();
            EXPECT_EQ(d.type, QLatin1String(c.type));
            EXPECT_EQ(uint32_t(d.sampleRate), field32(wav, 24));
            EXPECT_EQ(d.channels, 1);
            EXPECT_EQ(d.frames, wavSamples.size() / bytesPerSample);
            EXPECT_EQ(d.samples.size(), size_t(wavSamples.size() / bytesPerSample));
            // sox, another reader, agrees where it is installed.
            const QString soxRate = soxiField("-r", dir.filePath(outputs[i]));
            if (!soxRate.isEmpty()) {
                EXPECT_EQ(soxRate, QString::number(field32(wav, 24)));
                EXPECT_EQ(soxiField("-c", dir.filePath(outputs[i])), QStringLiteral("1"));
                EXPECT_EQ(soxiField("-s", dir.filePath(outputs[i])),
                          QString::number(wavSamples.size() / bytesPerSample));
            }
            if (QLatin1String(c.type) != QLatin1String("ogg")) {
                EXPECT_TRUE(d.wavBytes() == wavSamples) << "the decoded samples differ from the WAV's";
            }
        }
    }
    // The standard output has no extension: --format names its type.
    const Outcome r = run(words("render laser.zdl -o - --format flac"));
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.outBytes.startsWith("fLaC"));
    EXPECT_EQ(r.outBytes, contents(path("c1.flac")));
}

// The same sound gives the same Ogg bytes on every run, to a file or to the
// standard output; another sound gets another stream serial.
TEST_F(Cli, OggOutputFollowsFromTheSoundAlone) {
    std::set<uint32_t> serials;
    for (const char* sample : {"new.zdl", "laser.zdl"}) {
        SCOPED_TRACE(sample);
        copy(sample);
        QByteArray runs[2];
        for (QByteArray& bytes : runs) {
            const Outcome r = run({QStringLiteral("render"), q(sample), QStringLiteral("-o"), QStringLiteral("x.ogg")});
            ASSERT_EQ(r.status, 0) << r.err.toStdString();
            bytes = contents(path("x.ogg"));
        }
        EXPECT_TRUE(runs[0] == runs[1]) << "two runs differ";
        const Outcome piped = run({QStringLiteral("render"), q(sample), QStringLiteral("-o"), QStringLiteral("-"),
                                   QStringLiteral("--format"), QStringLiteral("ogg")});
        ASSERT_EQ(piped.status, 0) << piped.err.toStdString();
        EXPECT_TRUE(piped.outBytes == runs[0]) << "the standard output differs from the file";
        const std::vector<uint32_t> pages = oggPageSerials(runs[0]);
        ASSERT_FALSE(pages.empty());
        serials.insert(pages[0]);
    }
    EXPECT_EQ(serials.size(), 2u) << "two sounds share a serial";
}

TEST_F(Cli, AnUnknownTypeOrOneThatDisagreesIsWrongUsage) {
    copy("new.zdl");
    const struct {
        const char* command;
        const char* message;
    } cases[] = {
        {"render new.zdl -o out.mp3", "render writes wav, flac, ogg files"},
        {"render new.zdl -o out", "render writes wav, flac, ogg files"},
        {"render new.zdl -o out.flac.mp3", "render writes wav, flac, ogg files"},
        {"render new.zdl --format mp3", "--format takes one of wav, flac, ogg."},
        {"render new.zdl --format flac -o x.ogg", "--format flac disagrees with the output x.ogg."},
        {"render new.zdl --format wav -o x.FLAC", "--format wav disagrees with the output x.FLAC."},
        {"render new.zdl --format ogg --format ogg", "--format is given more than once."},
        {"render new.zdl --format", "--format"},
        {"info new.zdl --format flac", "info does not take --format."},
        {"convert x.efc --format ogg", "convert does not take --format."},
    };
    for (const auto& c : cases) {
        const Outcome r = run(words(c.command));
        EXPECT_EQ(r.status, 2) << c.command;
        EXPECT_TRUE(r.err.contains(QLatin1String(c.message))) << c.command << ": " << r.err.toStdString();
        EXPECT_EQ(entries(dir.path()), QStringList{QStringLiteral("new.zdl")}) << c.command;
    }
}

TEST_F(Cli, WithoutDiskSpaceAnExistingFlacOrOggSurvives) {
    copy("laser.zdl");
    const QByteArray old("an existing export, kept byte for byte");
    const struct {
        const char* command;
        const char* target;
    } cases[] = {
        {"render laser.zdl -o existing.flac", "existing.flac"},
        {"render laser.zdl -o existing.ogg", "existing.ogg"},
        {"render laser.zdl --format flac", "laser.flac"},
    };
    for (const auto& c : cases) {
        {
            QFile file(path(c.target));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(old) == old.size());
        }
        const QStringList before = entries(dir.path());
        const Outcome r = runWithoutDiskSpace(words(c.command));
        EXPECT_EQ(r.status, 1) << c.command << ": " << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(QLatin1String("File too large"))) << r.err.toStdString();
        EXPECT_EQ(contents(path(c.target)), old) << c.command;
        EXPECT_EQ(entries(dir.path()), before) << c.command;
    }
}
