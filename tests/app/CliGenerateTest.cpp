// zindle-cli's templates, generate and mutate commands and render --variants,
// each checked against the library functions they stand for.
#include "CliFixture.h"
#include "core/KeptParts.h"
#include "core/SoundMutation.h"
#include "core/SoundTemplates.h"
#include "storage/SoundFile.h"
#include "storage/ZdlFile.h"

#include <QStringList>

#include "TestBytes.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

SoundSettings readSettings(const QString& file) {
    const ReadResult read = soundfile::read(file);
    EXPECT_TRUE(read.ok) << file.toStdString() << ": " << read.error.toStdString();
    return read.settings;
}

// One file a command should write and the seed it should come from.
struct Written {
    const char* file;
    uint64_t seed;
};

}  // namespace

TEST_F(Cli, TemplatesListsTheTemplateNames) {
    const Outcome r = run({q("templates")});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    QString expected;
    for (const std::string& name : sound_templates::names()) expected += QString::fromStdString(name) + '\n';
    EXPECT_EQ(r.out, expected);
    EXPECT_TRUE(r.err.isEmpty());
}

TEST_F(Cli, GenerateWritesTheTemplatesSoundForEachSeed) {
    const struct {
        const char* name;
        QStringList options;
        std::vector<Written> files;
    } cases[] = {
        {"coin", arguments({"-o", "a.zdl"}), {{"a.zdl", 1}}},
        {"laser", arguments({"--seed", "7", "-o", "b.zdl"}), {{"b.zdl", 7}}},
        {"hit", arguments({"--seed", "18446744073709551615", "-o", "c.zdl"}), {{"c.zdl", UINT64_MAX}}},
        {"jump", arguments({"-d", "one/two"}), {{"one/two/jump_001.zdl", 1}}},
        {"random",
         arguments({"--seed", "3", "--count", "3", "-d", "out"}),
         {{"out/random_001.zdl", 3}, {"out/random_002.zdl", 4}, {"out/random_003.zdl", 5}}},
        {"blip", arguments({"--count", "2", "-d", "out"}), {{"out/blip_001.zdl", 1}, {"out/blip_002.zdl", 2}}},
        {"coin",
         arguments({"--seed", "18446744073709551614", "--count", "2", "-d", "last"}),
         {{"last/coin_001.zdl", UINT64_MAX - 1}, {"last/coin_002.zdl", UINT64_MAX}}},
    };
    for (const auto& c : cases) {
        const QStringList args = QStringList{q("generate"), q(c.name)} + c.options;
        const Outcome r = run(args);
        ASSERT_EQ(r.status, 0) << args.join(' ').toStdString() << ": " << r.err.toStdString();
        for (const Written& w : c.files) {
            const std::optional<SoundSettings> expected =
                sound_templates::generate(c.name, w.seed, testfiles::newSound());
            ASSERT_TRUE(expected);
            EXPECT_EQ(readSettings(path(w.file)), *expected) << w.file;
        }
    }
    EXPECT_EQ(entries(path("out")),
              arguments({"blip_001.zdl", "blip_002.zdl", "random_001.zdl", "random_002.zdl", "random_003.zdl"}));
    EXPECT_EQ(readSettings(path("a.zdl")).sampleRate, 11025);
    EXPECT_EQ(readSettings(path("a.zdl")).bitsPerSample, 8);
}

TEST_F(Cli, MutateWritesTheVariationsOfItsInput) {
    copy("laser.zdl");
    copy("boom.efc");
    const struct {
        const char* input;
        QStringList options;
        float amount;
        std::vector<Written> files;
    } cases[] = {
        {"laser.zdl", arguments({"-o", "a.zdl"}), 0.1f, {{"a.zdl", 1}}},
        {"laser.zdl", arguments({"--seed", "9", "--amount", "0.5", "-o", "b.zdl"}), 0.5f, {{"b.zdl", 9}}},
        {"laser.zdl", arguments({"--amount", "1", "--seed", "0", "-o", "c.zdl"}), 1.0f, {{"c.zdl", 0}}},
        {"laser.zdl", arguments({"--amount", "0", "-o", "d.zdl"}), 0.0f, {{"d.zdl", 1}}},
        {"boom.efc",
         arguments({"--seed", "4", "--amount", ".25", "--count", "2", "-d", "out"}),
         0.25f,
         {{"out/boom_001.zdl", 4}, {"out/boom_002.zdl", 5}}},
    };
    for (const auto& c : cases) {
        const QStringList args = QStringList{q("mutate"), q(c.input)} + c.options;
        const Outcome r = run(args);
        ASSERT_EQ(r.status, 0) << args.join(' ').toStdString() << ": " << r.err.toStdString();
        const SoundSettings input = readSettings(path(c.input));
        for (const Written& w : c.files)
            EXPECT_EQ(readSettings(path(w.file)), sound_mutation::mutate(input, w.seed, c.amount)) << w.file;
    }
    EXPECT_EQ(readSettings(path("d.zdl")), readSettings(path("laser.zdl")));
    EXPECT_NE(readSettings(path("out/boom_001.zdl")), readSettings(path("out/boom_002.zdl")));
    EXPECT_EQ(contents(path("laser.zdl")), contents(kSounds + q("laser.zdl")));
}

