#include "storage/WavExport.h"

#include "core/RenderedSound.h"
#include "core/WavImage.h"
#include "storage/FileIO.h"

#include <QCoreApplication>

namespace wavexport {

WriteResult write(const QString& path, const RenderedSound& sound, int repeats, fileio::Streams streams) {
    if (sound.dataSize() == 0)
        return WriteResult::failure(QCoreApplication::translate("wavexport", "There is no sound to export."));
    const WavImage image = sound.wavImage(repeats);
    if (image.empty())
        return WriteResult::failure(QCoreApplication::translate("wavexport", "The sound is too large for a WAV file."));
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(image.data()), static_cast<qsizetype>(image.size()));
    return fileio::writeAtomically(path, bytes, streams);
}

}  // namespace wavexport
