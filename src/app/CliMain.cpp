#include "cli/CliTool.h"
#include "storage/FileNames.h"

#include <QCoreApplication>
#include <QTextStream>

#include <csignal>
#include <cstdio>

int main(int argc, char* argv[]) {
    // Past a file-size limit a write then fails with EFBIG and is reported
    // like any other failure, instead of killing the process.
    std::signal(SIGXFSZ, SIG_IGN);
    // The arguments' bytes, before Qt decodes them: a file name need not be UTF-8.
    const QStringList arguments = filenames::arguments(argc, argv);
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("zindle-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(ZINDLE_VERSION));
    QTextStream out(stdout);
    QTextStream err(stderr);
    CliTool tool(out, err);
    const int status = tool.run(arguments);
    out.flush();
    err.flush();
    return status;
}