// --from gives the base's quality (as the editor's Generate menu keeps the
// open sound's) and --keep its parts: the library's sound for the same seed,
// base and parts, to -o and to numbered files.
TEST_F(Cli, KeptPartsComeFromTheBase) {
    copy("laser.zdl");
    copy("boom.efc");
    const SoundSettings laser = readSettings(path("laser.zdl"));
    const SoundSettings boom = readSettings(path("boom.efc"));
    const KeptParts none;
    const struct {
        QStringList arguments;
        const char* file;
        bool mutate;
        const char* templateName;
        const SoundSettings& base;
        uint64_t seed;
        KeptParts kept;
    } cases[] = {
        {arguments({"generate", "coin", "--seed", "7", "--from", "laser.zdl", "-o", "a.zdl"}), "a.zdl", false, "coin",
         laser, 7, none},
        {arguments(
             {"generate", "coin", "--seed", "7", "--from", "laser.zdl", "--keep", "amplitude,waveform", "-o", "b.zdl"}),
         "b.zdl", false, "coin", laser, 7, KeptParts{SoundPart::Amplitude, SoundPart::Waveform}},
        {arguments({"generate", "random", "--seed", "8", "--count", "2", "--from", "boom.efc", "--keep",
                    "quality,length,effects", "-d", "g"}),
         "g/random_002.zdl", false, "random", boom, 9,
         KeptParts{SoundPart::Quality, SoundPart::Length, SoundPart::Effects}},
        {arguments({"mutate", "laser.zdl", "--seed", "3", "--keep", "frequency", "-o", "c.zdl"}), "c.zdl", true, "",
         laser, 3, KeptParts{SoundPart::Frequency}},
        {arguments(
             {"mutate", "boom.efc", "--seed", "5", "--count", "2", "--keep", "waveform,quality,amplitude", "-d", "m"}),
         "m/boom_001.zdl", true, "", boom, 5, KeptParts{SoundPart::Waveform, SoundPart::Quality, SoundPart::Amplitude}},
    };
    for (const auto& c : cases) {
        const Outcome r = run(c.arguments);
        ASSERT_EQ(r.status, 0) << c.arguments.join(' ').toStdString() << ": " << r.err.toStdString();
        const SoundSettings expected =
            c.mutate ? sound_mutation::mutate(c.base, c.seed, sound_mutation::kDefaultAmount, c.kept)
                     : *sound_templates::generate(c.templateName, c.seed, c.base, c.kept);
        EXPECT_EQ(readSettings(path(c.file)), expected) << c.file;
    }
    EXPECT_EQ(readSettings(path("a.zdl")).sampleRate, laser.sampleRate);
    EXPECT_NE(readSettings(path("a.zdl")), readSettings(path("b.zdl")));

    // A base that cannot be read writes nothing; no output may replace the base.
    Outcome r = run(arguments({"generate", "coin", "--from", "missing.zdl", "-o", "d.zdl"}));
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains(q("missing.zdl: The file does not exist."))) << r.err.toStdString();
    EXPECT_FALSE(QFile::exists(path("d.zdl")));
    r = run(arguments({"generate", "coin", "--from", "laser.zdl", "--keep", "length", "-o", "laser.zdl"}));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(contents(path("laser.zdl")), contents(kSounds + q("laser.zdl")));
}

