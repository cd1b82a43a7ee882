#include "storage/SoundFile.h"

#include "storage/EfcFile.h"
#include "storage/JsonFile.h"
#include "storage/ZdlFile.h"

#include <QFileInfo>

namespace soundfile {

bool isOldStyleName(const QString& path) {
    return QFileInfo(path).fileName().endsWith(QLatin1String("efc"), Qt::CaseInsensitive);
}

bool isJsonName(const QString& path) {
    return QFileInfo(path).fileName().endsWith(QLatin1String("json"), Qt::CaseInsensitive);
}

bool isWritableName(const QString& path) {
    const QString suffix = QFileInfo(path).suffix();
    return suffix.compare(QLatin1String("zdl"), Qt::CaseInsensitive) == 0 ||
           suffix.compare(QLatin1String("json"), Qt::CaseInsensitive) == 0;
}

QString zdlPathFor(const QString& oldStylePath) {
    return oldStylePath.left(oldStylePath.size() - 3) + QLatin1String("zdl");
}

ReadResult read(const QString& path, fileio::Streams streams) {
    if (isJsonName(path)) return soundjson::read(path, streams);
    return isOldStyleName(path) ? efc::read(path, streams) : zdl::read(path, streams);
}

WriteResult write(const QString& path, const SoundSettings& settings, fileio::Streams streams) {
    return isJsonName(path) ? soundjson::write(path, settings, streams) : zdl::write(path, settings, streams);
}

}  // namespace soundfile
