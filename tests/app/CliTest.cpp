#include "CliFixture.h"
#include "TestFiles.h"
#include "cli/SoundReport.h"
#include "core/SoundModel.h"
#include "core/WavImage.h"
#include "storage/EfcFile.h"
#include "storage/ZdlFile.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

// One field of soxi's report on a WAV file.
QString soxi(const char* flag, const QString& file) {
    QProcess process;
    process.start(QStringLiteral("soxi"), {QLatin1String(flag), file});
    process.waitForFinished(30000);
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

SoundSettings settingsOf(const QString& file) {
    const ReadResult read = file.endsWith(QLatin1String("efc")) ? efc::read(file) : zdl::read(file);
    EXPECT_TRUE(read.ok) << file.toStdString();
    return read.settings;
}

}  // namespace

TEST_F(Cli, HelpAndVersion) {
    Outcome r = run({QStringLiteral("--version")});
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^zindle-cli \\d+\\.\\d+\\.\\d+\\n$")).match(r.out).hasMatch())
        << r.out.toStdString();
    r = run({QStringLiteral("--help")});
    EXPECT_EQ(r.status, 0);
    for (const char* command :
         {"render IN...", "info IN...", "convert IN...", "new -o OUT.zdl|OUT.json", "--to zdl|json",
          "--format wav|flac|ogg", "--repeats", "templates\n", "generate TEMPLATE", "mutate IN", "--variants K",
          "--amount", "--count", "--from BASE [--keep PARTS]"})
        EXPECT_TRUE(r.out.contains(QLatin1String(command))) << command;
    // The program by its name, whatever path started it, and only its own options.
    EXPECT_TRUE(r.out.startsWith(QLatin1String("Usage: zindle-cli [options] command [IN...]\n")))
        << r.out.toStdString();
    EXPECT_FALSE(r.out.contains(kCli)) << r.out.toStdString();
    EXPECT_FALSE(r.out.contains(QLatin1String("Qt"))) << r.out.toStdString();
    EXPECT_FALSE(r.out.contains(QLatin1String("--help-all"))) << r.out.toStdString();
    EXPECT_EQ(run({QStringLiteral("-h")}).out, r.out);
}

// The last bytes may still sit in a buffer when the command ends: only a
// flush shows that the output (here a full device) did not take them.
TEST_F(Cli, AStandardOutputThatCannotBeWrittenFailsEveryCommand) {
    copy("new.zdl");
    const QStringList cases[] = {
        arguments({"info", "new.zdl"}),
        arguments({"info", "--json", "new.zdl"}),
        arguments({"info", "--json", "new.zdl", "new.zdl"}),
        arguments({"templates"}),
        arguments({"--help"}),
        arguments({"--version"}),
        arguments({"render", "new.zdl", "-o", "-"}),
        arguments({"convert", "new.zdl", "-o", "-", "--to", "json"}),
        arguments({"new", "-o", "-"}),
        arguments({"generate", "coin", "-o", "-"}),
        arguments({"mutate", "new.zdl", "-o", "-"}),
    };
    for (const QStringList& command : cases) {
        const Outcome r = runWithOutputTo(QStringLiteral("/dev/full"), command);
        EXPECT_EQ(r.status, 1) << command.join(' ').toStdString();
        EXPECT_TRUE(r.err.startsWith(QLatin1String("zindle-cli: "))) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(QLatin1String("No space left on device"))) << r.err.toStdString();
    }
    // A command that prints nothing has nothing to fail.
    const Outcome r = runWithOutputTo(QStringLiteral("/dev/full"), arguments({"render", "new.zdl", "-o", "x.wav"}));
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
}

