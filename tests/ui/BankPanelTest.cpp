// The sound bank through the real window: the panel's keys with a recording
// player, the dock and its menu item, and the ways a folder is opened.

#include "DocumentHarness.h"
#include "TestFiles.h"

#include "bank/SoundBank.h"
#include "core/RenderedSound.h"
#include "core/SoundRenderer.h"
#include "core/SoundTemplates.h"
#include "storage/SoundFile.h"
#include "ui/bank/BankFileCommands.h"
#include "ui/bank/BankListModel.h"
#include "ui/bank/BankPanel.h"
#include "ui/bank/BankView.h"

#include <QDir>
#include <QDockWidget>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <vector>

namespace {

using Answer = Prompts::Answer;
using Kind = ScriptedPrompts::Kind;

constexpr int kWaitMs = 10000;

SoundSettings sound(int waveform, float length, int repeats = 1) {
    SoundSettings s;
    s.waveform = waveform;
    s.length = length;
    s.repeatCount = repeats;
    return s;
}

// A window with a bank of three sounds and one file that cannot be read,
// opened through File, Open Folder, every entry read.
struct BankHarness {
    BankHarness() {
        folder = d.dir.filePath(QStringLiteral("bank"));
        QDir().mkpath(folder);
        sounds = {{QStringLiteral("a.zdl"), sound(100, 0.3f)},
                  {QStringLiteral("b.zdl"), sound(201, 0.4f, 2)},
                  {QStringLiteral("c.zdl"), sound(300, 0.2f)}};
        for (const auto& [name, settings] : sounds) EXPECT_TRUE(soundfile::write(path(name), settings).ok);
        EXPECT_TRUE(testfiles::writeFile(path(QStringLiteral("d-bad.zdl")), QByteArray("not a sound")));
        d.prompts.folderName(folder);
        d.key(Qt::Key_O, Qt::ControlModifier | Qt::ShiftModifier);
        EXPECT_TRUE(
            QTest::qWaitFor([this] { return !bank().entries().empty() && bank().pendingCount() == 0; }, kWaitMs));
        view()->setFocus();
    }

