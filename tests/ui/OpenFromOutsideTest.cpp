// Sounds that come from outside the Open dialog: dropped on the window,
// chosen from Open Recent, named at start; and where the dialogs start.

#include "DocumentHarness.h"
#include "GuardedFifo.h"
#include "storage/JsonFile.h"

#include "document/RecentFiles.h"
#include "storage/SoundFile.h"

#include <QAction>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMenu>
#include <QMimeData>
#include <QSettings>
#include <QUrl>

#include <gtest/gtest.h>

#include <memory>

namespace {

using Answer = Prompts::Answer;
using Kind = ScriptedPrompts::Kind;

// The window with recent files kept in a settings file of the test's own,
// a fresh one or that of an earlier "run".
struct RecentHarness {
    explicit RecentHarness(const QString& settingsFile = QString())
        : settingsPath(settingsFile.isEmpty() ? settingsDir.filePath(QStringLiteral("zindle.ini")) : settingsFile),
          d(settingsPath) {}

    QMenu& menu() { return *d.menu().recentMenu; }
    // The items' texts, "-" for the separator.
    QStringList items() {
        QStringList texts;
        for (QAction* a : menu().actions()) texts << (a->isSeparator() ? QStringLiteral("-") : a->text());
        return texts;
    }
    QAction* item(const QString& text) {
        for (QAction* a : menu().actions())
            if (a->text() == text) return a;
        return nullptr;
    }
    // Opens `path` through the Open dialog.
    void open(const QString& path) {
        d.prompts.openName(path);
        d.key(Qt::Key_O);
    }

    QTemporaryDir settingsDir;
    QString settingsPath;
    DocumentHarness d;
    RecentFiles& recent = d.h.recent;
};

struct DropResult {
    bool enterAccepted = false;
    bool dropAccepted = false;
};

// What a drag over the window and a drop there do with this data.
DropResult dragAndDrop(QWidget* window, QMimeData& data) {
    const QPoint at(200, 200);
    DropResult r;
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(window, &enter);
    r.enterAccepted = enter.isAccepted();
    QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(window, &drop);
    r.dropAccepted = drop.isAccepted();
    QCoreApplication::processEvents();  // the open waits until the drop is over
    return r;
}

struct DropCase {
    const char* name;
    QStringList files;  // in the work folder; "http:..." is a remote URL
    const char* text;   // plain text instead of files, when set
    const char* title;  // after the drop; nullptr: refused
};

TEST(Drop, OneSoundFileOpensAnythingElseIsRefused) {
    const DropCase cases[] = {
        {"one .zdl file", {"laser.zdl"}, nullptr, "Zindle - laser.zdl"},
        {"one old-style file, upper case", {"BOOM.EFC"}, nullptr, "Zindle - BOOM.zdl"},
        {"a .ZDL name", {"LOUD.ZDL"}, nullptr, "Zindle - LOUD.ZDL"},
        {"a JSON sound", {"laser.JSON"}, nullptr, "Zindle - laser.JSON"},
        {"a WAV file", {"laser.wav"}, nullptr, nullptr},
        {"a name without extension", {"laser"}, nullptr, nullptr},
        {"two sounds", {"laser.zdl", "BOOM.EFC"}, nullptr, nullptr},
        {"a folder named like a sound", {"folder.zdl"}, nullptr, nullptr},
        {"a remote file", {"http://example.org/laser.zdl"}, nullptr, nullptr},
        {"text, not files", {}, "laser.zdl", nullptr},
    };
    for (const DropCase& c : cases) {
        SCOPED_TRACE(c.name);
        DocumentHarness d;
        d.copySound(QStringLiteral("laser.zdl"));
        d.copySound(QStringLiteral("laser.zdl"), QStringLiteral("LOUD.ZDL"));
        d.copySound(QStringLiteral("laser.zdl"), QStringLiteral("laser.wav"));
        d.copySound(QStringLiteral("laser.zdl"), QStringLiteral("laser"));
        d.copySound(QStringLiteral("boom.efc"), QStringLiteral("BOOM.EFC"));
        soundjson::write(d.file(QStringLiteral("laser.JSON")),
                         soundfile::read(d.file(QStringLiteral("laser.zdl"))).settings);
        QDir().mkpath(d.file(QStringLiteral("folder.zdl")));
        QMimeData data;
        if (c.text) {
            data.setText(QString::fromLatin1(c.text));
        } else {
            QList<QUrl> urls;
            for (const QString& f : c.files)
                urls << (f.startsWith(QStringLiteral("http:")) ? QUrl(f) : QUrl::fromLocalFile(d.file(f)));
            data.setUrls(urls);
        }

        const DropResult r = dragAndDrop(d.h.window.get(), data);
        EXPECT_EQ(r.enterAccepted, c.title != nullptr);
        EXPECT_EQ(r.dropAccepted, c.title != nullptr);
        EXPECT_EQ(d.title(), QString::fromLatin1(c.title ? c.title : "Zindle"));
        EXPECT_EQ(d.prompts.sequence(), "") << "nothing to ask about an unedited sound";
        if (c.title) {
            const ReadResult read = soundfile::read(d.file(c.files.first()));
            ASSERT_TRUE(read.ok);
            EXPECT_EQ(d.h.document.settings(), read.settings);
        }
    }
}

TEST(Drop, OnAnEditedSoundItAsksFirst) {
    struct Case {
        Answer answer;
        bool opens;
    };
    for (const Case c : {Case{Answer::Cancel, false}, Case{Answer::No, true}}) {
        SCOPED_TRACE(static_cast<int>(c.answer));
        DocumentHarness d;
        const QString laser = d.copySound(QStringLiteral("laser.zdl"));
        d.edit();
        d.prompts.answer(c.answer);
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(laser)});
        dragAndDrop(d.h.window.get(), data);