TEST_F(Cli, WrongUsageExits2AndWritesNothing) {
    copy("new.zdl");
    const QStringList cases[] = {
        {},
        {QStringLiteral("play"), QStringLiteral("new.zdl")},
        {QStringLiteral("render")},
        {QStringLiteral("render"), QStringLiteral("new.zdl"), QStringLiteral("new.zdl"), QStringLiteral("-o"),
         QStringLiteral("x.wav")},
        {QStringLiteral("render"), QStringLiteral("new.zdl"), QStringLiteral("-o"), QStringLiteral("x.wav"),
         QStringLiteral("-d"), QStringLiteral(".")},
        {QStringLiteral("render"), QStringLiteral("new.zdl"), QStringLiteral("--rate"), QStringLiteral("8000")},
        {QStringLiteral("render"), QStringLiteral("new.zdl"), QStringLiteral("--bits"), QStringLiteral("24")},
        {QStringLiteral("render"), QStringLiteral("new.zdl"), QStringLiteral("--repeats"), QStringLiteral("0")},
        {QStringLiteral("render"), QStringLiteral("new.zdl"), QStringLiteral("--repeats"), QStringLiteral("eleven")},
        {QStringLiteral("render"), QStringLiteral("new.zdl"), QStringLiteral("--json")},
        {QStringLiteral("info"), QStringLiteral("new.zdl"), QStringLiteral("--rate"), QStringLiteral("11025")},
        {QStringLiteral("info"), QStringLiteral("new.zdl"), QStringLiteral("--frobnicate")},
        {QStringLiteral("convert"), QStringLiteral("x.efc"), QStringLiteral("--bits"), QStringLiteral("8")},
        {QStringLiteral("new")},
        {QStringLiteral("new"), QStringLiteral("new.zdl"), QStringLiteral("-o"), QStringLiteral("y.zdl")},
        {QStringLiteral("new"), QStringLiteral("-d"), QStringLiteral(".")},
        // An output whose extension is not what the command writes.
        {QStringLiteral("render"), QStringLiteral("new.zdl"), QStringLiteral("-o"), QStringLiteral("out.mp3")},
        {QStringLiteral("render"), QStringLiteral("new.zdl"), QStringLiteral("-o"), QStringLiteral("out")},
        {QStringLiteral("convert"), QStringLiteral("x.efc"), QStringLiteral("-o"), QStringLiteral("x.wav")},
        {QStringLiteral("new"), QStringLiteral("-o"), QStringLiteral("fresh.txt")},
        // An option given twice.
        {QStringLiteral("render"), QStringLiteral("new.zdl"), QStringLiteral("-o"), QStringLiteral("a.wav"),
         QStringLiteral("-o"), QStringLiteral("b.wav")},
        {QStringLiteral("render"), QStringLiteral("new.zdl"), QStringLiteral("--rate"), QStringLiteral("11025"),
         QStringLiteral("--rate"), QStringLiteral("22050")},
        {QStringLiteral("info"), QStringLiteral("new.zdl"), QStringLiteral("--json"), QStringLiteral("--json")},
        // A Qt option the tool does not take.
        {QStringLiteral("--help-all")},
        // convert with no output named, of an input that is not old-style.
        {QStringLiteral("convert"), QStringLiteral("new.zdl")},
        {QStringLiteral("convert"), QStringLiteral("x.json")},
        {QStringLiteral("convert"), QStringLiteral("x.efc"), QStringLiteral("new.zdl")},
    };
    for (const QStringList& arguments : cases) {
        const Outcome r = run(arguments);
        EXPECT_EQ(r.status, 2) << arguments.join(' ').toStdString();
        EXPECT_TRUE(r.err.startsWith(QLatin1String("zindle-cli: "))) << r.err.toStdString();
        EXPECT_EQ(entries(dir.path()), QStringList{QStringLiteral("new.zdl")}) << arguments.join(' ').toStdString();
    }
}

TEST_F(Cli, NewWritesTheNewSound) {
    const Outcome r = run({QStringLiteral("new"), QStringLiteral("-o"), QStringLiteral("fresh.zdl")});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(contents(path("fresh.zdl")).size(), 138);
    EXPECT_EQ(contents(path("fresh.zdl")), contents(kSounds + QStringLiteral("new.zdl")));
}

