#include "document/RecentFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

#include <algorithm>

namespace {

// An array rather than one list value: a list in an INI file is split at
// commas, which file names may hold.
const QString kRecentArray = QStringLiteral("recentFiles");
const QString kPathKey = QStringLiteral("path");
const QString kLastFolderKey = QStringLiteral("lastFolder");

QString cleanPath(const QString& path) { return QDir::cleanPath(QFileInfo(path).absoluteFilePath()); }

}  // namespace

RecentFiles::RecentFiles(QSettings& settings) : settings_(settings) { load(); }

void RecentFiles::load() {
    if (settings_.status() != QSettings::NoError) return;  // unreadable or not an INI file: start afresh
    // No more than we ever write: a corrupt size must not make start-up crawl.
    const int size = std::min(settings_.beginReadArray(kRecentArray), kMaxCount);
    for (int i = 0; i < size; ++i) {
        settings_.setArrayIndex(i);
        const QVariant value = settings_.value(kPathKey);
        const QString path = value.typeId() == QMetaType::QString ? value.toString() : QString();
        // Only absolute paths were ever written; anything else was not ours.
        if (!path.isEmpty() && QDir::isAbsolutePath(path) && !paths_.contains(cleanPath(path)))
            paths_ << cleanPath(path);
    }
    settings_.endArray();
    const QVariant folder = settings_.value(kLastFolderKey);
    if (folder.typeId() == QMetaType::QString && QDir::isAbsolutePath(folder.toString()))
        lastFolder_ = folder.toString();
}

void RecentFiles::store() {
    settings_.remove(kRecentArray);
    settings_.beginWriteArray(kRecentArray, static_cast<int>(paths_.size()));
    for (int i = 0; i < paths_.size(); ++i) {
        settings_.setArrayIndex(i);
        settings_.setValue(kPathKey, paths_[i]);
    }
    settings_.endArray();
    if (lastFolder_.isEmpty())
        settings_.remove(kLastFolderKey);
    else
        settings_.setValue(kLastFolderKey, lastFolder_);
    settings_.sync();  // its failure is not the editor's concern
}

void RecentFiles::add(const QString& path) {
    const QString clean = cleanPath(path);
    paths_.removeAll(clean);
    paths_.prepend(clean);
    while (paths_.size() > kMaxCount) paths_.removeLast();
    listChanged();
}

void RecentFiles::remove(const QString& path) {
    if (paths_.removeAll(cleanPath(path)) > 0) listChanged();
}

void RecentFiles::clear() {
    if (paths_.isEmpty()) return;
    paths_.clear();
    listChanged();
}

void RecentFiles::setLastFolder(const QString& folder) {
    const QString clean = cleanPath(folder);
    if (clean == lastFolder_) return;
    lastFolder_ = clean;
    store();
}

void RecentFiles::listChanged() {
    store();
    emit changed();
}
