#include "OutputGuard.h"

#include <QFileInfo>

namespace {

// Where a path really leads: a link to an input is that input, since saving
// through the link would replace it.
QString identity(const QString& path) {
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? info.absoluteFilePath() : canonical;
}

}  // namespace

OutputGuard::OutputGuard(const QStringList& inputs) {
    for (const QString& input : inputs) inputs_.insert(identity(input));
}

QString OutputGuard::claim(const QString& output) {
    const QString key = identity(output);
    if (inputs_.contains(key)) return QStringLiteral("%1 is one of the inputs; it was left as it is.").arg(output);
    if (claimed_.contains(key)) return QStringLiteral("%1 was already written for an earlier input.").arg(output);
    claimed_.insert(key);
    return QString();
}
