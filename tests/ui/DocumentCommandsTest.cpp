// New, Open, Save, Save As, Export and the close request through the real window,
// with the user's answers scripted.

#include "DecodedSound.h"
#include "DocumentHarness.h"
#include "FileSizeLimit.h"

#include "storage/SoundFile.h"
#include "storage/ZdlFile.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

namespace {

using Answer = Prompts::Answer;
using Kind = ScriptedPrompts::Kind;

constexpr int kSquare = 200;

QByteArray bytesOf(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The waveform stored in a .zdl file, or 0 when it cannot be read.
int savedWaveform(const QString& path) {
    const ReadResult r = zdl::read(path);
    return r.ok ? r.settings.waveform : 0;
}

// The filters as one line: "description patterns|...".
QString filterLine(const FileDialogRequest& request) {
    QStringList parts;
    for (const FileDialogRequest::Filter& f : request.filters)
        parts << f.description + QLatin1Char(' ') + f.patterns.join(QLatin1Char(' '));
    return parts.join(QLatin1Char('|'));
}

// A folder where the file was: every later write of it fails.
void blockWrites(const QString& path) {
    QFile::remove(path);
    QDir().mkpath(path);
}

enum class Command { New, Open, Close };

struct PromptCase {
    const char* name;
    bool named;            // the document was saved as a.zdl before the edit
    Answer answer;         // to "Save changes to this file?"
    const char* saveAsTo;  // the Save dialog's choice for an unnamed document ("" cancels)
    bool failingWrite;     // a.zdl cannot be written any more
    bool goesOn;           // the command carries on
    const char* savedIn;   // the file that received the edits, if any
};

const PromptCase kPromptCases[] = {
    {"Yes on a named document", true, Answer::Yes, nullptr, false, true, "a.zdl"},
    {"Yes on an unnamed document", false, Answer::Yes, "b.zdl", false, true, "b.zdl"},
    {"Yes, then the Save dialog cancelled", false, Answer::Yes, "", false, false, nullptr},
    {"Yes, but the file cannot be written", true, Answer::Yes, nullptr, true, false, nullptr},
    {"No", true, Answer::No, nullptr, false, true, nullptr},
    {"Cancel", true, Answer::Cancel, nullptr, false, false, nullptr},
};

TEST(SaveChangesPrompt, GuardsNewOpenAndCloseAlike) {
    for (const Command command : {Command::New, Command::Open, Command::Close}) {
        for (const PromptCase& c : kPromptCases) {
            SCOPED_TRACE(std::string(c.name) + " for command " + std::to_string(static_cast<int>(command)));
            DocumentHarness d;
            const QString laser = d.copySound(QStringLiteral("laser.zdl"));
            if (c.named) d.saveAs(QStringLiteral("a.zdl"));
            d.edit();
            const QString editedTitle = c.named ? QStringLiteral("Zindle - a.zdl *") : QStringLiteral("Zindle *");
            ASSERT_EQ(d.title(), editedTitle);
            if (c.failingWrite) blockWrites(d.file(QStringLiteral("a.zdl")));
            d.prompts.shown.clear();

            d.prompts.answer(c.answer);
            if (c.saveAsTo) d.prompts.saveName(*c.saveAsTo ? d.file(QString::fromLatin1(c.saveAsTo)) : QString());
            if (command == Command::Open && c.goesOn) d.prompts.openName(laser);

            switch (command) {
            case Command::New: d.menu().newAction->trigger(); break;
            case Command::Open: d.menu().openAction->trigger(); break;
            case Command::Close: d.menu().exitAction->trigger(); break;
            }

            EXPECT_EQ(d.prompts.unused(), 0u);
            ASSERT_FALSE(d.prompts.shown.empty());
            EXPECT_EQ(d.prompts.shown[0].text, c.named ? QStringLiteral("Save changes to this file?\n\n    a.zdl")
                                                       : QStringLiteral("Save changes to this file?"));
            EXPECT_EQ(d.prompts.count(Kind::Error), c.failingWrite ? 1 : 0);
            if (c.failingWrite) {
                EXPECT_TRUE(d.prompts.shown.back().text.startsWith(QStringLiteral("Couldn't save file\n\n")));
            }
            if (c.savedIn) {
                EXPECT_EQ(savedWaveform(d.file(QString::fromLatin1(c.savedIn))), kSquare);
            } else if (c.named && !c.failingWrite) {
                EXPECT_NE(savedWaveform(d.file(QStringLiteral("a.zdl"))), kSquare) << "the edits were not saved";
            }

            if (!c.goesOn) {
                EXPECT_TRUE(d.h.window->isVisible());
                EXPECT_EQ(d.title(), editedTitle) << "an abandoned command changes nothing";
                EXPECT_EQ(d.h.document.settings().waveform, kSquare);
                EXPECT_TRUE(d.h.document.modified());
                continue;
            }
            switch (command) {
            case Command::New:
                EXPECT_EQ(d.title(), QStringLiteral("Zindle"));
                EXPECT_EQ(d.h.document.settings().waveform, 100);
                EXPECT_EQ(d.h.editor().waveformGroup().pressedIndex(), 0);
                break;
            case Command::Open:
                EXPECT_EQ(d.title(), QStringLiteral("Zindle - laser.zdl"));
                EXPECT_EQ(d.h.document.settings(), zdl::read(laser).settings);
                EXPECT_EQ(d.h.document.path(), laser);
                break;
            case Command::Close: EXPECT_FALSE(d.h.window->isVisible()); continue;  // the edits go with the window
            }
            EXPECT_FALSE(d.h.document.modified());
        }
    }
}

TEST(SaveCommand, OnAnUnnamedDocumentItIsSaveAs) {
    DocumentHarness d;
    d.prompts.saveName(QString());
    d.key(Qt::Key_S);  // nothing edited yet: still a dialog, as Save As
    ASSERT_EQ(d.prompts.sequence(), "save");
    const FileDialogRequest& request = d.prompts.shown[0].request;
    ASSERT_EQ(request.filters.size(), 2);
    EXPECT_EQ(request.filters[0].description, QStringLiteral("Sound Effects Files"));
    EXPECT_EQ(request.filters[0].patterns, QStringList({"*.zdl", "*.ZDL"}));
    EXPECT_EQ(request.filters[1].description, QStringLiteral("Sound Text Files"));
    EXPECT_EQ(request.filters[1].patterns, QStringList({"*.json", "*.JSON"}));
    EXPECT_EQ(request.directory, d.dir.path());
    EXPECT_EQ(request.fileName, QString());
    EXPECT_EQ(request.defaultSuffix, QStringLiteral("zdl"));
    EXPECT_EQ(d.title(), QStringLiteral("Zindle"));

    d.edit();
    d.prompts.saveName(QString());
    d.key(Qt::Key_S);
    EXPECT_EQ(d.title(), QStringLiteral("Zindle *")) << "a cancelled dialog changes nothing";
    EXPECT_TRUE(d.h.document.modified());

    d.prompts.saveName(d.file(QStringLiteral("c.zdl")));
    d.key(Qt::Key_S);
    EXPECT_EQ(d.title(), QStringLiteral("Zindle - c.zdl"));
    EXPECT_EQ(savedWaveform(d.file(QStringLiteral("c.zdl"))), kSquare);

    // Named now: the next Save writes without asking, and the dialog proposes the file.
    d.edit(7);
    EXPECT_EQ(d.title(), QStringLiteral("Zindle - c.zdl *"));
    d.key(Qt::Key_S);
    EXPECT_EQ(d.prompts.count(Kind::Save), 3);
    EXPECT_EQ(savedWaveform(d.file(QStringLiteral("c.zdl"))), 202);
    EXPECT_EQ(d.title(), QStringLiteral("Zindle - c.zdl"));
    d.prompts.saveName(QString());
    d.key(Qt::Key_A);
    EXPECT_EQ(d.prompts.shown.back().request.fileName, d.file(QStringLiteral("c.zdl")));
    EXPECT_EQ(d.prompts.unused(), 0u);
}

TEST(SaveAsCommand, AFailedWriteKeepsThePreviousName) {
    DocumentHarness d;
    d.saveAs(QStringLiteral("a.zdl"));
    d.edit();
    d.saveAs(QStringLiteral("missing/b.zdl"));
    EXPECT_EQ(d.prompts.sequence(), "save, save, error");
    EXPECT_EQ(d.prompts.shown.back().text.section(QLatin1Char('\n'), 0, 2),
              QStringLiteral("Couldn't save file\n\nb.zdl"));
    EXPECT_EQ(d.title(), QStringLiteral("Zindle - a.zdl *"));
    EXPECT_EQ(d.h.document.path(), d.file(QStringLiteral("a.zdl")));

    d.key(Qt::Key_S);  // goes where the caption says
    EXPECT_EQ(savedWaveform(d.file(QStringLiteral("a.zdl"))), kSquare);
    EXPECT_FALSE(QFileInfo::exists(d.file(QStringLiteral("missing/b.zdl"))));
    EXPECT_EQ(d.title(), QStringLiteral("Zindle - a.zdl"));
}

// On a full disk a save is a failure: the old file keeps its bytes, the user
// is told why, and the edits stay marked, also when the save was asked for
// by the question on close (which then does not close).
TEST(SaveCommand, AFullDiskKeepsTheFileAndTheEdits) {
    enum class Via { SaveKey, ExportKey, CloseQuestion };
    for (const Via via : {Via::SaveKey, Via::ExportKey, Via::CloseQuestion}) {
        SCOPED_TRACE(static_cast<int>(via));
        DocumentHarness d;
        d.saveAs(QStringLiteral("a.zdl"));
        const QString wav = d.file(QStringLiteral("a.wav"));
        ASSERT_TRUE(QFile::copy(d.file(QStringLiteral("a.zdl")), wav));  // some earlier bytes to keep
        const QByteArray savedZdl = bytesOf(d.file(QStringLiteral("a.zdl")));
        const QByteArray savedWav = bytesOf(wav);
        d.edit();
        d.prompts.shown.clear();
        {
            FileSizeLimit full(0);
            ASSERT_TRUE(full.ok());
            switch (via) {
            case Via::SaveKey: d.key(Qt::Key_S); break;
            case Via::ExportKey:
                d.prompts.saveName(wav);
                d.key(Qt::Key_E);
                break;
            case Via::CloseQuestion:
                d.prompts.answer(Answer::Yes);
                d.menu().exitAction->trigger();
                break;
            }
        }
        EXPECT_EQ(d.prompts.unused(), 0u);
        ASSERT_EQ(d.prompts.count(Kind::Error), 1);
        const QString message = d.prompts.shown.back().text;
        EXPECT_TRUE(message.startsWith(QStringLiteral("Couldn't save file\n\n"))) << message.toStdString();
        EXPECT_TRUE(message.contains(QString::fromLocal8Bit(std::strerror(EFBIG)))) << message.toStdString();
        EXPECT_EQ(bytesOf(d.file(QStringLiteral("a.zdl"))), savedZdl);
        EXPECT_EQ(bytesOf(wav), savedWav);
        EXPECT_EQ(d.title(), QStringLiteral("Zindle - a.zdl *"));
        EXPECT_TRUE(d.h.document.modified());
        EXPECT_TRUE(d.h.window->isVisible());
    }
}

// Export offers the three file types; the chosen name's extension picks the
// format, and any other name gets the picked type's extension, which the user
// is asked about (Replace or Cancel) when that file exists already.
TEST(ExportCommand, TheChosenExtensionPicksTheFormat) {
    const struct {
        const char* chosen;
        int filter;  // the file type picked: WAV, FLAC, Ogg
        const char* written;
        const char* type;      // as libsndfile reads it back
        const char* existing;  // a file already under the written name
        const char* answer;    // to "... already exists", if asked
        bool replaced;
    } cases[] = {
        {"x.wav", 0, "x.wav", "wav", nullptr, nullptr, true},
        {"x.FLAC", 0, "x.FLAC", "flac", nullptr, nullptr, true},
        {"x.ogg", 1, "x.ogg", "ogg", nullptr, nullptr, true},
        {"x", 0, "x.wav", "wav", nullptr, nullptr, true},
        {"x.mp3", 0, "x.mp3.wav", "wav", nullptr, nullptr, true},
        {"x.mp3", 1, "x.mp3.flac", "flac", nullptr, nullptr, true},
        {"x.mp3", 2, "x.mp3.ogg", "ogg", nullptr, nullptr, true},
        {"x.mp3", 0, "x.mp3.wav", "wav", "x.mp3.wav", "Yes", true},
        {"x.mp3", 0, "x.mp3.wav", "wav", "x.mp3.wav", "No", false},
        {"x.flac", 0, "x.flac", "flac", "x.flac", nullptr, true},  // the dialog asked already
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.chosen) + " type " + std::to_string(c.filter) +
                     (c.existing ? " over an existing file" : "") + (c.answer ? std::string(", ") + c.answer : ""));
        DocumentHarness d;
        d.clickButton(d.h.editor().repeatsGroup(), 2);
        const QByteArray old("an earlier export");
        if (c.existing) {
            QFile f(d.file(QString::fromLatin1(c.existing)));
            ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write(old) == old.size());
        }
        d.prompts.saveName(d.file(QString::fromLatin1(c.chosen)), c.filter);
        if (c.answer) d.prompts.answer(QLatin1String(c.answer) == QLatin1String("Yes") ? Answer::Yes : Answer::No);
        d.key(Qt::Key_E);

