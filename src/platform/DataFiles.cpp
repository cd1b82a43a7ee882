#include "DataFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#ifndef ZINDLE_DATA_DIR
#define ZINDLE_DATA_DIR "/usr/local/share/zindle"
#endif

namespace data_files {

namespace {

QString withSlash(const QString& dir) {
    return dir.endsWith(QLatin1Char('/')) ? dir : dir + QLatin1Char('/');
}

}  // namespace

QString configuredDirectory() { return QStringLiteral(ZINDLE_DATA_DIR); }

QStringList searchDirectories(const QString& startDirectory) {
    QStringList candidates;
    if (!startDirectory.isEmpty()) candidates << startDirectory;
    // applicationDirPath() needs an application object; tests may have none.
    if (QCoreApplication::instance() != nullptr)
        candidates << QCoreApplication::applicationDirPath() + QStringLiteral("/../share/zindle");
    candidates << configuredDirectory();

    QStringList result;
    for (const QString& candidate : candidates) {
        const QString dir = withSlash(QDir::cleanPath(candidate));
        if (!result.contains(dir)) result << dir;
    }
    return result;
}

QString find(const QString& name, const QStringList& directories) {
    for (const QString& dir : directories) {
        const QFileInfo info(withSlash(dir) + name);
        if (info.isFile() && info.isReadable()) return info.absoluteFilePath();
    }
    return {};
}

}  // namespace data_files
