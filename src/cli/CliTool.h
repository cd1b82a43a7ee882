#pragma once

#include "cli/CliRequest.h"

#include <QString>
#include <QStringList>

#include <optional>

class QTextStream;

// zindle-cli as a whole: parses a command line, runs the command and returns
// the exit status (0 success, 1 a bad input or a failed output, 2 wrong usage).
class CliTool {
public:
    CliTool(QTextStream& out, QTextStream& err) : out_(out), err_(err) {}

    // `arguments` as QCoreApplication::arguments() gives them, program first.
    int run(const QStringList& arguments);

    static QString helpText();

private:
    // Fills the request and returns nothing when the command is to run; the
    // exit status when the run ends here (help, version, wrong usage).
    std::optional<int> parse(const QStringList& arguments, CliRequest& request);
    int runCommand(const CliRequest& request);
    // `status`, or a failure when what was printed could not be written.
    int checkOutput(int status);
    int usageError(const QString& reason);

    QTextStream& out_;
    QTextStream& err_;
};