TEST_F(Cli, TheSameSeedGivesTheSameBytes) {
    copy("laser.zdl");
    const QStringList commands[] = {
        arguments({"generate", "explosion", "--seed", "42"}),
        arguments({"mutate", "laser.zdl", "--seed", "42", "--amount", "0.3"}),
    };
    for (const QStringList& command : commands) {
        ASSERT_EQ(run(command + arguments({"-o", "x.zdl"})).status, 0);
        ASSERT_EQ(run(command + arguments({"-o", "y.zdl"})).status, 0);
        EXPECT_EQ(contents(path("x.zdl")), contents(path("y.zdl"))) << command.join(' ').toStdString();
        QStringList other = command;
        other[3] = q("43");
        ASSERT_EQ(run(other + arguments({"-o", "y.zdl"})).status, 0);
        EXPECT_NE(contents(path("x.zdl")), contents(path("y.zdl"))) << other.join(' ').toStdString();
    }
}

// Each variant is what rendering the matching mutate output gives.
TEST_F(Cli, RenderVariantsAreTheRendersOfMutatedSounds) {
    copy("laser.zdl");
    const struct {
        QStringList options;
        QStringList renderOptions;
        const char* folder;
        uint64_t seed;
        const char* amount;
        int count;
    } cases[] = {
        {arguments({"--variants", "3", "--seed", "5", "--amount", "0.3", "-d", "wav"}), {}, "wav/", 5, "0.3", 3},
        {arguments({"--variants", "2"}), {}, "", 1, "0.1", 2},
        {arguments({"--variants", "1", "--bits", "8", "--rate", "44100", "--repeats", "2", "-d", "hi"}),
         arguments({"--bits", "8", "--rate", "44100", "--repeats", "2"}), "hi/", 1, "0.1", 1},
    };
    for (const auto& c : cases) {
        const QStringList args = arguments({"render", "laser.zdl"}) + c.options;
        const Outcome r = run(args);
        ASSERT_EQ(r.status, 0) << args.join(' ').toStdString() << ": " << r.err.toStdString();
        for (int i = 0; i < c.count; ++i) {
            const QStringList mutate = {
                q("mutate"),   q("laser.zdl"), q("--seed"), QString::number(c.seed + uint64_t(i)),
                q("--amount"), q(c.amount),    q("-o"),     q("m.zdl")};
            ASSERT_EQ(run(mutate).status, 0);
            ASSERT_EQ(run(arguments({"render", "m.zdl", "-o", "m.wav"}) + c.renderOptions).status, 0);
            const QString variant =
                dir.filePath(q(c.folder) + QStringLiteral("laser_%1.wav").arg(i + 1, 3, 10, QLatin1Char('0')));
            EXPECT_EQ(contents(variant), contents(path("m.wav"))) << variant.toStdString();
        }
    }
    EXPECT_EQ(entries(path("wav")), arguments({"laser_001.wav", "laser_002.wav", "laser_003.wav"}));
    EXPECT_NE(contents(path("wav/laser_001.wav")), contents(path("wav/laser_002.wav")));
}

// The user's locale writes 0,5; a build script's 0.5 must still mean a half.
TEST_F(Cli, NumbersAreReadTheSameInEveryLocale) {
    copy("laser.zdl");
    const QStringList german = {q("LC_ALL=de_DE.UTF-8"), q("LANG=de_DE.UTF-8")};
    Outcome r = runWith(german, arguments({"mutate", "laser.zdl", "--amount", "0.5", "-o", "a.zdl"}));
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(readSettings(path("a.zdl")), sound_mutation::mutate(readSettings(path("laser.zdl")), 1, 0.5f));
    r = runWith(german, arguments({"mutate", "laser.zdl", "--amount", "0,5", "-o", "b.zdl"}));
    EXPECT_EQ(r.status, 2);
    EXPECT_FALSE(QFile::exists(path("b.zdl")));
}

