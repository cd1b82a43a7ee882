#include "storage/JsonFile.h"

#include "formats/ZdlFormat.h"
#include "storage/FileIO.h"

#include <QByteArray>

namespace soundjson {

ReadResult read(const QString& path, fileio::Streams streams) {
    QByteArray bytes;
    QString reason;
    if (!fileio::readWhole(path, zdl::kMaxFileBytes, bytes, reason, streams)) return ReadResult::failure(reason);
    return ReadResult::from(decode(reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size())));
}

WriteResult write(const QString& path, const SoundSettings& settings, fileio::Streams streams) {
    const std::string text = encode(settings);
    return fileio::writeAtomically(path, QByteArray::fromRawData(text.data(), qsizetype(text.size())), streams);
}

}  // namespace soundjson
