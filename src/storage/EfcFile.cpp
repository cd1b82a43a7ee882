#include "storage/EfcFile.h"

#include "storage/FileIO.h"

#include <QByteArray>

namespace efc {

ReadResult read(const QString& path, fileio::Streams streams) {
    QByteArray bytes;
    QString reason;
    if (!fileio::readPrefix(path, kRecordBytes, bytes, reason, streams)) return ReadResult::failure(reason);
    return ReadResult::from(decode(reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size())));
}

}  // namespace efc
