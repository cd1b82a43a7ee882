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
EncodedFile encodeFlac(const RenderedSound& sound, int repeats) {
    const int width = sound.bits() == 8 ? SF_FORMAT_PCM_S8 : SF_FORMAT_PCM_16;
    return SndfileEncoder(SF_FORMAT_FLAC | width, sound.sampleRate()).encode(framesOf(sound), repeats);
}

EncodedFile encodeOgg(const RenderedSound& sound, int repeats) {
    return VorbisEncoder(sound.sampleRate(), kOggQuality).encode(framesOf(sound), repeats);
}

}  // namespace

const std::vector<ExportType>& types() {
    static const std::vector<ExportType> table = {
        {ExportFormat::Wav, "wav", "WAV Files", wavexport::encode},
        {ExportFormat::Flac, "flac", "FLAC Files", encodeFlac},
        {ExportFormat::Ogg, "ogg", "Ogg Vorbis Files", encodeOgg},
    };
    return table;
}

const ExportType& type(ExportFormat format) {
    for (const ExportType& t : types())
        if (t.format == format) return t;
    return types().front();  // every format is in the table
}

std::optional<ExportFormat> formatNamed(const QString& name) {
    for (const ExportType& t : types())
        if (name.compare(QLatin1String(t.extension), Qt::CaseInsensitive) == 0) return t.format;
    return std::nullopt;
}

std::optional<ExportFormat> formatForPath(const QString& path) {
    const QString suffix = QFileInfo(path).suffix();
    if (suffix.isEmpty()) return std::nullopt;
    return formatNamed(suffix);
}

QString extension(ExportFormat format) { return QLatin1String(type(format).extension); }

QStringList extensions() {
    QStringList names;
    for (const ExportType& t : types()) names << QLatin1String(t.extension);
    return names;
}

QString formatList() { return extensions().join(QStringLiteral(", ")); }

WriteResult write(const QString& path, const RenderedSound& sound, int repeats, ExportFormat format,
                  fileio::Streams streams) {
    if (sound.dataSize() == 0) return WriteResult::failure(tr("There is no sound to export."));
    const EncodedFile encoded = type(format).encode(sound, sound_quality::limitRepeats(repeats));
    if (!encoded.error.isEmpty()) return WriteResult::failure(encoded.error);
    return fileio::writeAtomically(path, encoded.bytes, streams);
}

}  // namespace soundexport
