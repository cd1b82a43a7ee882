// The editor executable as a user starts it: with no argument, with a sound
// to open, with arguments it cannot take. It builds everything, paints its
// first frame and, asked to by the environment, quits cleanly.

#include "document/RecentFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QString kEditor = QStringLiteral(ZINDLE_BINARY_DIR "/src/app/zindle");
const QString kSounds = QStringLiteral(ZINDLE_TEST_DATA "/sounds/");

struct EditorRun {
    bool finished = false;
    int exitCode = -1;
    QString out;
    QString err;
};

// Runs the editor in `work` with its settings there too, never the user's.
// `display` false: no display at all, so that making a window would fail.
EditorRun runEditor(const QTemporaryDir& work, const QStringList& arguments, bool display) {
    QProcess editor;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), work.filePath(QStringLiteral("config")));
    env.insert(QStringLiteral("ZINDLE_EXIT_AFTER_FIRST_PAINT"), QStringLiteral("1"));
    if (display) {
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    } else {
        env.remove(QStringLiteral("DISPLAY"));
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    }
    editor.setProcessEnvironment(env);
    editor.setWorkingDirectory(work.path());
    editor.start(kEditor, arguments);
    EditorRun r;
    r.finished = editor.waitForFinished(60000);
    if (!r.finished) {
        editor.kill();
        editor.waitForFinished(5000);
        return r;
    }
    r.exitCode = editor.exitStatus() == QProcess::NormalExit ? editor.exitCode() : -1;
    r.out = QString::fromUtf8(editor.readAllStandardOutput());
    r.err = QString::fromUtf8(editor.readAllStandardError());
    return r;
}

struct StartCase {
    const char* name;
    QStringList arguments;  // "@" stands for the work folder
    bool display;
    int exitCode;
    const char* out;  // a pattern for the whole of stdout
    const char* err;  // a pattern that stderr contains; "" for anything
};

const char kFirstPaint[] = "^first paint: \\d+ ms after process start\\n";

TEST(EditorStart, ArgumentsDecideWhatOpensAndWhatIsPrinted) {
    const StartCase cases[] = {
        {"no file", {}, true, 0, "title: Zindle\\n$", ""},
        {"a .zdl file", {kSounds + "laser.zdl"}, true, 0, "title: Zindle - laser\\.zdl\\n$", ""},
        {"an old-style file", {kSounds + "boom.efc"}, true, 0, "title: Zindle - boom\\.zdl\\n$", ""},
        {"a relative name", {"copy.zdl"}, true, 0, "title: Zindle - copy\\.zdl\\n$", ""},
        {"a missing file", {"@/missing.zdl"}, true, 0, "title: Zindle\\n$", ""},
        {"a corrupt file", {kSounds + "bad-rate.zdl"}, true, 0, "title: Zindle\\n$", ""},
        {"--help",
         {"--help"},
         false,
         0,
         "^Usage: zindle \\[options\\] \\[FILE\\|DIR\\]\\n(.|\\n)*--version(.|\\n)*FILE",
         "^$"},
        {"-h", {"-h"}, false, 0, "^Usage: zindle ", "^$"},
        {"--version", {"--version"}, false, 0, "^zindle \\d+\\.\\d+\\.\\d+\\n$", "^$"},
        {"an unknown option",
         {"--bogus"},
         false,
         2,
         "^$",
         "^zindle: Unknown option 'bogus'\\.\\nTry 'zindle --help'\\.\\n$"},
        {"an unknown option with a file", {kSounds + "laser.zdl", "-q"}, false, 2, "^$", "Unknown option 'q'"},
        {"two files", {kSounds + "laser.zdl", kSounds + "new.zdl"}, false, 2, "^$", "^zindle: One sound at a time"},
    };
    for (const StartCase& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir work;
        ASSERT_TRUE(work.isValid());
        QFile::copy(kSounds + "new.zdl", work.filePath(QStringLiteral("copy.zdl")));
        QStringList arguments = c.arguments;
        arguments.replaceInStrings(QRegularExpression(QStringLiteral("^@")), work.path());

        const EditorRun r = runEditor(work, arguments, c.display);
        ASSERT_TRUE(r.finished) << "the editor did not quit (a box waiting for an answer?)";
        EXPECT_EQ(r.exitCode, c.exitCode) << r.err.toStdString();
        // A run that opens a window prints the first paint before the title.
        const QString out = QString::fromLatin1(c.out);
        const QRegularExpression expected(c.display ? QString::fromLatin1(kFirstPaint) + out : out);
        EXPECT_TRUE(expected.match(r.out).hasMatch()) << r.out.toStdString();
        EXPECT_TRUE(QRegularExpression(QString::fromLatin1(c.err)).match(r.err).hasMatch()) << r.err.toStdString();
    }
}

// A sound opened at start joins the recent files the next run offers; one
// that could not be read does not.
TEST(EditorStart, ASoundOpenedAtStartIsRemembered) {
    QTemporaryDir work;
    ASSERT_TRUE(work.isValid());
    const QString settingsFile = work.filePath(QStringLiteral("config/zindle/zindle.ini"));
    auto recent = [&settingsFile] {
        QSettings settings(settingsFile, QSettings::IniFormat);
        return RecentFiles(settings).paths();
    };
    ASSERT_TRUE(runEditor(work, {kSounds + "laser.zdl"}, true).finished);
    ASSERT_TRUE(runEditor(work, {work.filePath(QStringLiteral("missing.zdl"))}, true).finished);
    EXPECT_EQ(recent(), QStringList{QDir::cleanPath(kSounds + "laser.zdl")});
    ASSERT_TRUE(runEditor(work, {kSounds + "boom.efc"}, true).finished);
    EXPECT_EQ(recent(), QStringList({QDir::cleanPath(kSounds + "boom.efc"), QDir::cleanPath(kSounds + "laser.zdl")}));
    // A folder opens as the sound bank and is offered again too.
    ASSERT_TRUE(runEditor(work, {kSounds}, true).finished);
    EXPECT_EQ(recent().value(0), QDir::cleanPath(kSounds));
}

// A settings file far larger than any the editor writes is not read (it
// holds a recent file all the same), and stays as it is while nothing is
// kept; a sound opened then writes a new file in its place.
TEST(EditorStart, AnOversizedSettingsFileIsIgnoredLikeADamagedOne) {
    QTemporaryDir work;
    ASSERT_TRUE(work.isValid());
    const QString settingsFile = work.filePath(QStringLiteral("config/zindle/zindle.ini"));
    ASSERT_TRUE(QDir().mkpath(QFileInfo(settingsFile).path()));
    const QByteArray bytes = QByteArray("[recentFiles]\n1\\path=/s/1.zdl\nsize=1\n;") + QByteArray(2 << 20, 'x') + '\n';
    {
        QFile file(settingsFile);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    }
    auto contents = [&settingsFile] {
        QFile file(settingsFile);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    ASSERT_TRUE(runEditor(work, {}, true).finished);
    EXPECT_EQ(contents(), bytes) << "left as it is";
    ASSERT_TRUE(runEditor(work, {kSounds + "laser.zdl"}, true).finished);
    QSettings settings(settingsFile, QSettings::IniFormat);
    EXPECT_EQ(RecentFiles(settings).paths(), QStringList{QDir::cleanPath(kSounds + "laser.zdl")});
}

}  // namespace
