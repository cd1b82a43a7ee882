#include "storage/ZdlFile.h"

#include "storage/FileIO.h"

#include <QByteArray>

namespace zdl {

ReadResult read(const QString& path, fileio::Streams streams) {
    QByteArray bytes;
    QString reason;
    if (!fileio::readWhole(path, kMaxFileBytes, bytes, reason, streams)) return ReadResult::failure(reason);
    return ReadResult::from(decode(reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size())));
}

WriteResult write(const QString& path, const SoundSettings& settings, fileio::Streams streams) {
    const std::vector<uint8_t> bytes = encode(settings);
    return fileio::writeAtomically(
        path, QByteArray::fromRawData(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size())), streams);
}

}  // namespace zdl
