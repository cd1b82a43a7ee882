#pragma once

#include "storage/FileNames.h"

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

// The outputs of one zindle-cli run, so that two inputs of the same base name
// never silently overwrite each other and no output replaces an input.
class OutputGuard {
public:
    explicit OutputGuard(const QStringList& inputs);

    // Takes the output for the current input: empty when it may be written,
    // otherwise the reason it must not be.
    QString claim(const QString& output);

private:
    // Device and inode, so that a link of either kind to an input is that input.
    QList<filenames::FileId> inputs_;
    QSet<QString> claimed_;
};
