#include "storage/WavExport.h"

#include "core/RenderedSound.h"
#include "core/WavImage.h"
#include "storage/FileIO.h"

#include <QCoreApplication>

namespace wavexport {

EncodedFile encode(const RenderedSound& sound, int repeats) {
    if (sound.dataSize() == 0) return {{}, QCoreApplication::translate("wavexport", "There is no sound to export.")};
    const WavImage image = sound.wavImage(repeats);
    if (image.empty()) return {{}, QCoreApplication::translate("wavexport", "The sound is too large for a WAV file.")};
    return {QByteArray(reinterpret_cast<const char*>(image.data()), static_cast<qsizetype>(image.size())), {}};
}

WriteResult write(const QString& path, const RenderedSound& sound, int repeats, fileio::Streams streams) {
    const EncodedFile encoded = encode(sound, repeats);
    if (!encoded.error.isEmpty()) return WriteResult::failure(encoded.error);
    return fileio::writeAtomically(path, encoded.bytes, streams);
}

}  // namespace wavexport
