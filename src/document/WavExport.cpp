#include "WavExport.h"

#include "FileIO.h"
#include "RenderedSound.h"
#include "WavImage.h"

#include <QCoreApplication>

#include <algorithm>

namespace wavexport {

WriteResult write(const QString& path, const RenderedSound& sound, int repeats) {
    if (sound.dataSize() == 0)
        return WriteResult::failure(QCoreApplication::translate("wavexport", "There is no sound to export."));
    repeats = std::clamp(repeats, 1, 10);
    const WavImage image = WavImage::build(sound.header(), sound.samples().data(), sound.dataSize(), repeats);
    if (image.empty())
        return WriteResult::failure(QCoreApplication::translate("wavexport", "The sound is too large for a WAV file."));
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(image.data()), static_cast<qsizetype>(image.size()));
    return fileio::writeAtomically(path, bytes);
}

}  // namespace wavexport
