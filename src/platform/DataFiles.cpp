#include "platform/DataFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#ifndef ZINDLE_DATA_DIR
#define ZINDLE_DATA_DIR "/usr/local/share/zindle"
#endif
#ifndef ZINDLE_BUILD_DIR
#define ZINDLE_BUILD_DIR ""
#define ZINDLE_BUILD_DATA_DIR ""
#endif

namespace data_files {

namespace {

QString withSlash(const QString& dir) { return dir.endsWith(QLatin1Char('/')) ? dir : dir + QLatin1Char('/'); }

}  // namespace

QString configuredDirectory() { return QStringLiteral(ZINDLE_DATA_DIR); }

QString buildTreeDirectory() {
    // applicationDirPath() needs an application object; tests may have none.
    if (QCoreApplication::instance() == nullptr) return {};
    // applicationDirPath() has its links resolved: compare like with like.
    const QString tree = QFileInfo(QStringLiteral(ZINDLE_BUILD_DIR)).canonicalFilePath();
    if (tree.isEmpty()) return {};
    const QString program = QFileInfo(QCoreApplication::applicationDirPath()).canonicalFilePath();
    if (!withSlash(program).startsWith(withSlash(tree))) return {};
    return withSlash(QDir::cleanPath(QStringLiteral(ZINDLE_BUILD_DATA_DIR)));
}

QStringList searchDirectories(const QString& startDirectory) {
    QStringList candidates;
    if (!startDirectory.isEmpty()) candidates << startDirectory;
    if (QCoreApplication::instance() != nullptr)
        candidates << QCoreApplication::applicationDirPath() + QStringLiteral("/../share/zindle");
    // A program of the build tree takes the build's own copies before those
    // of an install, which may be older.
    const QString buildTree = buildTreeDirectory();
    if (!buildTree.isEmpty()) candidates << buildTree;
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