TEST_F(Cli, RenderWritesAWavThatSoxReads) {
    if (QStandardPaths::findExecutable(QStringLiteral("soxi")).isEmpty()) GTEST_SKIP() << "soxi is not installed";
    const struct {
        const char* input;
        QStringList options;
        const char* rate;
        const char* bits;
    } cases[] = {
        {"laser.zdl", {}, "22050", "16"},
        {"new.zdl", {}, "11025", "8"},
        {"boom.efc", {}, "11025", "8"},
        {"old-v1000.zdl", {}, "44100", "8"},
        {"laser.zdl",
         {QStringLiteral("--rate"), QStringLiteral("44100"), QStringLiteral("--bits"), QStringLiteral("8"),
          QStringLiteral("--repeats"), QStringLiteral("5")},
         "44100",
         "8"},
    };
    int n = 0;
    for (const auto& c : cases) {
        const QString output = dir.filePath(QStringLiteral("out%1.wav").arg(++n));
        const Outcome r =
            run(QStringList{QStringLiteral("render"), kSounds + QLatin1String(c.input), QStringLiteral("-o"), output} +
                c.options);
        ASSERT_EQ(r.status, 0) << c.input << ": " << r.err.toStdString();

        SoundSettings s = settingsOf(kSounds + QLatin1String(c.input));
        s.sampleRate = QString::fromLatin1(c.rate).toInt();
        s.bitsPerSample = QString::fromLatin1(c.bits).toInt();
        if (c.options.contains(QStringLiteral("--repeats"))) s.repeatCount = 5;
        const int64_t samples = int64_t(soundreport::measure(s).totalSamples) * s.repeatCount;
        EXPECT_EQ(soxi("-r", output), QLatin1String(c.rate)) << c.input;
        EXPECT_EQ(soxi("-b", output), QLatin1String(c.bits)) << c.input;
        EXPECT_EQ(soxi("-c", output), QStringLiteral("1")) << c.input;
        EXPECT_EQ(soxi("-s", output), QString::number(samples)) << c.input;
    }
}

TEST_F(Cli, RenderToAFolderHoldsExactlyWhatPlayWouldPlay) {
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("wav")));
    const Outcome r =
        run({QStringLiteral("render"), kSounds + QStringLiteral("new.zdl"), kSounds + QStringLiteral("laser.zdl"),
             kSounds + QStringLiteral("boom.efc"), QStringLiteral("-d"), QStringLiteral("wav")});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(entries(path("wav")),
              (QStringList{QStringLiteral("boom.wav"), QStringLiteral("laser.wav"), QStringLiteral("new.wav")}));
    for (const char* name : {"new", "laser", "boom"}) {
        SoundModel model;
        model.settings = settingsOf(kSounds + QLatin1String(name) + (name[0] == 'b' ? ".efc" : ".zdl"));
        model.applyAll();
        const WavImage image = model.rendered.wavImage(model.settings.repeatCount);
        ASSERT_FALSE(image.empty());
        const QByteArray expected(reinterpret_cast<const char*>(image.data()), qsizetype(image.size()));
        EXPECT_EQ(contents(dir.filePath(QStringLiteral("wav/%1.wav").arg(QLatin1String(name)))), expected) << name;
    }
}

// The rates, widths and repeat counts the editor offers, and nothing else:
// each edge of the range renders, each value beyond it is refused by name.
TEST_F(Cli, QualityOptionsTakeWhatTheEditorOffers) {
    copy("new.zdl");  // 400 ms at 11025 Hz, 8 bit: 4410 bytes
    const struct {
        const char* options;
        uint32_t rate, bits, dataBytes;  // of the written WAV file
        const char* refusal;
    } cases[] = {
        {"--rate 11025", 11025, 8, 4410, nullptr},
        {"--rate 22050", 22050, 8, 8820, nullptr},
        {"--rate 44100 --bits 16", 44100, 16, 35280, nullptr},
        {"--bits 8", 11025, 8, 4410, nullptr},
        {"--repeats 1", 11025, 8, 4410, nullptr},
        {"--repeats 10", 11025, 8, 44100, nullptr},
        {"--rate 8000", 0, 0, 0, "--rate takes 11025, 22050 or 44100."},
        {"--rate 44101", 0, 0, 0, "--rate takes 11025, 22050 or 44100."},
        {"--bits 24", 0, 0, 0, "--bits takes 8 or 16."},
        {"--repeats 0", 0, 0, 0, "--repeats takes a number from 1 to 10."},
        {"--repeats 11", 0, 0, 0, "--repeats takes a number from 1 to 10."},
    };
    for (const auto& c : cases) {
        QFile::remove(path("x.wav"));
        const Outcome r = run(QStringList{QStringLiteral("render"), QStringLiteral("new.zdl"), QStringLiteral("-o"),
                                          QStringLiteral("x.wav")} +
                              QString::fromLatin1(c.options).split(QLatin1Char(' ')));
        if (c.refusal) {
            EXPECT_EQ(r.status, 2) << c.options;
            EXPECT_TRUE(r.err.contains(QLatin1String(c.refusal))) << c.options << ": " << r.err.toStdString();
            EXPECT_FALSE(QFile::exists(path("x.wav"))) << c.options;
            continue;
        }
        ASSERT_EQ(r.status, 0) << c.options << ": " << r.err.toStdString();
        const QByteArray wav = contents(path("x.wav"));
        ASSERT_EQ(wav.size(), qsizetype(44 + c.dataBytes)) << c.options;
        const auto* header = reinterpret_cast<const uint8_t*>(wav.constData());
        EXPECT_EQ(le::get32(header + 24), c.rate) << c.options;
        EXPECT_EQ(le::get16(header + 34), c.bits) << c.options;
    }
    const Outcome help = run({QStringLiteral("--help")});
    for (const char* line :
         {"repeat the sound N times (1..10).", "sample rate, 11025, 22050 or 44100.", "sample width, 8 or 16."})
        EXPECT_TRUE(help.out.contains(QLatin1String(line))) << line;
}