    QString path(const QString& name) const { return QDir::cleanPath(folder + QLatin1Char('/') + name); }
    SoundBank& bank() { return d.h.window->bank(); }
    BankPanel& panel() { return *d.h.window->bankPanel(); }
    BankView* view() { return panel().view(); }
    QString names() {
        QStringList out;
        for (const BankEntry& e : bank().entries()) out << e.name;
        return out.join(u',');
    }
    QString shownName(int row) { return panel().model().index(row, BankListModel::Name).data().toString(); }
    void key(Qt::Key key) { QTest::keyClick(view(), key); }
    // As the system delivers one: a press and release, then the second press as a double click.
    void doubleClick(const QModelIndex& index) {
        const QPoint at = view()->visualRect(index).center();
        QTest::mouseClick(view()->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(view()->viewport(), Qt::LeftButton, {}, at);
    }
    // The image a sound of the bank plays as.
    std::vector<uint8_t> imageOf(const QString& name) {
        const SoundSettings& s = sounds.at(name);
        return sound_renderer::render(s).wavImage(s.repeatCount).bytes();
    }

    DocumentHarness d;
    QString folder;
    std::map<QString, SoundSettings> sounds;
};

// What each key plays and opens; the document is never touched by playing.
TEST(BankPanel, KeysPlayTheSelectedSoundAndEnterOpensIt) {
    struct Step {
        Qt::Key key;
        const char* plays;  // "" for nothing
        const char* opens;  // the document's file afterwards ("" for none)
    };
    const Step steps[] = {
        {Qt::Key_Down, "a.zdl", ""},    {Qt::Key_Down, "b.zdl", ""},  {Qt::Key_Space, "b.zdl", ""},
        {Qt::Key_Up, "a.zdl", ""},      {Qt::Key_End, "", ""},        {Qt::Key_Return, "", ""},
        {Qt::Key_Space, "", ""},        {Qt::Key_Up, "c.zdl", ""},    {Qt::Key_Return, "", "c.zdl"},
        {Qt::Key_Up, "b.zdl", "c.zdl"}, {Qt::Key_Enter, "", "b.zdl"},
    };
    BankHarness b;
    ASSERT_EQ(b.d.h.window->bankDock()->isVisible(), true);
    for (const Step& step : steps) {
        SCOPED_TRACE(QKeySequence(step.key).toString().toStdString());
        const int before = b.d.h.player.plays();
        const SoundSettings document = b.d.h.document.settings();
        b.key(step.key);
        const QString plays = QString::fromUtf8(step.plays);
        if (!plays.isEmpty()) {
            ASSERT_TRUE(QTest::qWaitFor([&] { return b.d.h.player.plays() > before; }, kWaitMs));
            EXPECT_EQ(b.d.h.player.images.back(), b.imageOf(plays));
        } else {
            QTest::qWait(50);
            EXPECT_EQ(b.d.h.player.plays(), before) << "nothing plays";
        }
        const QString opens = QString::fromUtf8(step.opens);
        EXPECT_EQ(b.d.h.document.path(), opens.isEmpty() ? QString() : b.path(opens));
        if (opens.isEmpty()) {
            EXPECT_EQ(b.d.h.document.settings(), document);
        } else {
            EXPECT_EQ(b.d.h.document.settings(), b.sounds.at(opens));
        }
    }
    EXPECT_EQ(b.d.prompts.shown.size(), 1u) << "only the folder was asked for";
}

// A double click opens as Enter does; a modified sound is asked about first,
// and Cancel keeps it.
// A sound that went bad after it was listed says why when it is played, and
// nothing plays.
TEST(BankPanel, ASoundThatWentBadSaysWhyWhenPlayed) {
    BankHarness b;
    ASSERT_TRUE(testfiles::writeFile(b.path(QStringLiteral("a.zdl")), QByteArray("gone bad")));
    b.key(Qt::Key_Down);
    ASSERT_TRUE(QTest::qWaitFor([&] { return b.d.prompts.count(Kind::Error) == 1; }, kWaitMs));
    EXPECT_TRUE(b.d.prompts.shown.back().text.startsWith(QStringLiteral("Couldn't play file\n\n") +
                                                         b.path(QStringLiteral("a.zdl"))))
        << b.d.prompts.shown.back().text.toStdString();
    EXPECT_EQ(b.d.h.player.plays(), 0);
}

TEST(BankPanel, OpeningGoesThroughTheSaveChangesQuestion) {
    struct Case {
        Answer answer;
        bool opened;
    };
    for (const Case c : {Case{Answer::No, true}, Case{Answer::Cancel, false}}) {
        BankHarness b;
        b.d.edit();
        ASSERT_TRUE(b.d.h.document.modified());
        b.d.prompts.answer(c.answer);
        b.doubleClick(b.panel().model().index(1, 0));
        EXPECT_EQ(b.d.prompts.sequence(), "folder, question");
        EXPECT_EQ(b.d.h.document.path(), c.opened ? b.path(QStringLiteral("b.zdl")) : QString());
        EXPECT_EQ(b.d.h.document.modified(), !c.opened);
    }
}

// The open sound is marked, with " *" while modified; an unreadable file is
// greyed, tells why, and a double click does not open it.
TEST(BankPanel, MarksTheOpenSoundAndGreysWhatCannotBeRead) {
    BankHarness b;
    b.d.prompts.openName(b.path(QStringLiteral("b.zdl")));
    b.d.h.window->menu().openAction->trigger();
    BankListModel& m = b.panel().model();
    EXPECT_TRUE(m.index(1, 0).data(Qt::FontRole).value<QFont>().bold());
    EXPECT_FALSE(m.index(0, 0).data(Qt::FontRole).value<QFont>().bold());
    EXPECT_EQ(b.shownName(1), QStringLiteral("b.zdl"));
    b.d.edit();
    EXPECT_EQ(b.shownName(1), QStringLiteral("b.zdl *"));
    b.d.prompts.saveName(b.path(QStringLiteral("c.zdl")));
    b.d.prompts.answer(Answer::Yes);  // replace c.zdl
    b.d.h.window->menu().saveAsAction->trigger();
    EXPECT_EQ(b.shownName(1), QStringLiteral("b.zdl"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return b.shownName(2) == QLatin1String("c.zdl"); }, kWaitMs));
    EXPECT_TRUE(m.index(2, 0).data(Qt::FontRole).value<QFont>().bold());