        EXPECT_EQ(d.prompts.sequence(), c.answer ? "save, question" : "save");
        EXPECT_EQ(d.prompts.unused(), 0u);
        if (c.answer) {
            EXPECT_EQ(d.prompts.confirmActions, QStringList{QStringLiteral("Replace")});
        }
        const FileDialogRequest& request = d.prompts.shown[0].request;
        EXPECT_EQ(request.title, QStringLiteral("Export"));
        ASSERT_EQ(request.filters.size(), 3);
        EXPECT_EQ(filterLine(request), QStringLiteral("WAV Files *.wav *.WAV|FLAC Files *.flac *.FLAC|"
                                                      "Ogg Vorbis Files *.ogg *.OGG"));
        EXPECT_EQ(request.defaultSuffix, QStringLiteral("wav"));
        const QString written = d.file(QString::fromLatin1(c.written));
        QStringList expectedFiles{QString::fromLatin1(c.written)};
        EXPECT_EQ(QDir(d.dir.path()).entryList(QDir::Files), expectedFiles);
        if (!c.replaced) {
            EXPECT_EQ(bytesOf(written), old);
            continue;
        }
        const DecodedSound decoded = DecodedSound::read(written);
        ASSERT_TRUE(decoded.error.isEmpty()) << decoded.error.toStdString();
        EXPECT_EQ(decoded.type, QLatin1String(c.type));
        EXPECT_EQ(decoded.frames, int64_t(d.h.document.rendered().sampleCount()) * 3) << "three repeats, as play plays";
    }
}

