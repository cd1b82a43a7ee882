// The editor binary in a real X server: the About box at start, a click on
// the output plot, a screenshot, About and its Help again, and Exit through
// the File menu's keys; a sound named on the command line, and one that
// cannot be read.

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

namespace {

const QString kEditor = QStringLiteral(ZINDLE_BINARY_DIR "/src/app/zindle");

struct ToolRun {
    int status = -1;
    QString out;
};

class EditorEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "editor_end_to_end_test";
        static char* argv[] = {name, nullptr};
        if (!QCoreApplication::instance()) new QCoreApplication(argc, argv);
        for (const char* tool : {"Xvfb", "xdotool", "import", "timeout"})
            if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
                GTEST_SKIP() << tool << " is not installed (./dev deps installs it)";
        ASSERT_TRUE(work.isValid());
        startServer();
    }

    void TearDown() override {
        for (QProcess* p : {&editor, &server}) {
            if (p->state() != QProcess::NotRunning) {
                p->kill();
                p->waitForFinished(5000);
            }
        }
    }

    // Xvfb picks a free display itself and writes its number to stdout.
    void startServer() {
        server.start(QStringLiteral("Xvfb"),
                     {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"), QStringLiteral("0"),
                      QStringLiteral("1024x768x24"), QStringLiteral("-nolisten"), QStringLiteral("tcp")});
        QDeadlineTimer deadline(15000);
        while (!server.canReadLine() && !deadline.hasExpired() && server.state() != QProcess::NotRunning)
            server.waitForReadyRead(500);
        bool ok = false;
        const int number = server.readLine().trimmed().toInt(&ok);
        ASSERT_TRUE(ok) << "Xvfb did not report its display";
        display = QStringLiteral(":%1").arg(number);
    }

    // A tool run against our display, with a deadline of its own.
    ToolRun tool(const QString& program, const QStringList& arguments) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), display);
        p.setProcessEnvironment(env);
        p.start(QStringLiteral("timeout"), QStringList{QStringLiteral("10"), program} + arguments);
        ToolRun r;
        if (p.waitForFinished(15000) && p.exitStatus() == QProcess::NormalExit) {
            r.status = p.exitCode();
            r.out = QString::fromUtf8(p.readAllStandardOutput()).trimmed();
        }
        return r;
    }

    // The id of the visible window whose title matches, or empty.
    QString findWindow(const QString& titlePattern) {
        const ToolRun r = tool(QStringLiteral("xdotool"), {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                                           QStringLiteral("--name"), titlePattern});
        return r.status == 0 ? r.out.section(QLatin1Char('\n'), 0, 0) : QString();
    }

    QString waitForWindow(const QString& titlePattern) {
        QDeadlineTimer deadline(30000);
        while (!deadline.hasExpired()) {
            const QString id = findWindow(titlePattern);
            if (!id.isEmpty()) return id;
            QThread::msleep(200);
        }
        return QString();
    }

    bool waitUntilGone(const QString& titlePattern) {
        QDeadlineTimer deadline(10000);
        while (!deadline.hasExpired()) {
            if (findWindow(titlePattern).isEmpty()) return true;
            QThread::msleep(100);
        }
        return false;
    }

    bool keys(const QString& window, const QStringList& sequence) {
        if (tool(QStringLiteral("xdotool"), {QStringLiteral("windowfocus"), QStringLiteral("--sync"), window}).status !=
            0)
            return false;
        for (const QString& key : sequence) {
            if (tool(QStringLiteral("xdotool"), {QStringLiteral("key"), key}).status != 0) return false;
            QThread::msleep(200);  // let the menu open before the next key
        }
        return true;
    }

    QImage screenshot(const QString& name) {
        const QString path = QDir(work.path()).filePath(name);
        tool(QStringLiteral("import"),
             {QStringLiteral("-display"), display, QStringLiteral("-window"), QStringLiteral("root"), path});
        return QImage(path);
    }

    // A screenshot once the screen has settled: two in a row alike.
    QImage settledScreenshot(const QString& name) {
        QImage last = screenshot(name);
        QDeadlineTimer deadline(10000);
        while (!deadline.hasExpired()) {
            QThread::msleep(200);
            QImage next = screenshot(name);
            if (next == last) return next;
            last = next;
        }
        return last;
    }

    static int colourCount(const QImage& image) {
        QSet<QRgb> colours;
        for (int y = 0; y < image.height(); y += 2)
            for (int x = 0; x < image.width(); x += 2) colours.insert(image.pixel(x, y));
        return colours.size();
    }

    // The editor on our display, run in the work folder.
    void startEditor(const QStringList& arguments) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), display);
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        env.insert(QStringLiteral("SDL_AUDIODRIVER"), QStringLiteral("dummy"));
        const QString runtime = QDir(work.path()).filePath(QStringLiteral("xdg"));
        QDir().mkpath(runtime);
        QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
        env.remove(QStringLiteral("ZINDLE_EXIT_AFTER_FIRST_PAINT"));
        // The recent files go to the test's folder, never the user's.
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), QDir(work.path()).filePath(QStringLiteral("config")));
        // Under the leak checker: the desktop bus library that Qt's X11 platform
        // loads keeps buffers until exit; that is not ours to report.
        const QString suppressions = QDir(work.path()).filePath(QStringLiteral("lsan.supp"));
        QFile supp(suppressions);
        ASSERT_TRUE(supp.open(QIODevice::WriteOnly));
        supp.write("leak:libdbus-1.so\n");
        supp.close();
        const QString lsan = env.value(QStringLiteral("LSAN_OPTIONS"));
        env.insert(QStringLiteral("LSAN_OPTIONS"), (lsan.isEmpty() ? QString() : lsan + QLatin1Char(':')) +
                                                       QStringLiteral("suppressions=") + suppressions);
        editor.setProcessEnvironment(env);
        editor.setWorkingDirectory(work.path());
        editor.start(kEditor, arguments);
        ASSERT_TRUE(editor.waitForStarted(10000));
    }

    // How many visible windows have a matching title.
    int windowCount(const QString& titlePattern) {
        const ToolRun r = tool(QStringLiteral("xdotool"), {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                                           QStringLiteral("--name"), titlePattern});
        return r.status == 0 ? static_cast<int>(r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts).size()) : 0;
    }

    // File, Exit by the menu's mnemonics, with nothing to ask about.
    void exitByTheMenu(const QString& main) {
        ASSERT_TRUE(keys(main, {QStringLiteral("alt+f"), QStringLiteral("x")}));
        ASSERT_TRUE(editor.waitForFinished(20000)) << "the editor did not exit";
        EXPECT_EQ(editor.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(editor.exitCode(), 0) << editor.readAllStandardError().toStdString();
    }

    QTemporaryDir work;
    QString display;
    QProcess server;
    QProcess editor;
};