TEST_F(Cli, ABadInputIsNamedAndTheOthersAreStillDone) {
    copy("new.zdl");
    copy("bad-rate.zdl");
    copy("short.efc");
    const Outcome r = run({QStringLiteral("render"), QStringLiteral("bad-rate.zdl"), QStringLiteral("new.zdl"),
                           QStringLiteral("short.efc"), QStringLiteral("missing.zdl")});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains(QLatin1String("bad-rate.zdl: The sample rate 8000 is not 11025, 22050 or 44100.")));
    EXPECT_TRUE(r.err.contains(QLatin1String("short.efc: The file ends early.")));
    EXPECT_TRUE(r.err.contains(QLatin1String("missing.zdl: The file does not exist.")));
    EXPECT_EQ(entries(dir.path()), (QStringList{QStringLiteral("bad-rate.zdl"), QStringLiteral("new.wav"),
                                                QStringLiteral("new.zdl"), QStringLiteral("short.efc")}));
}

TEST_F(Cli, AFailedOutputLeavesNoFileAndHarmsNoExistingOne) {
    copy("new.zdl");
    copy("bad-rate.zdl");
    const QByteArray old("keep me");
    {
        QFile file(path("old.wav"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(old) == old.size());
    }
    copy("new.zdl", "self.wav");  // a sound whose name happens to end in .wav
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("taken.wav")));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("taken.zdl")));
    const QStringList before = entries(dir.path());
    const QStringList cases[] = {
        {QStringLiteral("render"), QStringLiteral("new.zdl"), QStringLiteral("-o"),
         QStringLiteral("no/such/folder/x.wav")},
        {QStringLiteral("render"), QStringLiteral("new.zdl"), QStringLiteral("-o"), QStringLiteral("taken.wav")},
        {QStringLiteral("render"), QStringLiteral("new.zdl"), QStringLiteral("-o"), QStringLiteral("new.zdl/x.wav")},
        {QStringLiteral("render"), QStringLiteral("new.zdl"), QStringLiteral("-d"), QStringLiteral("new.zdl")},
        {QStringLiteral("render"), QStringLiteral("bad-rate.zdl"), QStringLiteral("-o"), QStringLiteral("old.wav")},
        {QStringLiteral("render"), QStringLiteral("self.wav"), QStringLiteral("-o"), QStringLiteral("self.wav")},
        {QStringLiteral("new"), QStringLiteral("-o"), QStringLiteral("taken.zdl")},
        {QStringLiteral("new"), QStringLiteral("-o"), QStringLiteral("no/such/folder/x.zdl")},
    };
    for (const QStringList& arguments : cases) {
        const Outcome r = run(arguments);
        EXPECT_EQ(r.status, 1) << arguments.join(' ').toStdString();
        EXPECT_FALSE(r.err.isEmpty()) << arguments.join(' ').toStdString();
        EXPECT_EQ(entries(dir.path()), before) << arguments.join(' ').toStdString();
    }
    EXPECT_EQ(contents(path("old.wav")), old);
    EXPECT_EQ(contents(path("new.zdl")), contents(kSounds + QStringLiteral("new.zdl")));
}