    const QModelIndex bad = m.index(3, 0);
    EXPECT_EQ(bad.data(Qt::ToolTipRole).toString(), soundfile::read(b.path(QStringLiteral("d-bad.zdl"))).error);
    EXPECT_NE(bad.data(Qt::ForegroundRole), m.index(0, 0).data(Qt::ForegroundRole));
    EXPECT_EQ(m.index(3, BankListModel::Duration).data().toString(), QStringLiteral("—"));
    const QString before = b.d.h.document.path();
    b.doubleClick(bad);
    EXPECT_EQ(b.d.h.document.path(), before);
}

// Hidden until used, so the editor's layout is the same without it; the menu
// item shows and hides it and the choice is kept in the settings.
TEST(BankPanel, TheDockIsHiddenUntilUsedAndRemembered) {
    QTemporaryDir settings;
    const QString file = settings.filePath(QStringLiteral("zindle.ini"));
    {
        DocumentHarness d(file);
        EXPECT_FALSE(d.h.window->bankDock()->isVisible());
        EXPECT_EQ(d.h.canvas()->size(), QSize(1000, 700));
        EXPECT_FALSE(d.menu().soundBankAction->isChecked());
        d.menu().soundBankAction->trigger();
        EXPECT_TRUE(d.h.window->bankDock()->isVisible());
    }
    {
        DocumentHarness d(file);
        EXPECT_TRUE(d.h.window->bankDock()->isVisible());
        EXPECT_TRUE(d.menu().soundBankAction->isChecked());
        d.h.window->bankDock()->close();  // its own close button
        EXPECT_FALSE(d.menu().soundBankAction->isChecked());
    }
    DocumentHarness d(file);
    EXPECT_FALSE(d.h.window->bankDock()->isVisible());
}

// A folder named at start, picked in Open Folder or chosen in Open Recent
// becomes the bank and shows the dock; one that cannot be listed is reported.
TEST(BankPanel, FoldersOpenFromTheCommandLineTheMenuAndRecentFiles) {
    enum class Way { AtStart, Menu, Recent };
    for (const Way way : {Way::AtStart, Way::Menu, Way::Recent}) {
        SCOPED_TRACE(static_cast<int>(way));
        DocumentHarness d;
        const QString folder = d.dir.filePath(QStringLiteral("sounds"));
        QDir().mkpath(folder);
        ASSERT_TRUE(soundfile::write(folder + QStringLiteral("/one.zdl"), SoundSettings()).ok);
        if (way == Way::AtStart) {
            d.h.window->openAtStart(folder);
        } else if (way == Way::Menu) {
            d.prompts.folderName(folder);
            d.menu().openFolderAction->trigger();
        } else {
            d.h.recent.add(folder);
            d.h.window->openRecent(folder);
        }
        EXPECT_EQ(d.h.window->bank().folder(), folder);
        EXPECT_EQ(d.h.window->bank().entries().size(), 1u);
        EXPECT_TRUE(d.h.window->bankDock()->isVisible());
        EXPECT_EQ(d.h.recent.paths().value(0), folder) << "Open Recent lists the folder";
        EXPECT_EQ(d.menu().recentMenu->actions().value(0)->text(), QStringLiteral("&1 sounds/"));
        // Save As starts in the bank.
        d.prompts.saveName(QString());
        d.menu().saveAsAction->trigger();
        EXPECT_EQ(d.prompts.shown.back().request.directory, folder);
        EXPECT_EQ(d.h.window->bankPanel()->headingText(), QStringLiteral("sounds (1 sound)"));
        // A folder removed while open: the panel says so in place of the list.
        ASSERT_TRUE(QDir(folder).removeRecursively());
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return d.h.window->bankPanel()->headingText().contains(QLatin1String("not there")); }, kWaitMs));
        EXPECT_EQ(d.h.window->bankPanel()->model().rowCount(), 0);
    }
    DocumentHarness d;
    d.prompts.folderName(d.dir.filePath(QStringLiteral("missing")));
    d.menu().openFolderAction->trigger();
    ASSERT_EQ(d.prompts.sequence(), "folder, error");
    EXPECT_TRUE(d.prompts.shown.back().text.contains(QLatin1String("not there")));
    EXPECT_TRUE(d.h.window->bank().folder().isEmpty());
}

