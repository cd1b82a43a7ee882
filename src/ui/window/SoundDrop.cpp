#include "ui/window/SoundDrop.h"

#include "formats/SoundFormats.h"

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
    bool sound = false;
    for (const soundformats::SoundFormat& f : soundformats::all())
        for (const std::string& extension : f.extensions)
            sound = sound || suffix.compare(QString::fromStdString(extension), Qt::CaseInsensitive) == 0;
    if (!sound || info.isDir()) return QString();
    return info.absoluteFilePath();
}

}  // namespace sound_drop