// Save As: a name of neither sound format gets the picked type's extension,
// as Export does; .efc is read, never written, so it is no exception.
TEST(SaveAsCommand, ANameOfNoSoundFormatGetsThePickedTypes) {
    const struct {
        const char* chosen;
        int filter;  // Sound Effects Files, Sound Text Files
        const char* written;
        const char* existing;
        const char* answer;
    } cases[] = {
        {"x.zdl", 1, "x.zdl", nullptr, nullptr},        {"x.JSON", 0, "x.JSON", nullptr, nullptr},
        {"x.mp3", 0, "x.mp3.zdl", nullptr, nullptr},    {"x.mp3", 1, "x.mp3.json", nullptr, nullptr},
        {"x.efc", 0, "x.efc.zdl", nullptr, nullptr},    {"x.mp3", 0, "x.mp3.zdl", "x.mp3.zdl", "Yes"},
        {"x.mp3", 1, "x.mp3.json", "x.mp3.json", "No"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.chosen) + " type " + std::to_string(c.filter) + (c.answer ? c.answer : ""));
        DocumentHarness d;
        d.edit();
        const QByteArray old("an earlier file");
        if (c.existing) {
            QFile f(d.file(QString::fromLatin1(c.existing)));
            ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write(old) == old.size());
        }
        d.prompts.saveName(d.file(QString::fromLatin1(c.chosen)), c.filter);
        const bool replace = c.answer && QLatin1String(c.answer) == QLatin1String("Yes");
        if (c.answer) d.prompts.answer(replace ? Answer::Yes : Answer::No);
        d.menu().saveAsAction->trigger();

        EXPECT_EQ(d.prompts.sequence(), c.answer ? "save, question" : "save");
        EXPECT_EQ(QDir(d.dir.path()).entryList(QDir::Files), QStringList{QString::fromLatin1(c.written)});
        const QString written = d.file(QString::fromLatin1(c.written));
        if (c.answer && !replace) {
            EXPECT_EQ(bytesOf(written), old);
            EXPECT_TRUE(d.h.document.modified()) << "nothing was saved";
            continue;
        }
        const ReadResult read = soundfile::read(written);
        ASSERT_TRUE(read.ok) << read.error.toStdString();
        EXPECT_EQ(read.settings, d.h.document.settings());
        EXPECT_EQ(d.title(), QStringLiteral("Zindle - %1").arg(QString::fromLatin1(c.written)));
    }
}

