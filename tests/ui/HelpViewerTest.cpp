#include "platform/DataFiles.h"
#include "ui/dialogs/HelpViewer.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>

#include <gtest/gtest.h>

namespace {

const QString kManualSource = QStringLiteral(ZINDLE_DOCS_DIR "/Zindle.html");

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(bytes);
}

QString slash(const QString& dir) { return dir + QLatin1Char('/'); }

}  // namespace

TEST(DataFilesTest, FindTakesTheFirstDirectoryThatHoldsTheFile) {
    QTemporaryDir first;
    QTemporaryDir second;
    QTemporaryDir empty;
    ASSERT_TRUE(first.isValid() && second.isValid() && empty.isValid());
    writeFile(first.filePath("both.txt"), "1");
    writeFile(second.filePath("both.txt"), "2");
    writeFile(second.filePath("second.txt"), "2");
    // A directory of that name is not the file.
    ASSERT_TRUE(QDir(first.path()).mkdir("folder.txt"));
    writeFile(second.filePath("folder.txt"), "2");

    const QStringList dirs = {slash(empty.path()), first.path(), slash(second.path())};
    struct Case {
        const char* name;
        QString expected;
    };
    const Case cases[] = {
        {"both.txt", first.filePath("both.txt")},
        {"second.txt", second.filePath("second.txt")},
        {"folder.txt", second.filePath("folder.txt")},
        {"nowhere.txt", QString()},
    };
    for (const Case& c : cases) EXPECT_EQ(data_files::find(QString::fromLatin1(c.name), dirs), c.expected) << c.name;
    EXPECT_EQ(data_files::find(QStringLiteral("both.txt"), {}), QString());
}

TEST(DataFilesTest, StartDirectoryComesFirstAndTheConfiguredDirectoryLast) {
    const QStringList dirs = data_files::searchDirectories(QStringLiteral("/home/someone/sounds/"));
    ASSERT_GE(dirs.size(), 2);
    EXPECT_EQ(dirs.first(), QStringLiteral("/home/someone/sounds/"));
    EXPECT_EQ(dirs.last(), slash(data_files::configuredDirectory()));
    EXPECT_EQ(QStringList(dirs).removeDuplicates(), 0);
    for (const QString& dir : dirs) EXPECT_TRUE(dir.endsWith('/')) << dir.toStdString();
    // Beside the program's bin/ in an install moved elsewhere.
    EXPECT_TRUE(dirs.contains(slash(QDir::cleanPath(QCoreApplication::applicationDirPath() + "/../share/zindle"))));
    // Started in the data directory itself: it is looked in once.
    const QStringList fromData = data_files::searchDirectories(data_files::configuredDirectory());
    EXPECT_EQ(fromData.count(slash(data_files::configuredDirectory())), 1);
}

// This test program lies in the build tree, as does the editor that ./dev run
// starts: both find the build's own manual and About sound.
TEST(DataFilesTest, ProgramsOfTheBuildTreeFindTheBuildsDataFiles) {
    const QString buildData = QStringLiteral(ZINDLE_BINARY_DIR "/data/");
    EXPECT_EQ(data_files::buildTreeDirectory(), buildData);
    QTemporaryDir start;  // started in a folder without copies of its own
    ASSERT_TRUE(start.isValid());
    const QStringList dirs = data_files::searchDirectories(start.path());
    EXPECT_TRUE(dirs.contains(buildData));
    EXPECT_EQ(dirs.last(), slash(data_files::configuredDirectory()));  // the build's copy before an install's

    QFile manual(data_files::find(data_files::kManual, dirs));
    QFile source(kManualSource);
    ASSERT_TRUE(manual.open(QIODevice::ReadOnly)) << "no manual found";
    ASSERT_TRUE(source.open(QIODevice::ReadOnly));
    EXPECT_EQ(manual.fileName(), buildData + data_files::kManual);
    EXPECT_EQ(manual.readAll(), source.readAll());

    QFile sound(data_files::find(data_files::kAboutSound, dirs));
    ASSERT_TRUE(sound.open(QIODevice::ReadOnly)) << "no About sound found";
    EXPECT_EQ(sound.fileName(), buildData + data_files::kAboutSound);
    const QByteArray head = sound.read(12);
    EXPECT_TRUE(head.startsWith("RIFF") && head.endsWith("WAVE")) << head.toHex().toStdString();
}

TEST(HelpViewerTest, ShowsTheManual) {
    HelpViewer viewer;
    ASSERT_TRUE(viewer.showFile(kManualSource));
    EXPECT_TRUE(viewer.showsFile());
    EXPECT_EQ(viewer.browser()->source(), QUrl::fromLocalFile(kManualSource));
    EXPECT_EQ(viewer.browser()->documentTitle(), QStringLiteral("Zindle manual"));
    EXPECT_TRUE(viewer.contentsButton()->isEnabled());
}

