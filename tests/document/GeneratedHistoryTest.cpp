// The Generated history: every template, Randomize and Mutate result of the
// session, newest first, at most 100, each named by its seed, each made again
// byte for byte by the zindle-cli command it stands for.
#include "core/SoundMutation.h"
#include "core/SoundTemplates.h"
#include "document/SoundDocument.h"
#include "storage/SoundFile.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

using Part = SoundPart;

QString labels(const GeneratedHistory& h) {
    QStringList all;
    for (int i = 0; i < h.size(); ++i) all << h.at(i).label();
    return all.join(QStringLiteral(" | "));
}

QByteArray contents(const QString& path) {
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
    return f.readAll();
}

// A sound of the user's own quality (a template keeps it, so zindle-cli then
// needs it as --from) and curves.
SoundSettings ownQuality() {
    SoundSettings s;
    s.resetToNew();
    s.amplitude.fromText("0:20 50:70 100:0");
    s.sampleRate = 44100;
    s.bitsPerSample = 16;
    s.repeatCount = 2;
    return s;
}

TEST(GeneratedHistory, EachResultFirstWithItsSeedInTheLabelAndTheUndoStep) {
    SoundDocument d;
    const struct {
        std::function<bool(SoundDocument&)> make;
        const char* label;
        const char* step;
    } steps[] = {
        {[](SoundDocument& doc) { return doc.generate("coin", 48213); }, "Coin, seed 48213", "Coin (seed 48213)"},
        {[](SoundDocument& doc) { return doc.randomize(7); }, "Random, seed 7", "Randomize (seed 7)"},
        {[](SoundDocument& doc) { return doc.mutate(9, {Part::Waveform}); }, "Mutation, seed 9", "Mutate (seed 9)"},
        {[](SoundDocument& doc) { return doc.generate("powerup", 18446744073709551615ull, {Part::Length}); },
         "Powerup, seed 18446744073709551615", "Powerup (seed 18446744073709551615)"},
    };
    QStringList expected;
    for (const auto& s : steps) {
        const SoundSettings before = d.settings();
        ASSERT_TRUE(s.make(d));
        expected.prepend(QLatin1String(s.label));
        EXPECT_EQ(labels(d.generated()), expected.join(QStringLiteral(" | ")));
        const GeneratedSound& newest = d.generated().at(0);
        EXPECT_EQ(newest.sound, d.settings()) << s.label;
        EXPECT_EQ(newest.base, before) << s.label;
        EXPECT_EQ(d.history().undoText(), QLatin1String(s.step));
    }
    EXPECT_EQ(d.generated().at(1).sound.waveform, d.generated().at(2).sound.waveform) << "the waveform was kept";
    EXPECT_EQ(d.generated().at(0).sound.length, d.generated().at(1).sound.length) << "the length was kept";
    // A name that is no template makes nothing, so nothing is added.
    EXPECT_FALSE(d.generate("nosuch", 1));
    EXPECT_EQ(d.generated().size(), 4);
}

TEST(GeneratedHistory, KeepsTheLastHundred) {
    SoundDocument d;
    int added = 0;
    QObject::connect(&d.generated(), &GeneratedHistory::added, [&] { ++added; });
    for (uint64_t seed = 1; seed <= 130; ++seed) d.mutate(seed);
    EXPECT_EQ(added, 130);
    ASSERT_EQ(d.generated().size(), GeneratedHistory::kLimit);
    EXPECT_EQ(d.generated().at(0).seed, 130u);
    EXPECT_EQ(d.generated().at(99).seed, 31u);
}

TEST(GeneratedHistory, UsingAnEntryIsOneUndoStepNamedAsItsOwn) {
    SoundDocument d;
    d.generate("laser", 5);
    d.generate("blip", 6);
    const SoundSettings blip = d.settings();
    const int steps = d.history().count();
    ASSERT_TRUE(d.useGenerated(1));
    EXPECT_EQ(d.settings(), d.generated().at(1).sound);
    EXPECT_EQ(d.history().count(), steps + 1);
    EXPECT_EQ(d.history().undoText(), QStringLiteral("Laser (seed 5)"));
    EXPECT_EQ(d.generated().size(), 2) << "using one makes nothing new";
    d.undo();
    EXPECT_EQ(d.settings(), blip);
    for (int index : {-1, 2}) {
        EXPECT_FALSE(d.useGenerated(index)) << index;
    }
    EXPECT_EQ(d.history().count(), steps + 1);
}

// Every kind, from a sound of the default quality and of the user's own, with
// and without kept parts: the command each entry names writes the bytes Save
// writes for it.
TEST(GeneratedHistory, ZindleCliMakesTheSameBytes) {
    QTemporaryDir dir;
    const QString basePath = dir.filePath(QStringLiteral("base.zdl"));
    const struct {
        bool ownQuality;
        std::function<bool(SoundDocument&)> make;
        const char* command;  // BASE and OUT stand for the files
    } cases[] = {
        {false, [](SoundDocument& d) { return d.generate("coin", 48213); }, "generate coin --seed 48213 -o OUT"},
        {true, [](SoundDocument& d) { return d.generate("hit", 3); }, "generate hit --seed 3 --from BASE -o OUT"},
        {true, [](SoundDocument& d) { return d.randomize(77); }, "generate random --seed 77 -o OUT"},
        {true,
         [](SoundDocument& d) {
             return d.randomize(78, {Part::Quality, Part::Frequency});
         },
         "generate random --seed 78 --from BASE --keep frequency,quality -o OUT"},
        {false,
         [](SoundDocument& d) {
             return d.generate("jump", 4, {Part::Amplitude, Part::Effects});
         },
         "generate jump --seed 4 --from BASE --keep amplitude,effects -o OUT"},
        {true, [](SoundDocument& d) { return d.mutate(12); }, "mutate BASE --seed 12 -o OUT"},
        {false, [](SoundDocument& d) { return d.mutate(13, {Part::Length}); },
         "mutate BASE --seed 13 --keep length -o OUT"},
    };
    for (const auto& c : cases) {
        SoundDocument d;
        // A base with curves of its own, so that a kept curve shows.
        d.generate("explosion", 100);
        if (c.ownQuality) d.commit(ownQuality(), QStringLiteral("Quality"));
        ASSERT_TRUE(c.make(d));
        const GeneratedSound& made = d.generated().at(0);
        ASSERT_TRUE(soundfile::write(basePath, made.base).ok);
        const QString saved = dir.filePath(QStringLiteral("saved.zdl")), out = dir.filePath(QStringLiteral("cli.zdl"));
        ASSERT_TRUE(soundfile::write(saved, made.sound).ok);
        QFile::remove(out);
        const QStringList args = made.cliArguments(basePath, out);
        QString shown = args.join(QLatin1Char(' '));
        shown.replace(basePath, QStringLiteral("BASE")).replace(out, QStringLiteral("OUT"));
        EXPECT_EQ(shown.toStdString(), c.command);
        QProcess cli;
        cli.start(QStringLiteral(ZINDLE_BINARY_DIR "/src/app/zindle-cli"), args);
        ASSERT_TRUE(cli.waitForFinished(30000)) << c.command;
        ASSERT_EQ(cli.exitCode(), 0) << c.command << ": " << cli.readAllStandardError().toStdString();
        EXPECT_EQ(contents(out), contents(saved)) << c.command;
    }
}

}  // namespace