// Exports keep a folder of their own: the next Export starts where the last
// one wrote, while Open and Save As stay with the sound.
TEST(ExportCommand, StartsInTheLastExportFolder) {
    DocumentHarness d;
    d.saveAs(QStringLiteral("laser.zdl"));
    ASSERT_TRUE(QDir(d.dir.path()).mkdir(QStringLiteral("assets")));
    d.prompts.saveName(d.file(QStringLiteral("assets/laser.wav")));
    d.key(Qt::Key_E);
    d.prompts.saveName(QString());
    d.key(Qt::Key_E);
    d.prompts.saveName(QString());
    d.menu().saveAsAction->trigger();
    ASSERT_EQ(d.prompts.shown.size(), 4u);
    const QString soundFolder = QFileInfo(d.dir.path()).absoluteFilePath();
    EXPECT_EQ(d.prompts.shown[1].request.directory, soundFolder) << "first export: the sound's folder";
    EXPECT_EQ(d.prompts.shown[1].request.fileName, d.file(QStringLiteral("laser.wav")));
    EXPECT_EQ(d.prompts.shown[2].request.directory, d.file(QStringLiteral("assets")));
    EXPECT_EQ(d.prompts.shown[2].request.fileName, d.file(QStringLiteral("assets/laser.wav")));
    EXPECT_EQ(d.prompts.shown[3].request.directory, soundFolder);
}

