#include "storage/SoundExport.h"

#include "core/RenderedSound.h"
#include "core/SoundQuality.h"
#include "core/WavImage.h"
#include "storage/FileIO.h"
#include "storage/SndfileEncoder.h"
#include "storage/VorbisEncoder.h"
#include "storage/WavExport.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <sndfile.h>

#include <iterator>

namespace soundexport {

namespace {

QString tr(const char* text) { return QCoreApplication::translate("soundexport", text); }

constexpr ExportFormat kFormats[] = {ExportFormat::Wav, ExportFormat::Flac, ExportFormat::Ogg};

// The samples as the 16-bit values both encoders take. An 8-bit sample is
// unsigned in a WAV file: u - 128 is its signed value, and in the high byte
// libsndfile's 8-bit FLAC writer keeps exactly that value.
std::vector<short> framesOf(const RenderedSound& sound) {
    const std::vector<uint8_t>& bytes = sound.samples();
    std::vector<short> frames;
    if (sound.bits() == 8) {
        frames.reserve(bytes.size());
        for (const uint8_t u : bytes) frames.push_back(short((int(u) - 128) * 256));
    } else {
        frames.reserve(bytes.size() / 2);
        for (size_t i = 0; i + 1 < bytes.size(); i += 2) frames.push_back(short(int16_t(le::get16(&bytes[i]))));
    }
    return frames;
}

// FLAC by libsndfile at the sound's width; Ogg Vorbis by libvorbis, whose
// bytes follow from the sound alone.
EncodedFile encode(ExportFormat format, const RenderedSound& sound, int repeats) {
    const std::vector<short> frames = framesOf(sound);
    if (format == ExportFormat::Ogg) return VorbisEncoder(sound.sampleRate(), kOggQuality).encode(frames, repeats);
    const int width = sound.bits() == 8 ? SF_FORMAT_PCM_S8 : SF_FORMAT_PCM_16;
    return SndfileEncoder(SF_FORMAT_FLAC | width, sound.sampleRate()).encode(frames, repeats);
}

}  // namespace

std::optional<ExportFormat> formatNamed(const QString& name) {
    for (const ExportFormat format : kFormats)
        if (name.compare(extension(format), Qt::CaseInsensitive) == 0) return format;
    return std::nullopt;
}

std::optional<ExportFormat> formatForPath(const QString& path) {
    const QString suffix = QFileInfo(path).suffix();
    if (suffix.isEmpty()) return std::nullopt;
    return formatNamed(suffix);
}

QString extension(ExportFormat format) {
    switch (format) {
    case ExportFormat::Wav: return QStringLiteral("wav");
    case ExportFormat::Flac: return QStringLiteral("flac");
    case ExportFormat::Ogg: return QStringLiteral("ogg");
    }
    return QString();
}

QString formatList() {
    QStringList names;
    for (const ExportFormat format : kFormats) names << extension(format);
    return names.join(QStringLiteral(", "));
}

QString withKnownExtension(const QString& path) {
    if (formatForPath(path)) return path;
    return path + QLatin1Char('.') + extension(ExportFormat::Wav);
}

WriteResult write(const QString& path, const RenderedSound& sound, int repeats, ExportFormat format,
                  fileio::Streams streams) {
    if (format == ExportFormat::Wav) return wavexport::write(path, sound, repeats, streams);
    if (sound.dataSize() == 0) return WriteResult::failure(tr("There is no sound to export."));
    repeats = sound_quality::limitRepeats(repeats);
    const EncodedFile encoded = encode(format, sound, repeats);
    if (!encoded.error.isEmpty()) return WriteResult::failure(encoded.error);
    return fileio::writeAtomically(path, encoded.bytes, streams);
}

}  // namespace soundexport