        EXPECT_EQ(d.prompts.sequence(), "question");
        EXPECT_EQ(d.title(), c.opens ? QStringLiteral("Zindle - laser.zdl") : QStringLiteral("Zindle *"));
        EXPECT_EQ(d.h.document.modified(), !c.opens);
    }
}

TEST(Drop, AFileThatCannotBeReadIsReported) {
    DocumentHarness d;
    QFile junk(d.file(QStringLiteral("junk.zdl")));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("not a sound");
    junk.close();
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(junk.fileName())});
    dragAndDrop(d.h.window.get(), data);
    ASSERT_EQ(d.prompts.sequence(), "error");
    EXPECT_TRUE(d.prompts.shown[0].text.startsWith(QStringLiteral("Couldn't open file\n\njunk.zdl\n")));
    EXPECT_EQ(d.title(), QStringLiteral("Zindle"));
}

TEST(OpenRecent, ListsWhatWasOpenedOrSavedMostRecentFirst) {
    RecentHarness r;
    EXPECT_EQ(r.items(), QStringList{QStringLiteral("&Clear Menu")});
    EXPECT_FALSE(r.item(QStringLiteral("&Clear Menu"))->isEnabled());

    const QString laser = r.d.copySound(QStringLiteral("laser.zdl"));
    const QString boom = r.d.copySound(QStringLiteral("boom.efc"));
    r.open(laser);
    r.d.saveAs(QStringLiteral("mine.zdl"));
    r.open(boom);  // listed as opened, not by the name it would be saved under
    QDir().mkpath(r.d.file(QStringLiteral("other")));
    r.d.prompts.saveName(r.d.file(QStringLiteral("other/laser.zdl")));
    r.d.key(Qt::Key_A);
    EXPECT_EQ(r.items(), QStringList({QStringLiteral("&1 laser.zdl (%1)").arg(r.d.file(QStringLiteral("other"))),
                                      QStringLiteral("&2 boom.efc"), QStringLiteral("&3 mine.zdl"),
                                      QStringLiteral("&4 laser.zdl (%1)").arg(r.d.dir.path()), QStringLiteral("-"),
                                      QStringLiteral("&Clear Menu")}));

    // Choosing one opens it, through the question when there are edits.
    r.d.edit(7);  // Triangle: the sounds here are Square
    r.d.prompts.answer(Answer::No);
    r.item(QStringLiteral("&3 mine.zdl"))->trigger();
    EXPECT_EQ(r.d.title(), QStringLiteral("Zindle - mine.zdl"));
    EXPECT_EQ(r.items().value(0), QStringLiteral("&1 mine.zdl"));
    EXPECT_EQ(r.d.prompts.unused(), 0u);

    r.item(QStringLiteral("&Clear Menu"))->trigger();
    EXPECT_EQ(r.items(), QStringList{QStringLiteral("&Clear Menu")});
    EXPECT_TRUE(r.recent.paths().isEmpty());
}