TEST_F(Cli, TwoInputsOfTheSameNameDoNotOverwriteEachOther) {
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("a")));
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("b")));
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("out")));
    copy("new.zdl", "a/x.zdl");
    copy("laser.zdl", "b/x.zdl");
    const Outcome r = run({QStringLiteral("render"), QStringLiteral("a/x.zdl"), QStringLiteral("b/x.zdl"),
                           QStringLiteral("-d"), QStringLiteral("out")});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains(QLatin1String("b/x.zdl"))) << r.err.toStdString();
    EXPECT_EQ(soundreport::measure(settingsOf(path("a/x.zdl"))).dataBytes + 44, contents(path("out/x.wav")).size());
}

TEST_F(Cli, InfoPrintsSettingsAndFigures) {
    const Outcome r =
        run({QStringLiteral("info"), kSounds + QStringLiteral("laser.zdl"), kSounds + QStringLiteral("boom.efc")});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    for (const char* line :
         {"laser.zdl\n", "  version: 1001\n", "  waveform: 200 Square\n",
          "  amplitude: 3 points: (0, 1) (0.1, 0.8) (1, 0)\n", "  echoDelay: 0.25\n", "  repeatCount: 2\n",
          "  bitsPerSample: 16\n", "  lengthMs: 900.00006\n", "  totalMs: 1575.0001\n", "  mainSamples: 19845\n",
          "  totalSamples: 34728\n", "  dataBytes: 69456\n", "boom.efc\n", "  version: old-style",
          "  waveform: 200 Square\n", "  echoVolume: 0.25\n", "  repeatCount: 3\n", "  clippedSamples: "})
        EXPECT_TRUE(r.out.contains(QLatin1String(line))) << line << "\n" << r.out.toStdString();
}

TEST_F(Cli, InfoJsonIsOneObjectPerInput) {
    Outcome r = run({QStringLiteral("info"), QStringLiteral("--json"), kSounds + QStringLiteral("new.zdl")});
    ASSERT_EQ(r.status, 0);
    QJsonDocument doc = QJsonDocument::fromJson(r.out.toUtf8());
    ASSERT_TRUE(doc.isObject()) << r.out.toStdString();
    EXPECT_EQ(doc.object()[QStringLiteral("sampleRate")].toInt(), 11025);
    EXPECT_EQ(doc.object()[QStringLiteral("amplitude")].toArray()[1].toArray()[0].toDouble(), 0.2);

    copy("bad-rate.zdl");
    r = run({QStringLiteral("info"), QStringLiteral("--json"), kSounds + QStringLiteral("new.zdl"),
             QStringLiteral("bad-rate.zdl"), kSounds + QStringLiteral("old-v1000.zdl")});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains(QLatin1String("bad-rate.zdl: The sample rate 8000")));
    doc = QJsonDocument::fromJson(r.out.toUtf8());
    ASSERT_TRUE(doc.isArray()) << r.out.toStdString();
    ASSERT_EQ(doc.array().size(), 2);
    EXPECT_EQ(doc.array()[1].toObject()[QStringLiteral("version")].toInt(), 1000);
    EXPECT_EQ(doc.array()[1].toObject()[QStringLiteral("totalSamples")].toInt(), 17640);
}

TEST_F(Cli, ConvertWritesVersion1001Files) {
    copy("boom.efc");
    copy("boom.efc", "LOUD.EFC");
    copy("new.zdl");
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("zdl")));
    const SoundSettings expected = settingsOf(kSounds + QStringLiteral("boom.efc"));

    Outcome r = run({QStringLiteral("convert"), QStringLiteral("boom.efc"), QStringLiteral("LOUD.EFC")});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    r = run({QStringLiteral("convert"), QStringLiteral("boom.efc"), QStringLiteral("-o"), QStringLiteral("named.zdl")});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    r = run({QStringLiteral("convert"), QStringLiteral("boom.efc"), QStringLiteral("-d"), QStringLiteral("zdl")});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    for (const char* output : {"boom.zdl", "LOUD.zdl", "named.zdl", "zdl/boom.zdl"}) {
        const ReadResult read = zdl::read(path(output));
        ASSERT_TRUE(read.ok) << output;
        EXPECT_EQ(read.version, 1001) << output;
        EXPECT_EQ(read.settings, expected) << output;
    }
    EXPECT_EQ(contents(path("boom.efc")), contents(kSounds + QStringLiteral("boom.efc")));

    r = run({QStringLiteral("convert"), QStringLiteral("new.zdl")});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.err.startsWith(QLatin1String("zindle-cli: new.zdl is not an old-style file"))) << r.err.toStdString();
}

