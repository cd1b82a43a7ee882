#include "SoundFile.h"

#include "EfcFile.h"
#include "JsonFile.h"
#include "ZdlFile.h"

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

ReadResult read(const QString& path) {
    if (isJsonName(path)) return soundjson::read(path);
    return isOldStyleName(path) ? efc::read(path) : zdl::read(path);
}

WriteResult write(const QString& path, const SoundSettings& settings) {
    return isJsonName(path) ? soundjson::write(path, settings) : zdl::write(path, settings);
}

}  // namespace soundfile
