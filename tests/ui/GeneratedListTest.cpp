// Generate > Keep and the Generated list through the real window: the ticked
// parts stay through every item and are remembered; the list shows each
// result, plays it apart from the document, makes it the sound in one undo
// step and keeps it as a new file.

#include "DocumentHarness.h"
#include "core/SoundMutation.h"
#include "core/SoundRenderer.h"
#include "core/SoundTemplates.h"
#include "storage/SoundFile.h"
#include "ui/bank/GeneratedList.h"

#include <QAction>
#include <QDir>
#include <QDockWidget>
#include <QFile>

#include <gtest/gtest.h>

namespace {

QByteArray contents(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QAction* keepItem(const MainWindowMenu& menu, SoundPart part) {
    for (const MainWindowMenu::KeepAction& item : menu.keepActions)
        if (item.part == part) return item.action;
    return nullptr;
}

struct GeneratedFixture : ::testing::Test {
    GeneratedFixture() {
        d.h.window->nextSeed = [this] { return ++seed; };
        // The list is in the bank's panel, shown as View, Sound Bank shows it.
        d.menu().soundBankAction->setChecked(true);
    }
    DocumentHarness d;
    uint64_t seed = 48212;
    const SoundSettings& settings() { return d.h.document.settings(); }
    GeneratedList& list() { return *d.h.window->generatedList(); }
    QStringList labels() {
        QStringList all;
        for (int i = 0; i < list().count(); ++i) all << list().item(i)->text();
        return all;
    }
};

// The items in the parts' order; the ticks reach a template, Randomize and
// Mutate, each giving the core's sound for that seed and those parts.
TEST_F(GeneratedFixture, KeepTicksReachEveryGenerateItem) {
    const char* const texts[] = {"&Amplitude", "&Frequency", "&Waveform",
                                 "&Length",    "&Effects",   "&Quality and Repeats"};
    ASSERT_EQ(d.menu().keepActions.size(), KeptParts::kAll.size());
    for (size_t i = 0; i < KeptParts::kAll.size(); ++i) {
        EXPECT_EQ(d.menu().keepActions[i].part, KeptParts::kAll[i]);
        EXPECT_EQ(d.menu().keepActions[i].action->text(), QLatin1String(texts[i]));
        EXPECT_TRUE(d.menu().keepActions[i].action->isCheckable());
    }
    EXPECT_EQ(d.h.window->keptParts(), KeptParts());
    keepItem(d.menu(), SoundPart::Amplitude)->setChecked(true);
    keepItem(d.menu(), SoundPart::Quality)->setChecked(true);
    const KeptParts kept{SoundPart::Amplitude, SoundPart::Quality};
    EXPECT_EQ(d.h.window->keptParts(), kept);
    // A sound unlike the templates', so that the kept parts show.
    d.h.document.commit(*sound_templates::generate("random", 900, {}), QStringLiteral("Base"));
    SoundSettings before = settings();
    d.key(Qt::Key_3, Qt::ControlModifier);
    EXPECT_EQ(settings(), *sound_templates::generate("explosion", seed, before, kept));
    before = settings();
    d.key(Qt::Key_8, Qt::ControlModifier);
    EXPECT_EQ(settings(), *sound_templates::generate("random", seed, before, kept));
    before = settings();
    d.key(Qt::Key_M);
    EXPECT_EQ(settings(), sound_mutation::mutate(before, seed, sound_mutation::kDefaultAmount, kept));
}

TEST(GeneratedKeep, TheTicksAreRemembered) {
    QTemporaryDir settingsDir;
    const QString file = settingsDir.filePath(QStringLiteral("zindle.ini"));
    {
        DocumentHarness first(file);
        keepItem(first.menu(), SoundPart::Waveform)->setChecked(true);
        keepItem(first.menu(), SoundPart::Quality)->setChecked(true);
        keepItem(first.menu(), SoundPart::Length)->setChecked(true);
        keepItem(first.menu(), SoundPart::Length)->setChecked(false);
    }
    DocumentHarness second(file);
    EXPECT_EQ(second.h.window->keptParts(), (KeptParts{SoundPart::Waveform, SoundPart::Quality}));
    EXPECT_EQ(second.h.settings.value(QStringLiteral("generate/keep")).toString(), QStringLiteral("waveform,quality"));
}

TEST_F(GeneratedFixture, TheBankPanelListsEachResultNewestFirst) {
    EXPECT_TRUE(d.h.window->bankDock()->isAncestorOf(&list())) << "listed in the bank's panel";
    d.key(Qt::Key_1, Qt::ControlModifier);
    d.key(Qt::Key_8, Qt::ControlModifier);
    d.key(Qt::Key_M);
    EXPECT_EQ(labels(), (QStringList{QStringLiteral("Mutation, seed 48215"), QStringLiteral("Random, seed 48214"),
                                     QStringLiteral("Coin, seed 48213")}));
    EXPECT_EQ(list().item(2)->toolTip(), QStringLiteral("zindle-cli generate coin --seed 48213 -o OUT.zdl"));
    EXPECT_EQ(d.menu().undoAction->text(), QStringLiteral("&Undo Mutate (seed 48215)\tCtrl+Z"));
    for (int i = 0; i < 120; ++i) d.key(Qt::Key_M);
    EXPECT_EQ(list().count(), GeneratedHistory::kLimit);
    EXPECT_EQ(list().item(0)->text(), QStringLiteral("Mutation, seed 48335"));
    EXPECT_EQ(list().item(99)->text(), QStringLiteral("Mutation, seed 48236"));
}

// Up and Down play the entry they reach, rendered apart, and Space the one
// selected (not the document, as elsewhere): the document and its history
// stay as they are. Enter makes the entry the sound in one step.
TEST_F(GeneratedFixture, KeysPlayAndApply) {
    d.key(Qt::Key_2, Qt::ControlModifier);  // laser 48213
    d.key(Qt::Key_7, Qt::ControlModifier);  // blip 48214
    d.key(Qt::Key_8, Qt::ControlModifier);  // random 48215
    const SoundSettings current = settings();
    const int steps = d.h.document.history().count();
    list().setFocus();
    list().setCurrentRow(0);
    const struct {
        Qt::Key key;
        int row;
    } moves[] = {{Qt::Key_Down, 1}, {Qt::Key_Down, 2}, {Qt::Key_Down, 2}, {Qt::Key_Up, 1}, {Qt::Key_Space, 1}};
    for (const auto& m : moves) {
        const int plays = d.h.player.plays();
        QTest::keyClick(&list(), m.key);
        ASSERT_EQ(list().currentRow(), m.row);
        EXPECT_EQ(d.h.player.plays(), plays + 1);
        const SoundSettings& entry = d.h.document.generated().at(m.row).sound;
        EXPECT_EQ(d.h.player.last.bytes(), sound_renderer::render(entry).wavImage(entry.repeatCount).bytes());
    }
    EXPECT_EQ(settings(), current);
    EXPECT_EQ(d.h.document.history().count(), steps);

    QTest::keyClick(&list(), Qt::Key_Return);  // blip
    EXPECT_EQ(settings(), d.h.document.generated().at(1).sound);
    EXPECT_EQ(d.h.document.history().count(), steps + 1);
    EXPECT_EQ(d.menu().undoAction->text(), QStringLiteral("&Undo Blip (seed 48214)\tCtrl+Z"));
    EXPECT_EQ(list().count(), 3) << "taking one back makes nothing new";
    d.key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(settings(), current);

    // A double click starts with a click, which plays the entry.
    const QPoint third = list().visualItemRect(list().item(2)).center();
    const int plays = d.h.player.plays();
    QTest::mouseClick(list().viewport(), Qt::LeftButton, {}, third);
    EXPECT_EQ(d.h.player.plays(), plays + 1);
    QTest::mouseDClick(list().viewport(), Qt::LeftButton, {}, third);
    EXPECT_EQ(settings(), d.h.document.generated().at(2).sound);
}

// Ctrl+K asks for a name (offering the template and seed), adds .zdl to a
// name without a sound file's extension, and never replaces a file.
TEST_F(GeneratedFixture, CtrlKKeepsANewFileUnderTheNameGiven) {
    d.key(Qt::Key_5, Qt::ControlModifier);  // hit 48213
    QStringList offered;
    QStringList answers;
    list().setNameAsker([&](const QString& proposed) {
        offered << proposed;
        return answers.isEmpty() ? QString() : answers.takeFirst();
    });
    list().setFocus();
    list().setCurrentRow(0);
    // A sound of someone's already there, and a link that leads nowhere.
    const QString theirs = d.file(QStringLiteral("theirs.zdl"));
    ASSERT_TRUE(soundfile::write(theirs, SoundSettings()).ok);
    const QByteArray theirBytes = contents(theirs);
    ASSERT_TRUE(QFile::link(d.file(QStringLiteral("nowhere.zdl")), d.file(QStringLiteral("link.zdl"))));
    const struct {
        const char* answer;
        const char* file;     // written, or nullptr
        const char* refusal;  // the error shown, or nullptr
    } cases[] = {
        {"thud", "thud.zdl", nullptr},
        {"thud", nullptr, "thud.zdl exists already in"},
        {"theirs", nullptr, "theirs.zdl exists already in"},
        {"theirs.zdl", nullptr, "theirs.zdl exists already in"},
        {"link.zdl", nullptr, "link.zdl exists already in"},
        {"deep/thud", nullptr, "cannot be the name of a file"},
        {"", nullptr, nullptr},  // cancelled
        {"  other.json ", "other.json", nullptr},
    };
    for (const auto& c : cases) {
        answers = QStringList{QLatin1String(c.answer)};
        const int errors = d.prompts.count(ScriptedPrompts::Kind::Error);
        QTest::keyClick(&list(), Qt::Key_K, Qt::ControlModifier);
        EXPECT_TRUE(answers.isEmpty()) << c.answer << ": the name was not asked";
        ASSERT_EQ(d.prompts.count(ScriptedPrompts::Kind::Error), errors + (c.refusal ? 1 : 0)) << c.answer;
        if (c.refusal) {
            EXPECT_TRUE(d.prompts.shown.back().text.contains(QLatin1String(c.refusal)))
                << d.prompts.shown.back().text.toStdString();
        }
        if (c.file) {
            const ReadResult read = soundfile::read(d.file(QLatin1String(c.file)));
            ASSERT_TRUE(read.ok) << c.file;
            EXPECT_EQ(read.settings, d.h.document.generated().at(0).sound) << c.file;
        }
    }
    EXPECT_EQ(offered.first(), QStringLiteral("hit_48213"));
    EXPECT_EQ(contents(theirs), theirBytes);
    EXPECT_FALSE(QFile::exists(d.file(QStringLiteral("nowhere.zdl"))));
    EXPECT_EQ(QDir(d.dir.path()).entryList(QDir::Files | QDir::System).join(' ').toStdString(),
              "link.zdl other.json theirs.zdl thud.zdl");
    // A sound file in JSON is what Save writes in JSON.
    ASSERT_TRUE(soundfile::write(d.file(QStringLiteral("saved.json")), d.h.document.generated().at(0).sound).ok);
    EXPECT_EQ(contents(d.file(QStringLiteral("other.json"))), contents(d.file(QStringLiteral("saved.json"))));
    EXPECT_FALSE(d.h.document.hasFile()) << "keeping a generated sound does not open it";
}

}  // namespace
