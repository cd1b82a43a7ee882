#include "storage/SoundFile.h"

#include "formats/SoundFormats.h"
#include "formats/ZdlFormat.h"
#include "storage/FileIO.h"

#include <QByteArray>
#include <QFileInfo>

namespace soundfile {

namespace {

std::string nameOf(const QString& path) { return QFileInfo(path).fileName().toStdString(); }

// The format Save writes for a name: the one its extension names, when
// that one is written at all; a .zdl otherwise.
const soundformats::SoundFormat& writtenFormat(const QString& path) {
    const soundformats::SoundFormat* named = soundformats::forName(nameOf(path));
    return named && named->encode ? *named : soundformats::format(SoundFormatId::Zdl);
}

}  // namespace

bool isOldStyleName(const QString& path) {
    const soundformats::SoundFormat* named = soundformats::forName(nameOf(path));
    return named && named->id == SoundFormatId::Efc;
}

bool isJsonName(const QString& path) {
    const soundformats::SoundFormat* named = soundformats::forName(nameOf(path));
    return named && named->id == SoundFormatId::Json;
}

bool isWritableName(const QString& path) {
    const QString suffix = QFileInfo(path).suffix();
    for (const soundformats::SoundFormat& f : soundformats::all())
        for (const std::string& extension : f.extensions)
            if (f.encode && suffix.compare(QString::fromStdString(extension), Qt::CaseInsensitive) == 0) return true;
    return false;
}

QString zdlPathFor(const QString& oldStylePath) {
    if (isOldStyleName(oldStylePath)) return oldStylePath.left(oldStylePath.size() - 3) + QLatin1String("zdl");
    // Content told it is old-style under another name: its extension goes.
    const QFileInfo info(oldStylePath);
    const QString suffix = info.suffix();
    const QString base = suffix.isEmpty() ? oldStylePath : oldStylePath.left(oldStylePath.size() - suffix.size() - 1);
    return base + QLatin1String(".zdl");
}

ReadResult read(const QString& path, fileio::Streams streams) {
    QByteArray bytes;
    QString reason;
    if (!fileio::readWhole(path, zdl::kMaxFileBytes, bytes, reason, streams)) return ReadResult::failure(reason);
    return ReadResult::from(
        soundformats::read(reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size()), nameOf(path)));
}

WriteResult write(const QString& path, const SoundSettings& settings, fileio::Streams streams) {
    const std::vector<uint8_t> bytes = writtenFormat(path).encode(settings);
    return fileio::writeAtomically(
        path, QByteArray::fromRawData(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size())), streams);
}

}  // namespace soundfile