// F2, Ctrl+D and Delete on the selected sound (a.zdl), each asking what it
// must; nothing is ever replaced. The trash is a folder of the test's own.
TEST(BankPanel, FileKeysRenameDuplicateAndDelete) {
    using Script = std::function<void(ScriptedPrompts&)>;
    struct Case {
        const char* what;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        Script script;
        bool trashWorks;
        const char* files;     // what the bank lists afterwards
        const char* sequence;  // the prompts shown after the folder's
        const char* selected;  // "" when the selection stays
    };
    const Case cases[] = {
        {"rename",
         Qt::Key_F2,
         {},
         [](ScriptedPrompts& p) { p.typeName(QStringLiteral("z")); },
         true,
         "b.zdl,c.zdl,d-bad.zdl,z.zdl",
         "name",
         "z.zdl"},
        {"rename as json",
         Qt::Key_F2,
         {},
         [](ScriptedPrompts& p) { p.typeName(QStringLiteral("a.json")); },
         true,
         "a.json,b.zdl,c.zdl,d-bad.zdl",
         "name",
         "a.json"},
        {"rename onto another",
         Qt::Key_F2,
         {},
         [](ScriptedPrompts& p) { p.typeName(QStringLiteral("b")); },
         true,
         "a.zdl,b.zdl,c.zdl,d-bad.zdl",
         "name, error",
         ""},
        {"rename into a folder",
         Qt::Key_F2,
         {},
         [](ScriptedPrompts& p) { p.typeName(QStringLiteral("x/y")); },
         true,
         "a.zdl,b.zdl,c.zdl,d-bad.zdl",
         "name, error",
         ""},
        {"rename cancelled",
         Qt::Key_F2,
         {},
         [](ScriptedPrompts& p) { p.typeName(QString()); },
         true,
         "a.zdl,b.zdl,c.zdl,d-bad.zdl",
         "name",
         ""},
        {"duplicate", Qt::Key_D, Qt::ControlModifier, [](ScriptedPrompts&) {}, true,
         "a.zdl,a_2.zdl,b.zdl,c.zdl,d-bad.zdl", "", "a_2.zdl"},
        {"to the trash",
         Qt::Key_Delete,
         {},
         [](ScriptedPrompts& p) { p.answer(Answer::Yes); },
         true,
         "b.zdl,c.zdl,d-bad.zdl",
         "question",
         "b.zdl"},
        {"delete cancelled",
         Qt::Key_Delete,
         {},
         [](ScriptedPrompts& p) { p.answer(Answer::Cancel); },
         true,
         "a.zdl,b.zdl,c.zdl,d-bad.zdl",
         "question",
         ""},
        {"no trash, deleted for good",
         Qt::Key_Delete,
         {},
         [](ScriptedPrompts& p) { p.answer(Answer::Yes).answer(Answer::Yes); },
         false,
         "b.zdl,c.zdl,d-bad.zdl",
         "question, question",
         "b.zdl"},
        {"no trash, kept",
         Qt::Key_Delete,
         {},
         [](ScriptedPrompts& p) { p.answer(Answer::Yes).answer(Answer::Cancel); },
         false,
         "a.zdl,b.zdl,c.zdl,d-bad.zdl",
         "question, question",
         ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        BankHarness b;
        const QString trash = b.d.dir.filePath(QStringLiteral("trash"));
        QDir().mkpath(trash);
        b.d.h.window->bankFiles().moveToTrash = [&](const QString& path, QString& reason) {
            if (!c.trashWorks) reason = QStringLiteral("no trash here");
            return c.trashWorks && QFile::rename(path, trash + QLatin1Char('/') + QFileInfo(path).fileName());
        };
        const QByteArray original = testfiles::readFile(b.path(QStringLiteral("a.zdl")));
        b.panel().selectPath(b.path(QStringLiteral("a.zdl")));
        b.d.prompts.shown.clear();
        c.script(b.d.prompts);
        QTest::keyClick(b.view(), c.key, c.modifiers);
        EXPECT_EQ(b.names(), QString::fromUtf8(c.files));
        EXPECT_EQ(b.d.prompts.sequence(), c.sequence);
        EXPECT_EQ(b.d.prompts.unused(), 0u);
        const QString selected = QString::fromUtf8(c.selected);
        EXPECT_EQ(b.panel().selectedPath(), b.path(selected.isEmpty() ? QStringLiteral("a.zdl") : selected));
        EXPECT_EQ(QFileInfo::exists(trash + QStringLiteral("/a.zdl")),
                  c.trashWorks && c.key == Qt::Key_Delete && !b.names().contains(QLatin1String("a.zdl")));
        // Wherever a.zdl's sound is now (renamed, copied, in the trash), its bytes are whole.
        QStringList holders{b.path(QStringLiteral("a.zdl")), trash + QStringLiteral("/a.zdl")};
        if (c.key != Qt::Key_Delete && !selected.isEmpty()) holders << b.path(selected);
        for (const QString& holder : holders) {
            if (QFileInfo::exists(holder)) {
                EXPECT_EQ(testfiles::readFile(holder), original) << holder.toStdString();
            }
        }
        EXPECT_EQ(testfiles::readFile(b.path(QStringLiteral("b.zdl"))).isEmpty(), false);
    }
}

// The open sound renamed stays the document, modified as it was.
TEST(BankPanel, RenamingTheOpenSoundKeepsItOpen) {
    BankHarness b;
    b.panel().selectPath(b.path(QStringLiteral("b.zdl")));
    b.key(Qt::Key_Return);
    b.d.edit();
    b.d.prompts.typeName(QStringLiteral("renamed"));
    b.key(Qt::Key_F2);
    EXPECT_EQ(b.d.h.document.path(), b.path(QStringLiteral("renamed.zdl")));
    EXPECT_TRUE(b.d.h.document.modified());
    EXPECT_EQ(b.shownName(b.bank().indexOf(b.path(QStringLiteral("renamed.zdl")))), QStringLiteral("renamed.zdl *"));
    EXPECT_EQ(b.d.prompts.proposedNames, QStringList{QStringLiteral("b.zdl")});
}

// New Sound in Bank saves the last template's sound under the name given;
// a name taken or of the old style is refused.
TEST(BankPanel, NewSoundInBankSavesTheTemplatesSound) {
    BankHarness b;
    b.d.h.window->nextSeed = [] { return uint64_t(48213); };
    b.d.menu().templateActions[0].action->trigger();  // Coin
    const SoundSettings coin = *sound_templates::generate("coin", 48213, b.d.h.document.settings());
    struct Case {
        const char* typed;
        const char* file;  // written, or "" when refused
    };
    for (const Case c :
         {Case{"fresh", "fresh.zdl"}, Case{"b", ""}, Case{"old.efc", ""}, Case{"text.json", "text.json"}}) {
        SCOPED_TRACE(c.typed);
        b.d.prompts.shown.clear();
        b.d.prompts.typeName(QString::fromUtf8(c.typed));
        b.d.key(Qt::Key_N, Qt::ControlModifier | Qt::ShiftModifier);
        const QString file = QString::fromUtf8(c.file);
        EXPECT_EQ(b.d.prompts.sequence(), file.isEmpty() ? "name, error" : "name");
        if (file.isEmpty()) continue;
        const ReadResult written = soundfile::read(b.path(file));
        ASSERT_TRUE(written.ok);
        EXPECT_EQ(written.settings, coin);
        EXPECT_EQ(b.panel().selectedPath(), b.path(file));
    }
    EXPECT_FALSE(QFileInfo::exists(b.path(QStringLiteral("old.efc"))));
}

}  // namespace