TEST(NewCommand, KeepsTheWidthAndResetsTheRest) {
    DocumentHarness d;
    d.clickButton(d.h.editor().bitsGroup(), 1);  // 16 bit
    d.clickButton(d.h.editor().rateGroup(), 2);  // 44KHz
    d.clickButton(d.h.editor().repeatsGroup(), 4);
    d.edit();
    d.prompts.answer(Answer::No);
    d.key(Qt::Key_N);

    EXPECT_EQ(d.prompts.sequence(), "question");
    const SoundDocument& m = d.h.document;
    EXPECT_EQ(m.settings().bitsPerSample, 16);
    EXPECT_EQ(m.rendered().bits(), 16);
    EXPECT_EQ(d.h.editor().bitsGroup().pressedIndex(), 1);
    EXPECT_EQ(m.settings().sampleRate, 11025);
    EXPECT_EQ(m.rendered().sampleRate(), 11025);
    EXPECT_EQ(d.h.editor().rateGroup().pressedIndex(), 0);
    EXPECT_EQ(m.settings().repeatCount, 1);
    EXPECT_EQ(d.h.editor().repeatsGroup().pressedIndex(), 0);
    EXPECT_EQ(m.settings().waveform, 100);
    EXPECT_EQ(m.settings().amplitude.toText(), "0:75 20:75 40:75 60:75 80:75 100:0");
    EXPECT_EQ(d.title(), QStringLiteral("Zindle"));
}

