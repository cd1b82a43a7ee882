#include "storage/SoundFolder.h"

#include "formats/SoundFormats.h"
#include "storage/NameOrder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace soundfolder {

namespace {

QString tr(const char* text) { return QCoreApplication::translate("soundfolder", text); }

}  // namespace

bool isSoundName(const QString& path) {
    const QString suffix = QFileInfo(path).suffix();
    if (suffix.isEmpty()) return false;
    for (const soundformats::SoundFormat& f : soundformats::all())
        for (const std::string& extension : f.extensions)
            if (suffix.compare(QString::fromStdString(extension), Qt::CaseInsensitive) == 0) return true;
    return false;
}

QStringList soundFiles(const QString& folder, QString* error) {
    const QFileInfo info(folder);
    QString reason;
    if (!info.exists())
        reason = tr("The folder %1 does not exist.").arg(folder);
    else if (!info.isDir())
        reason = tr("%1 is not a folder.").arg(folder);
    else if (!info.isReadable() || !info.isExecutable())
        reason = tr("The folder %1 cannot be read (permission denied).").arg(folder);
    if (!reason.isEmpty()) {
        if (error) *error = reason;
        return {};
    }
    const QDir dir(folder);
    QStringList names;
    for (const QString& name : dir.entryList(QDir::Files | QDir::NoDotAndDotDot))
        if (isSoundName(name)) names << name;
    std::sort(names.begin(), names.end(), name_order::lessThan);
    QStringList paths;
    for (const QString& name : names) paths << dir.filePath(name);
    if (error) error->clear();
    return paths;
}

}  // namespace soundfolder
