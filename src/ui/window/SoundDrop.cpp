#include "ui/window/SoundDrop.h"

#include <QFileInfo>
#include <QMimeData>
#include <QUrl>

namespace sound_drop {

QString soundPath(const QMimeData* data) {
    if (!data || !data->hasUrls()) return QString();
    const QList<QUrl> urls = data->urls();
    if (urls.size() != 1 || !urls.first().isLocalFile()) return QString();
    const QFileInfo info(urls.first().toLocalFile());
    const QString suffix = info.suffix();
    const bool sound = suffix.compare(QLatin1String("zdl"), Qt::CaseInsensitive) == 0 ||
                       suffix.compare(QLatin1String("efc"), Qt::CaseInsensitive) == 0 ||
                       suffix.compare(QLatin1String("json"), Qt::CaseInsensitive) == 0;
    if (!sound || info.isDir()) return QString();
    return info.absoluteFilePath();
}

}  // namespace sound_drop
