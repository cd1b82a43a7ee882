#include "SoundFile.h"

#include "EfcFile.h"
#include "ZdlFile.h"

#include <QFileInfo>

namespace soundfile {

bool isOldStyleName(const QString& path) {
    return QFileInfo(path).fileName().endsWith(QLatin1String("efc"), Qt::CaseInsensitive);
}

QString zdlPathFor(const QString& oldStylePath) {
    return oldStylePath.left(oldStylePath.size() - 3) + QLatin1String("zdl");
}

ReadResult read(const QString& path) { return isOldStyleName(path) ? efc::read(path) : zdl::read(path); }

}  // namespace soundfile