TEST_F(Cli, ConvertBesideTheInputNeverReplacesAnExistingSound) {
    copy("boom.efc");
    copy("new.zdl", "boom.zdl");  // edited and saved since the conversion
    const QByteArray edited = contents(path("boom.zdl"));
    Outcome r = run({QStringLiteral("convert"), QStringLiteral("boom.efc")});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains(QLatin1String("already exists"))) << r.err.toStdString();
    EXPECT_EQ(contents(path("boom.zdl")), edited);
    // Named on purpose, it is replaced.
    r = run({QStringLiteral("convert"), QStringLiteral("boom.efc"), QStringLiteral("-o"), QStringLiteral("boom.zdl")});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_NE(contents(path("boom.zdl")), edited);
}

// Another name of an input, a link of either kind, is that input: writing
// through it would replace the sound it is made from.
TEST_F(Cli, AnOutputLinkedToAnInputIsRefused) {
    copy("new.zdl", "a.zdl");
    const QByteArray original = contents(path("a.zdl"));
    ASSERT_TRUE(QFile::link(path("a.zdl"), path("symbolic.wav")));
    ASSERT_EQ(::link(QFile::encodeName(path("a.zdl")).constData(), QFile::encodeName(path("hard.wav")).constData()), 0);
    for (const char* output : {"symbolic.wav", "hard.wav"}) {
        const Outcome r = run({q("render"), q("a.zdl"), q("-o"), q(output)});
        EXPECT_EQ(r.status, 1) << output;
        EXPECT_TRUE(r.err.contains(QLatin1String("one of the inputs"))) << output << ": " << r.err.toStdString();
        EXPECT_EQ(contents(path("a.zdl")), original) << output;
    }
}

TEST_F(Cli, AnOutputOfTheWrongKindNamesTheExtensionItWants) {
    copy("new.zdl");
    const Outcome r =
        run({QStringLiteral("render"), QStringLiteral("new.zdl"), QStringLiteral("-o"), QStringLiteral("out.mp3")});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.err.contains(QLatin1String("render writes wav, flac, ogg files"))) << r.err.toStdString();
    // Either case of the extension will do.
    EXPECT_EQ(
        run({QStringLiteral("render"), QStringLiteral("new.zdl"), QStringLiteral("-o"), QStringLiteral("OUT.WAV")})
            .status,
        0);
    EXPECT_EQ(run({QStringLiteral("new"), QStringLiteral("-o"), QStringLiteral("Fresh.ZDL")}).status, 0);
}

TEST_F(Cli, AMissingOutputFolderIsMadeWithItsParents) {
    copy("new.zdl");
    copy("laser.zdl");
    const Outcome r = run({QStringLiteral("render"), QStringLiteral("new.zdl"), QStringLiteral("laser.zdl"),
                           QStringLiteral("-d"), QStringLiteral("out/sfx")});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(entries(path("out/sfx")), (QStringList{QStringLiteral("laser.wav"), QStringLiteral("new.wav")}));
}

// Devices and pipes are written as they are, never replaced by a file.
TEST_F(Cli, StandardOutputAndDevicesAreWrittenInPlace) {
    copy("laser.zdl");
    ASSERT_EQ(
        run({QStringLiteral("render"), QStringLiteral("laser.zdl"), QStringLiteral("-o"), QStringLiteral("laser.wav")})
            .status,
        0);
    const QByteArray wav = contents(path("laser.wav"));
    for (const char* output : {"-", "/dev/stdout"}) {
        const Outcome r =
            run({QStringLiteral("render"), QStringLiteral("laser.zdl"), QStringLiteral("-o"), QLatin1String(output)});
        EXPECT_EQ(r.status, 0) << output << ": " << r.err.toStdString();
        EXPECT_EQ(r.outBytes, wav) << output;
    }
    const Outcome r = run({QStringLiteral("new"), QStringLiteral("-o"), QStringLiteral("/dev/null")});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_FALSE(QFileInfo(QStringLiteral("/dev/null")).isFile()) << "the device node was replaced";
}