TEST(OpenCommand, AnOldStyleFileIsRenamedAndSavedBesideIt) {
    DocumentHarness d;
    const QString efc = d.copySound(QStringLiteral("boom.efc"), QStringLiteral("boom.EFC"));
    const QByteArray efcBytes = bytesOf(efc);
    d.prompts.openName(efc);
    d.key(Qt::Key_O);

    EXPECT_EQ(d.title(), QStringLiteral("Zindle - boom.zdl"));
    EXPECT_EQ(d.h.document.path(), d.file(QStringLiteral("boom.zdl")));
    const ReadResult read = soundfile::read(efc);
    ASSERT_TRUE(read.ok);
    EXPECT_EQ(d.h.document.settings(), read.settings);

    d.key(Qt::Key_S);
    EXPECT_EQ(d.prompts.sequence(), "open") << "no dialog when nothing is in the way";
    const ReadResult saved = zdl::read(d.file(QStringLiteral("boom.zdl")));
    ASSERT_TRUE(saved.ok);
    EXPECT_EQ(saved.settings, read.settings);
    EXPECT_EQ(bytesOf(efc), efcBytes) << "the old file stays as it was";
}

TEST(OpenCommand, AnOldStyleFileDoesNotSilentlyReplaceASoundOfItsNewName) {
    DocumentHarness d;
    const QString efc = d.copySound(QStringLiteral("boom.efc"), QStringLiteral("boom.EFC"));
    const QString zdlPath = d.copySound(QStringLiteral("laser.zdl"), QStringLiteral("boom.zdl"));
    const QByteArray theirs = bytesOf(zdlPath);
    d.prompts.openName(efc);
    d.key(Qt::Key_O);
    EXPECT_EQ(d.title(), QStringLiteral("Zindle - boom.zdl"));

    // Save and the Yes of the prompt both go through the dialog, which asks before replacing.
    d.prompts.saveName(QString());
    d.key(Qt::Key_S);
    d.edit(7);
    d.edit();  // back to Square, two steps away from the file
    d.prompts.answer(Answer::Yes).saveName(QString());
    d.key(Qt::Key_N);
    EXPECT_EQ(d.prompts.sequence(), "open, save, question, save");
    EXPECT_EQ(d.prompts.shown[1].request.fileName, zdlPath);
    EXPECT_EQ(bytesOf(zdlPath), theirs);
    EXPECT_EQ(d.title(), QStringLiteral("Zindle - boom.zdl *"));

    // Once the user chose the file, Save writes it without asking again.
    d.prompts.saveName(zdlPath);
    d.key(Qt::Key_S);
    EXPECT_EQ(savedWaveform(zdlPath), kSquare);
    d.edit(7);
    d.key(Qt::Key_S);
    EXPECT_EQ(savedWaveform(zdlPath), 202);
    EXPECT_EQ(d.prompts.count(Kind::Save), 3);
    EXPECT_EQ(d.prompts.unused(), 0u);
}

TEST(OpenCommand, AFileThatCannotBeReadChangesNothing) {
    struct Bad {
        const char* name;
        QByteArray bytes;  // empty: a folder of that name
    };
    const Bad cases[] = {
        {"empty.zdl", QByteArray("")},
        {"short.zdl", QByteArray("\xE9\x03\x00\x00\x02", 5)},
        {"junk.efc", QByteArray("not an old-style sound")},
        {"typo.json", QByteArray("{\"format\": \"zindle-sound\", \"lenght\": 1}")},
        {"folder.zdl", QByteArray()},
    };
    for (const Bad& bad : cases) {
        SCOPED_TRACE(bad.name);
        DocumentHarness d;
        d.saveAs(QStringLiteral("a.zdl"));
        d.edit();
        const SoundSettings before = d.h.document.settings();
        const QString path = d.file(QString::fromLatin1(bad.name));
        if (bad.bytes.isNull()) {
            QDir().mkpath(path);
        } else {
            QFile f(path);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(bad.bytes);
        }
        d.prompts.answer(Answer::No).openName(path);
        d.key(Qt::Key_O);

        EXPECT_EQ(d.prompts.sequence(), "save, question, open, error");
        EXPECT_TRUE(d.prompts.shown.back().text.startsWith(
            QStringLiteral("Couldn't open file\n\n%1\n").arg(QString::fromLatin1(bad.name))))
            << d.prompts.shown.back().text.toStdString();
        EXPECT_EQ(d.title(), QStringLiteral("Zindle - a.zdl *")) << "the unsaved edits are still marked";
        EXPECT_EQ(d.h.document.settings(), before);
        d.key(Qt::Key_S);
        EXPECT_EQ(savedWaveform(d.file(QStringLiteral("a.zdl"))), kSquare) << "Save still writes a.zdl";
    }
}

}  // namespace
