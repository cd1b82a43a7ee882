#pragma once

#include <QString>
#include <QStringList>

// The editor's command line, "zindle [FILE|DIR]". It is read before the
// application object exists, so that --help and --version need no display.
class EditorCommandLine {
public:
    enum class Action { Run, Print, UsageError };

    // `arguments` starts with the program's own name.
    static EditorCommandLine parse(const QStringList& arguments, const QString& version);
    static EditorCommandLine parse(int argc, char* argv[], const QString& version);

    Action action = Action::Run;
    QString file;  // Run: the sound or the bank's folder to open (absolute), empty for none
    QString text;  // Print: for stdout; UsageError: for stderr
    // 0, or 2 for wrong usage.
    int exitCode() const { return action == Action::UsageError ? 2 : 0; }
};