// The whole process under a zero file-size limit: every output fails with
// the system's reason, exit 1, and each existing file keeps its bytes.
TEST_F(Cli, WithoutDiskSpaceEveryOutputFailsAndExistingFilesSurvive) {
    copy("laser.zdl");
    copy("boom.efc");
    const QByteArray old("an existing output, kept byte for byte");
    const QStringList cases[] = {
        {QStringLiteral("new"), QStringLiteral("-o"), QStringLiteral("existing.zdl")},
        {QStringLiteral("convert"), QStringLiteral("boom.efc"), QStringLiteral("-o"), QStringLiteral("existing.zdl")},
        {QStringLiteral("render"), QStringLiteral("laser.zdl"), QStringLiteral("-o"), QStringLiteral("existing.wav")},
    };
    for (const QStringList& arguments : cases) {
        const QString target = path(arguments.last().toLatin1().constData());
        {
            QFile file(target);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(old) == old.size());
        }
        const QStringList before = entries(dir.path());
        const Outcome r = runWithoutDiskSpace(arguments);
        EXPECT_EQ(r.status, 1) << arguments.join(' ').toStdString() << ": " << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(QLatin1String("File too large"))) << r.err.toStdString();
        EXPECT_EQ(contents(target), old) << arguments.join(' ').toStdString();
        EXPECT_EQ(entries(dir.path()), before);
    }
}

// Old-style files whose stored end times are out of order: render, info and
// convert all see the curve with its ends set first, then repaired.
TEST_F(Cli, OldStyleEndTimesAreSetBeforeTheOrderIsRepaired) {
    const struct {
        std::vector<std::pair<int16_t, int16_t>> points;
        std::vector<std::pair<double, double>> curve;
    } cases[] = {
        {{{40, 192}, {10, 128}, {256, 0}}, {{0, 0.75}, {0.0390625, 0.5}, {1, 0}}},
        {{{0, 64}, {128, 64}, {100, 0}}, {{0, 0.25}, {0.5, 0.25}, {1, 0}}},
    };
    for (const auto& c : cases) {
        testfiles::EfcRecord record;
        record.amplitude = c.points;
        ASSERT_TRUE(testfiles::writeFile(path("old.efc"), record.bytes()));
        QFile::remove(path("old.zdl"));

        const Outcome info = run({QStringLiteral("info"), QStringLiteral("--json"), QStringLiteral("old.efc")});
        ASSERT_EQ(info.status, 0) << info.err.toStdString();
        const QJsonArray points =
            QJsonDocument::fromJson(info.outBytes).object()[QStringLiteral("amplitude")].toArray();
        ASSERT_EQ(points.size(), int(c.curve.size()));
        for (int i = 0; i < points.size(); ++i) {
            EXPECT_EQ(points[i].toArray()[0].toDouble(), c.curve[size_t(i)].first) << i;
            EXPECT_EQ(points[i].toArray()[1].toDouble(), c.curve[size_t(i)].second) << i;
        }

        ASSERT_EQ(run({QStringLiteral("convert"), QStringLiteral("old.efc")}).status, 0);
        const SoundSettings converted = settingsOf(path("old.zdl"));
        for (size_t i = 0; i < c.curve.size(); ++i)
            EXPECT_EQ(converted.amplitude.time(int(i)), float(c.curve[i].first)) << i;

        ASSERT_EQ(
            run({QStringLiteral("render"), QStringLiteral("old.efc"), QStringLiteral("-o"), QStringLiteral("a.wav")})
                .status,
            0);
        ASSERT_EQ(
            run({QStringLiteral("render"), QStringLiteral("old.zdl"), QStringLiteral("-o"), QStringLiteral("b.wav")})
                .status,
            0);
        EXPECT_EQ(contents(path("a.wav")), contents(path("b.wav")));
    }
}