TEST(OpenRecent, OneThatIsGoneIsReportedAndTakenOff) {
    RecentHarness r;
    const QString laser = r.d.copySound(QStringLiteral("laser.zdl"));
    const QString gone = r.d.copySound(QStringLiteral("new.zdl"), QStringLiteral("gone & lost.zdl"));
    r.open(gone);
    r.open(laser);
    r.d.edit(7);  // Triangle: the sounds here are Square
    ASSERT_TRUE(QFile::remove(gone));
    r.d.prompts.shown.clear();

    QAction* item = r.item(QStringLiteral("&2 gone && lost.zdl"));
    ASSERT_NE(item, nullptr) << r.items().join(QLatin1Char('|')).toStdString();
    item->trigger();
    ASSERT_EQ(r.d.prompts.sequence(), "error") << "no question: the sound stays";
    EXPECT_TRUE(r.d.prompts.shown[0].text.startsWith(QStringLiteral("Couldn't open file\n\ngone & lost.zdl\n")));
    EXPECT_EQ(r.recent.paths(), QStringList{laser});
    EXPECT_EQ(r.items(),
              QStringList({QStringLiteral("&1 laser.zdl"), QStringLiteral("-"), QStringLiteral("&Clear Menu")}));
    EXPECT_EQ(r.d.title(), QStringLiteral("Zindle - laser.zdl *"));
}

TEST(FileDialogs, StartInTheSoundsFolderElseTheLastOne) {
    RecentHarness r;
    const QString sub = r.d.file(QStringLiteral("sub"));
    QDir().mkpath(sub);
    QFile::copy(QStringLiteral(ZINDLE_TEST_DATA "/sounds/laser.zdl"), sub + QStringLiteral("/laser.zdl"));
    auto openDialogDirectory = [&r] {
        r.d.prompts.openName(QString());
        r.d.key(Qt::Key_O);
        return r.d.prompts.shown.back().request.directory;
    };
    EXPECT_EQ(openDialogDirectory(), r.d.dir.path()) << "nothing used yet: the start directory";

    r.open(sub + QStringLiteral("/laser.zdl"));
    r.d.saveAs(QStringLiteral("top.zdl"));
    EXPECT_EQ(openDialogDirectory(), r.d.dir.path()) << "the current sound's folder";
    r.d.prompts.saveName(QString());
    r.d.key(Qt::Key_E);
    EXPECT_EQ(r.d.prompts.shown.back().request.directory, r.d.dir.path());

    // Exports keep a folder of their own: one into sub leaves the sounds' folder as it was.
    r.d.prompts.saveName(sub + QStringLiteral("/out.wav"));
    r.d.key(Qt::Key_E);
    r.d.key(Qt::Key_N);
    EXPECT_EQ(openDialogDirectory(), r.d.dir.path());

    // Saved last into sub: a new sound's dialogs start there, in this run and the next.
    r.d.saveAs(QStringLiteral("sub/new.zdl"));
    r.d.key(Qt::Key_N);
    EXPECT_EQ(openDialogDirectory(), sub);
    RecentHarness next(r.settingsPath);
    next.d.prompts.saveName(QString());
    next.d.key(Qt::Key_A);
    EXPECT_EQ(next.d.prompts.shown.back().request.directory, sub);

    // A last folder that has gone since: the start directory again.
    QDir(sub).removeRecursively();
    next.d.prompts.saveName(QString());
    next.d.key(Qt::Key_A);
    EXPECT_EQ(next.d.prompts.shown.back().request.directory, next.d.dir.path());
}