TEST_F(Cli, BadMakingOptionsAreWrongUsageAndWriteNothing) {
    copy("new.zdl");
    copy("laser.zdl");
    const struct {
        QStringList arguments;
        const char* message;
    } cases[] = {
        {arguments({"generate", "nosuch", "-o", "x.zdl"}), "Unknown template 'nosuch'"},
        {arguments({"generate", "Coin", "-o", "x.zdl"}), "Unknown template 'Coin'"},
        {arguments({"generate", "-o", "x.zdl"}), "generate takes one template name."},
        {arguments({"generate", "coin", "laser", "-d", "out"}), "generate takes one template name."},
        {arguments({"generate", "coin"}), "generate needs -o OUT.zdl or -d DIR."},
        {arguments({"generate", "coin", "-o", "x.wav"}), "generate writes .zdl or .json files"},
        {arguments({"generate", "coin", "--amount", "0.5", "-o", "x.zdl"}), "generate does not take --amount."},
        {arguments({"generate", "coin", "--seed", "1", "--seed", "2", "-o", "x.zdl"}),
         "--seed is given more than once."},
        {arguments({"generate", "coin", "--count", "2", "-o", "x.zdl"}),
         "-o names one output; use -d DIR with --count."},
        {arguments({"generate", "coin", "--count", "0", "-d", "out"}), "--count takes a number from 1 to 1000."},
        {arguments({"generate", "coin", "--count", "1001", "-d", "out"}), "--count takes a number from 1 to 1000."},
        {arguments({"generate", "coin", "--count", "two", "-d", "out"}), "--count takes a number from 1 to 1000."},
        {arguments({"generate", "coin", "--seed", "-1", "-o", "x.zdl"}), "--seed takes a whole number"},
        {arguments({"generate", "coin", "--seed", "+3", "-o", "x.zdl"}), "--seed takes a whole number"},
        {arguments({"generate", "coin", "--seed", " 3", "-o", "x.zdl"}), "--seed takes a whole number"},
        {arguments({"generate", "coin", "--seed", "1.5", "-o", "x.zdl"}), "--seed takes a whole number"},
        {arguments({"generate", "coin", "--seed", "0x10", "-o", "x.zdl"}), "--seed takes a whole number"},
        {arguments({"generate", "coin", "--seed", "18446744073709551616", "-o", "x.zdl"}),
         "--seed takes a whole number"},
        {arguments({"generate", "coin", "--seed=", "-o", "x.zdl"}), "--seed takes a whole number"},
        {arguments({"mutate", "new.zdl", "--amount", "1.5", "-o", "x.zdl"}), "--amount takes a number from 0 to 1."},
        {arguments({"mutate", "new.zdl", "--amount", "-0.1", "-o", "x.zdl"}), "--amount takes a number from 0 to 1."},
        {arguments({"mutate", "new.zdl", "--amount", "nan", "-o", "x.zdl"}), "--amount takes a number from 0 to 1."},
        {arguments({"mutate", "new.zdl", "--amount", "inf", "-o", "x.zdl"}), "--amount takes a number from 0 to 1."},
        {arguments({"mutate", "new.zdl", "--amount", "0,5", "-o", "x.zdl"}), "--amount takes a number from 0 to 1."},
        {arguments({"mutate", "new.zdl", "--amount=", "-o", "x.zdl"}), "--amount takes a number from 0 to 1."},
        {arguments({"mutate", "new.zdl", "laser.zdl", "-d", "out"}), "mutate takes one input file."},
        {arguments({"mutate", "-d", "out"}), "mutate needs at least one input file."},
        {arguments({"mutate", "new.zdl"}), "mutate needs -o OUT.zdl or -d DIR."},
        {arguments({"mutate", "new.zdl", "--variants", "2", "-d", "out"}), "mutate does not take --variants."},
        {arguments({"mutate", "new.zdl", "--count", "3", "-o", "x.zdl"}),
         "-o names one output; use -d DIR with --count."},
        {arguments({"mutate", "new.zdl", "--amount", "0.2", "--amount", "0.3", "-o", "x.zdl"}),
         "--amount is given more than once."},
        {arguments({"render", "new.zdl", "--variants", "2", "-o", "x.wav"}),
         "-o names one output; use -d DIR with --variants."},
        {arguments({"render", "new.zdl", "--seed", "3"}), "render takes --seed and --amount only with --variants."},
        {arguments({"render", "new.zdl", "--amount", "0.3", "-d", "out"}),
         "render takes --seed and --amount only with --variants."},
        {arguments({"render", "new.zdl", "--variants", "0"}), "--variants takes a number from 1 to 1000."},
        {arguments({"render", "new.zdl", "--variants", "1001"}), "--variants takes a number from 1 to 1000."},
        {arguments({"render", "new.zdl", "--variants", "2", "--amount", "2"}), "--amount takes a number from 0 to 1."},
        {arguments({"render", "new.zdl", "--count", "2"}), "render does not take --count."},
        {arguments({"info", "new.zdl", "--variants", "2"}), "info does not take --variants."},
        {arguments({"templates", "coin"}), "templates takes no input files."},
        {arguments({"templates", "--seed", "1"}), "templates does not take --seed."},
        // The last seed would pass the largest.
        {arguments({"generate", "coin", "--seed", "18446744073709551615", "--count", "2", "-d", "out"}),
         "--seed 18446744073709551615 with --count 2 would pass the largest seed, 18446744073709551615"},
        {arguments({"mutate", "new.zdl", "--seed", "18446744073709551614", "--count", "3", "-d", "out"}),
         "--seed 18446744073709551614 with --count 3 would pass the largest seed"},
        {arguments({"render", "new.zdl", "--variants", "1000", "--seed", "18446744073709550617", "-d", "out"}),
         "--seed 18446744073709550617 with --variants 1000 would pass the largest seed"},
        // Kept parts: only names from the list, and for generate only with a base to keep them from.
        {arguments({"generate", "coin", "--keep", "amplitude", "-o", "x.zdl"}),
         "generate takes --keep only with --from BASE"},
        {arguments({"generate", "coin", "--from", "laser.zdl", "--keep", "amplitude,repeats", "-o", "x.zdl"}),
         "--keep takes a comma-separated list of amplitude, frequency, waveform, length, effects and quality; "
         "'repeats' is none of them."},
        {arguments({"generate", "coin", "--from", "laser.zdl", "--keep", "", "-o", "x.zdl"}), "--keep takes"},
        {arguments({"generate", "coin", "--from", "laser.zdl", "--keep", "waveform,", "-o", "x.zdl"}), "--keep takes"},
        {arguments({"generate", "coin", "--from", "", "-o", "x.zdl"}), "--from needs a sound file."},
        {arguments({"mutate", "new.zdl", "--keep", "Waveform", "-o", "x.zdl"}), "--keep takes"},
        {arguments({"mutate", "new.zdl", "--keep", "length", "--keep", "waveform", "-o", "x.zdl"}),
         "--keep is given more than once."},
        {arguments({"mutate", "new.zdl", "--from", "laser.zdl", "-o", "x.zdl"}), "mutate does not take --from."},
        {arguments({"render", "new.zdl", "--keep", "length"}), "render does not take --keep."},
    };
    const QStringList before = entries(dir.path());
    for (const auto& c : cases) {
        const std::string shown = c.arguments.join(' ').toStdString();
        const Outcome r = run(c.arguments);
        EXPECT_EQ(r.status, 2) << shown;
        EXPECT_TRUE(r.err.startsWith(q("zindle-cli: ") + q(c.message))) << shown << ": " << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty()) << shown;
        EXPECT_EQ(entries(dir.path()), before) << shown;
    }
}