TEST_F(EditorEndToEnd, StartsPlaysShowsItselfAndExitsByTheMenu) {
    startEditor({});

    // The About box comes up over the main window at every start; Escape closes it.
    const QString about = waitForWindow(QStringLiteral("^About$"));
    ASSERT_FALSE(about.isEmpty()) << "no About box";
    const QString main = waitForWindow(QStringLiteral("^Zindle$"));
    ASSERT_FALSE(main.isEmpty()) << "no main window";
    ASSERT_TRUE(keys(about, {QStringLiteral("Escape")}));
    ASSERT_TRUE(waitUntilGone(QStringLiteral("^About$"))) << "Escape did not close the About box";
    const QImage before = settledScreenshot(QStringLiteral("before.png"));

    // A click low in the window lands on the output plot: the sound plays and the hint moves on.
    const ToolRun geometry =
        tool(QStringLiteral("xdotool"), {QStringLiteral("getwindowgeometry"), QStringLiteral("--shell"), main});
    const QRegularExpression size(QStringLiteral("WIDTH=(\\d+)\\s+HEIGHT=(\\d+)"));
    const QRegularExpressionMatch m = size.match(geometry.out);
    ASSERT_TRUE(m.hasMatch()) << geometry.out.toStdString();
    const int x = m.captured(1).toInt() / 3;
    const int y = m.captured(2).toInt() * 4 / 5;
    ASSERT_EQ(tool(QStringLiteral("xdotool"),
                   {QStringLiteral("mousemove"), QStringLiteral("--window"), main, QString::number(x),
                    QString::number(y), QStringLiteral("click"), QStringLiteral("1")})
                  .status,
              0);
    QImage after;
    QDeadlineTimer deadline(10000);
    do {
        QThread::msleep(200);
        after = screenshot(QStringLiteral("after.png"));
    } while (after == before && !deadline.hasExpired());
    ASSERT_FALSE(after.isNull());
    EXPECT_GT(colourCount(after), 16) << "the screenshot is blank";
    EXPECT_NE(after, before) << "the click on the output plot changed nothing";

    // Alt+/ opens the About box again; its Help button opens the manual beside it.
    ASSERT_TRUE(keys(main, {QStringLiteral("alt+slash")}));
    const QString again = waitForWindow(QStringLiteral("^About$"));
    ASSERT_FALSE(again.isEmpty()) << "Alt+/ did not open the About box";
    ASSERT_EQ(tool(QStringLiteral("xdotool"),
                   {QStringLiteral("mousemove"), QStringLiteral("--window"), again, QStringLiteral("175"),
                    QStringLiteral("261"), QStringLiteral("click"), QStringLiteral("1")})
                  .status,
              0);
    EXPECT_FALSE(waitForWindow(QStringLiteral("^Zindle Help$")).isEmpty()) << "Help showed no manual";
    ASSERT_TRUE(keys(again, {QStringLiteral("Escape")}));
    ASSERT_TRUE(waitUntilGone(QStringLiteral("^About$")));

    // Nothing was edited, so nothing asks, and the open help window does not
    // keep the program running.
    exitByTheMenu(main);
}