TEST(HelpViewerTest, MissingManualGivesAPageThatSaysWhereItLooked) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(QDir(dir.path()).mkdir("Zindle.html"));
    struct Case {
        const char* name;
        QString path;
    };
    const Case cases[] = {
        {"no path", QString()},
        {"no such file", dir.filePath("gone/Zindle.html")},
        {"a directory", dir.filePath("Zindle.html")},
    };
    const QStringList searched = {QStringLiteral("/first/place/"), QStringLiteral("/second/place/")};
    for (const Case& c : cases) {
        HelpViewer viewer;
        EXPECT_FALSE(viewer.showFile(c.path, searched)) << c.name;
        EXPECT_FALSE(viewer.showsFile()) << c.name;
        const QString text = viewer.browser()->toPlainText();
        EXPECT_TRUE(text.contains("The manual could not be found")) << c.name;
        EXPECT_TRUE(text.contains("Zindle.html")) << c.name;
        for (const QString& place : searched) EXPECT_TRUE(text.contains(place)) << c.name;
        EXPECT_FALSE(viewer.contentsButton()->isEnabled()) << c.name;
    }
}

TEST(HelpViewerTest, ShowManualPrefersTheStartDirectoryAndComesToTheFront) {
    QTemporaryDir start;
    ASSERT_TRUE(start.isValid());
    writeFile(start.filePath("Zindle.html"), "<html><head><title>Local copy</title></head><body>x</body></html>");
    HelpViewer viewer;
    viewer.showManual(slash(start.path()));
    EXPECT_TRUE(viewer.isVisible());
    EXPECT_TRUE(viewer.showsFile());
    EXPECT_EQ(viewer.browser()->documentTitle(), QStringLiteral("Local copy"));
}

TEST(HelpViewerTest, ShowingAgainAfterAMissingPageShowsTheFile) {
    HelpViewer viewer;
    viewer.showFile(QString(), {QStringLiteral("/x/")});
    ASSERT_TRUE(viewer.showFile(kManualSource));
    EXPECT_TRUE(viewer.showsFile());
    EXPECT_EQ(viewer.browser()->documentTitle(), QStringLiteral("Zindle manual"));
    EXPECT_FALSE(viewer.backButton()->isEnabled());  // a fresh start, no history
}

TEST(HelpViewerTest, ContentsLinksLeadToTheirSectionsAndBack) {
    HelpViewer viewer;
    ASSERT_TRUE(viewer.showFile(kManualSource));
    viewer.browser()->setSource(QUrl::fromLocalFile(kManualSource).resolved(QUrl("#keys")));
    EXPECT_TRUE(viewer.backButton()->isEnabled());
    QTest::mouseClick(viewer.backButton(), Qt::LeftButton);
    EXPECT_EQ(viewer.browser()->source().fragment(), QString());
    EXPECT_FALSE(viewer.backButton()->isEnabled());
}

// Every link inside the manual must land on a section that exists.
TEST(ManualTest, EveryInternalLinkHasItsTarget) {
    QFile file(kManualSource);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString html = QString::fromUtf8(file.readAll());
    QStringList targets;
    for (const auto& m : QRegularExpression(R"re(id="([^"]+)")re").globalMatch(html)) targets << m.captured(1);
    int links = 0;
    for (const auto& m : QRegularExpression(R"re(href="#([^"]+)")re").globalMatch(html)) {
        ++links;
        EXPECT_TRUE(targets.contains(m.captured(1))) << m.captured(1).toStdString();
    }
    EXPECT_GE(links, 15);
    EXPECT_FALSE(html.contains("<script", Qt::CaseInsensitive));
}

// The manual covers what a user reaches for: each topic by the words it is
// looked up by.
TEST(ManualTest, CoversTheControlsKeysFilesAndTools) {
    HelpViewer viewer;
    ASSERT_TRUE(viewer.showFile(kManualSource));
    const QString text = viewer.browser()->toPlainText();
    const char* topics[] = {
        "Drag it with the left button",
        "whole curve",
        "Right-click on an empty place",
        "Right-click on the point",
        "Double-click",
        "Adjust Point",
        "Square",
        "Noise 1",
        "Length",
        "Distort",
        "Echo Volume",
        "Echo Delay",
        "Repeats",
        "Quality",
        "16 bit",
        "space",
        "Ctrl+N",
        "Alt+/ or Alt+?",
        ".zdl",
        ".efc",
        "Export...",
        "Save changes to this file?",
        "zindle-cli render",
        "zindle-cli info",
        "zindle-cli convert",
        "zindle-cli new",
        "About.wav",
    };
    for (const char* topic : topics) EXPECT_TRUE(text.contains(QString::fromUtf8(topic))) << topic;
}

// What the manual says each plot shows, against what it draws.
TEST(ManualTest, SaysWhatTheOutputPlotShows) {
    QFile file(kManualSource);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString html = QString::fromUtf8(file.readAll());
    const QRegularExpression row(R"re(<tr><td><b>Output</b></td><td>(.*?)</td></tr>)re",
                                 QRegularExpression::DotMatchesEverythingOption);
    const QString text = row.match(html).captured(1).simplified();
    ASSERT_FALSE(text.isEmpty());
    // The plot covers the Length; the echo tail after it is played, not drawn.
    EXPECT_TRUE(text.contains("over its Length only")) << text.toStdString();
    EXPECT_TRUE(text.contains("echo tail")) << text.toStdString();
    EXPECT_TRUE(text.contains("not drawn")) << text.toStdString();
}

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
