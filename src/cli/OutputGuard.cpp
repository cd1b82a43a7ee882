#include "cli/OutputGuard.h"

OutputGuard::OutputGuard(const QStringList& inputs) {
    for (const QString& input : inputs)
        if (const std::optional<filenames::FileId> id = filenames::idOf(input)) inputs_ << *id;
}

QString OutputGuard::claim(const QString& output) {
    const std::optional<filenames::FileId> id = filenames::idOf(output);
    if (id && inputs_.contains(*id))
        return QStringLiteral("%1 is one of the inputs; it was left as it is.").arg(output);
    // The outputs not written yet have no inode: their resolved paths tell them apart.
    const QString key = filenames::resolved(output);
    if (claimed_.contains(key)) return QStringLiteral("%1 was already written for an earlier input.").arg(output);
    claimed_.insert(key);
    return QString();
}
