#include "ui/window/EditorCommandLine.h"

#include <QCommandLineParser>
#include <QFileInfo>

namespace {

const QString kProgram = QStringLiteral("zindle");

EditorCommandLine usageError(const QString& reason) {
    EditorCommandLine line;
    line.action = EditorCommandLine::Action::UsageError;
    line.text = QStringLiteral("%1: %2\nTry '%1 --help'.\n").arg(kProgram, reason);
    return line;
}

}  // namespace

EditorCommandLine EditorCommandLine::parse(int argc, char* argv[], const QString& version) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    return parse(arguments, version);
}

EditorCommandLine EditorCommandLine::parse(const QStringList& arguments, const QString& version) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Zindle, the sound-effect editor."));
    // Our own help option: the parser's would offer Qt's options, which are
    // not taken here.
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Displays this help and exits."));
    const QCommandLineOption showVersion({QStringLiteral("v"), QStringLiteral("version")},
                                         QStringLiteral("Displays the version and exits."));
    parser.addOption(help);
    parser.addOption(showVersion);
    parser.addPositionalArgument(
        QStringLiteral("FILE"),
        QStringLiteral("A sound to open at start: a .zdl or .json file, or an old-style .efc file; "
                       "or a folder, whose sounds are listed in the sound bank."),
        QStringLiteral("[FILE|DIR]"));
    if (!parser.parse(arguments)) return usageError(parser.errorText());

    EditorCommandLine line;
    if (parser.isSet(help)) {
        line.action = Action::Print;
        // Without an application object the parser does not know our name.
        line.text = parser.helpText().replace(QStringLiteral("<executable_name>"), kProgram);
        return line;
    }
    if (parser.isSet(showVersion)) {
        line.action = Action::Print;
        line.text = QStringLiteral("%1 %2\n").arg(kProgram, version);
        return line;
    }
    const QStringList files = parser.positionalArguments();
    if (files.size() > 1)
        return usageError(QStringLiteral("One sound at a time: %1 files were given.").arg(files.size()));
    if (!files.isEmpty()) line.file = QFileInfo(files.first()).absoluteFilePath();
    return line;
}
