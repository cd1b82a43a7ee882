// The editor executable as a user starts it: it builds everything, paints
// its first frame and, asked to by the environment, quits cleanly.

#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

TEST(EditorStart, PaintsItsFirstFrameAndQuitsCleanly) {
    QProcess editor;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("ZINDLE_EXIT_AFTER_FIRST_PAINT"), QStringLiteral("1"));
    editor.setProcessEnvironment(env);
    editor.start(QStringLiteral(ZINDLE_BINARY_DIR "/src/app/zindle"), {});
    ASSERT_TRUE(editor.waitForFinished(60000)) << "the editor did not quit after its first frame";
    EXPECT_EQ(editor.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(editor.exitCode(), 0) << editor.readAllStandardError().toStdString();
    const QString out = QString::fromUtf8(editor.readAllStandardOutput());
    const QRegularExpression line(QStringLiteral("^first paint: \\d+ ms after process start\\n$"));
    EXPECT_TRUE(line.match(out).hasMatch()) << out.toStdString();
}

}  // namespace