TEST_F(EditorEndToEnd, ASoundNamedAtStartOpensWithoutTheAboutBox) {
    ASSERT_TRUE(QFile::copy(QStringLiteral(ZINDLE_TEST_DATA "/sounds/laser.zdl"),
                            QDir(work.path()).filePath(QStringLiteral("boom.zdl"))));
    startEditor({QStringLiteral("boom.zdl")});
    const QString main = waitForWindow(QStringLiteral("^Zindle - boom\\.zdl$"));
    ASSERT_FALSE(main.isEmpty()) << "no window titled after the sound";
    // The About box would open right after the first frame: give it time to.
    QThread::msleep(1500);
    EXPECT_EQ(windowCount(QStringLiteral("^About$")), 0);
    exitByTheMenu(main);
}

TEST_F(EditorEndToEnd, ASoundThatCannotBeReadIsReportedOverTheWindow) {
    startEditor({QStringLiteral("missing.zdl")});
    // The main window and the message box are both captioned with the program's name.
    QDeadlineTimer deadline(30000);
    while (windowCount(QStringLiteral("^Zindle$")) < 2 && !deadline.hasExpired()) QThread::msleep(200);
    ASSERT_EQ(windowCount(QStringLiteral("^Zindle$")), 2) << "no message beside the window";
    EXPECT_EQ(windowCount(QStringLiteral("^About$")), 0);
    const QImage shot = settledScreenshot(QStringLiteral("missing.png"));
    EXPECT_GT(colourCount(shot), 16) << "the window is not drawn under the message";

    // Return answers the box; the new sound is still there to edit.
    const ToolRun ids = tool(QStringLiteral("xdotool"), {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                                         QStringLiteral("--name"), QStringLiteral("^Zindle$")});
    const QStringList both = ids.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(both.size(), 2);
    // The box is the narrower of the two.
    auto width = [this](const QString& id) {
        const ToolRun g =
            tool(QStringLiteral("xdotool"), {QStringLiteral("getwindowgeometry"), QStringLiteral("--shell"), id});
        return QRegularExpression(QStringLiteral("WIDTH=(\\d+)")).match(g.out).captured(1).toInt();
    };
    const QString box = width(both[0]) < width(both[1]) ? both[0] : both[1];
    ASSERT_TRUE(keys(box, {QStringLiteral("Return")}));
    deadline.setRemainingTime(10000);
    while (windowCount(QStringLiteral("^Zindle$")) > 1 && !deadline.hasExpired()) QThread::msleep(100);
    ASSERT_EQ(windowCount(QStringLiteral("^Zindle$")), 1) << "Return did not close the message";
    exitByTheMenu(findWindow(QStringLiteral("^Zindle$")));
}

}  // namespace
