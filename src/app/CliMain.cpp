#include "CliTool.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("zindle-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(ZINDLE_VERSION));
    QTextStream out(stdout);
    QTextStream err(stderr);
    CliTool tool(out, err);
    const int status = tool.run(QCoreApplication::arguments());
    out.flush();
    err.flush();
    return status;
}