// A folder lists the numbered files in the order of their seeds: a count of
// 1000 takes four digits; smaller counts keep three.
TEST_F(Cli, NumberedNamesHaveAsManyDigitsAsTheCountNeeds) {
    copy("new.zdl");
    const struct {
        QStringList arguments;
        const char* folder;
        int count;
        QStringList first;  // the first two names the folder lists
        const char* last;
    } cases[] = {
        {arguments({"generate", "blip", "--count", "1000", "-d", "g"}), "g", 1000,
         arguments({"blip_0001.zdl", "blip_0002.zdl"}), "blip_1000.zdl"},
        {arguments({"mutate", "new.zdl", "--count", "1000", "-d", "m"}), "m", 1000,
         arguments({"new_0001.zdl", "new_0002.zdl"}), "new_1000.zdl"},
        {arguments({"render", "new.zdl", "--variants", "1000", "-d", "v"}), "v", 1000,
         arguments({"new_0001.wav", "new_0002.wav"}), "new_1000.wav"},
        {arguments({"generate", "blip", "--count", "999", "-d", "three"}), "three", 999,
         arguments({"blip_001.zdl", "blip_002.zdl"}), "blip_999.zdl"},
    };
    for (const auto& c : cases) {
        const std::string shown = c.arguments.join(' ').toStdString();
        const Outcome r = run(c.arguments);
        ASSERT_EQ(r.status, 0) << shown << ": " << r.err.toStdString();
        const QStringList names = entries(path(c.folder));
        ASSERT_EQ(names.size(), c.count) << shown;
        EXPECT_EQ(names.mid(0, 2), c.first) << shown;
        EXPECT_EQ(names.last(), q(c.last)) << shown;
    }
    // The 100th name holds the sound of the 100th seed.
    const std::optional<SoundSettings> hundredth = sound_templates::generate("blip", 100, testfiles::newSound());
    ASSERT_TRUE(hundredth);
    EXPECT_EQ(readSettings(path("g/blip_0100.zdl")), *hundredth);
}
