#include "OutputGuard.h"

#include <QFileInfo>

OutputGuard::OutputGuard(const QStringList& inputs) {
    for (const QString& input : inputs) inputs_.insert(QFileInfo(input).absoluteFilePath());
}

QString OutputGuard::claim(const QString& output) {
    const QString key = QFileInfo(output).absoluteFilePath();
    if (inputs_.contains(key)) return QStringLiteral("%1 is one of the inputs; it was left as it is.").arg(output);
    if (claimed_.contains(key)) return QStringLiteral("%1 was already written for an earlier input.").arg(output);
    claimed_.insert(key);
    return QString();
}