TEST(OpenAtStart, OpensWithoutAskingOrReportsOverTheFirstFrame) {
    struct Case {
        const char* name;
        QByteArray bytes;  // empty: no such file
        const char* title;
        bool failure;
    };
    const Case cases[] = {
        {"a good sound", QByteArray("laser.zdl"), "Zindle - start.zdl", false},
        {"a missing file", QByteArray(), "Zindle", true},
        {"a corrupt file", QByteArray("\xE9\x03\x00\x00\x02", 5), "Zindle", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RecentHarness r;
        const QString path = r.d.file(QStringLiteral("start.zdl"));
        if (c.bytes == "laser.zdl") {
            r.d.copySound(QStringLiteral("laser.zdl"), QStringLiteral("start.zdl"));
        } else if (!c.bytes.isEmpty()) {
            QFile f(path);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(c.bytes);
        }
        r.d.h.window->openAtStart(path);
        EXPECT_EQ(r.d.title(), QString::fromLatin1(c.title));
        EXPECT_FALSE(r.d.h.document.modified());
        EXPECT_EQ(r.d.prompts.sequence(), "") << "the window may not be on screen yet";
        QCoreApplication::processEvents();
        EXPECT_EQ(r.d.prompts.sequence(), c.failure ? "error" : "");
        if (c.failure) {
            EXPECT_TRUE(r.d.prompts.shown[0].text.startsWith(QStringLiteral("Couldn't open file\n\nstart.zdl\n")));
            EXPECT_TRUE(r.recent.paths().isEmpty());
        } else {
            EXPECT_EQ(r.recent.paths(), QStringList{path});
        }
    }
}

// A named pipe would hold the editor until something wrote to it, perhaps
// forever, with the user's edits in it: every way in and out refuses it at
// once with the reason, and the sound stays as it was.
TEST(NamedPipe, EveryWayOfOpeningOrSavingRefusesItAtOnce) {
    enum class Way { Open, OpenRecent, Drop, AtStart, Save, SaveAs, Export };
    const struct {
        const char* name;
        Way way;
        const char* file;
        const char* prompts;
        const char* message;
    } cases[] = {
        {"Open", Way::Open, "pipe.zdl", "open, error", "Couldn't open file\n\npipe.zdl\n%1."},
        {"Open Recent", Way::OpenRecent, "pipe.json", "error", "Couldn't open file\n\npipe.json\n%1."},
        {"a drop", Way::Drop, "pipe.efc", "error", "Couldn't open file\n\npipe.efc\n%1."},
        {"the command line", Way::AtStart, "pipe.zdl", "error", "Couldn't open file\n\npipe.zdl\n%1."},
        {"Save", Way::Save, "pipe.zdl", "error", "Couldn't save file\n\npipe.zdl\n%1; it was left as it is."},
        {"Save As", Way::SaveAs, "pipe.json", "save, error",
         "Couldn't save file\n\npipe.json\n%1; it was left as it is."},
        {"Export", Way::Export, "pipe.wav", "save, error", "Couldn't save file\n\npipe.wav\n%1; it was left as it is."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RecentHarness r;
        const QString pipe = r.d.file(QLatin1String(c.file));
        // Save writes the file the document came from: it became a pipe since.
        if (c.way == Way::Save) r.d.saveAs(QLatin1String(c.file));
        r.d.edit(7);
        if (c.way == Way::Save) QFile::remove(pipe);
        GuardedFifo fifo(pipe);
        ASSERT_TRUE(fifo.ok());
        if (c.way == Way::OpenRecent) r.recent.add(pipe);
        const QString title = r.d.title();
        const QStringList recent = r.recent.paths();
        r.d.prompts.shown.clear();
        QMimeData data;
        switch (c.way) {
        case Way::Open:
            r.d.prompts.answer(Answer::No);
            r.open(pipe);
            break;
        case Way::OpenRecent:
            r.d.prompts.answer(Answer::No);
            r.item(QStringLiteral("&1 pipe.json"))->trigger();
            break;
        case Way::Drop:
            r.d.prompts.answer(Answer::No);
            data.setUrls({QUrl::fromLocalFile(pipe)});
            dragAndDrop(r.d.h.window.get(), data);
            break;
        case Way::AtStart:
            r.d.h.window->openAtStart(pipe);
            QCoreApplication::processEvents();
            break;
        case Way::Save: r.d.key(Qt::Key_S); break;
        case Way::SaveAs: r.d.saveAs(QLatin1String(c.file)); break;
        case Way::Export:
            r.d.prompts.saveName(pipe);
            r.d.key(Qt::Key_E);
            break;
        }
        EXPECT_FALSE(fifo.opened()) << "the pipe was opened";
        std::string sequence = r.d.prompts.sequence();
        // The save-changes question comes first where the sound would be replaced.
        if (sequence.rfind("question, ", 0) == 0) sequence.erase(0, 10);
        EXPECT_EQ(sequence, c.prompts);
        ASSERT_FALSE(r.d.prompts.shown.empty());
        EXPECT_EQ(
            r.d.prompts.shown.back().text.toStdString(),
            QString::fromLatin1(c.message).arg(QStringLiteral("It is not a regular file: a named pipe")).toStdString());
        EXPECT_EQ(r.d.title().toStdString(), title.toStdString()) << "the sound and its edits stay";
        EXPECT_EQ(r.recent.paths(), recent);
    }
}

}  // namespace
