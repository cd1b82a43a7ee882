#pragma once

#include "storage/EncodedFile.h"
#include "storage/FileIO.h"
#include "storage/WriteResult.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

class RenderedSound;

// Exported sound files of exactly what play would play, in the format the
// file's name asks for: WAV (our own writer), FLAC or Ogg Vorbis.
namespace soundexport {

enum class ExportFormat { Wav, Flac, Ogg };

// Vorbis quality on libvorbis's scale from -0.1 (smallest) to 1 (best): 0.5
// is quality 5 of 10, transparent for short effects at every rate.
constexpr float kOggQuality = 0.5f;

// One row of the table of export formats, which the Export dialog's types,
// the command line's --format and its help all read.
struct ExportType {
    ExportFormat format;
    const char* extension;  // "flac": also the format's name on the command line
    const char* label;      // "FLAC Files": as the Export dialog lists it
    // The whole file's bytes for the samples repeated `repeats` times (1..10).
    EncodedFile (*encode)(const RenderedSound& sound, int repeats);
};

// Every export format, WAV (the default) first.
const std::vector<ExportType>& types();
const ExportType& type(ExportFormat format);

// The format a file name's extension names, in any case ("laser.FLAC");
// nothing for another extension or none.
std::optional<ExportFormat> formatForPath(const QString& path);
// The format by its name as the command line takes it ("flac"), in any case.
std::optional<ExportFormat> formatNamed(const QString& name);
// "wav", "flac" or "ogg": the extension and the name of the format.
QString extension(ExportFormat format);
// {"wav", "flac", "ogg"}, in the table's order.
QStringList extensions();
// "wav, flac, ogg", for messages that list what can be written.
QString formatList();

// Writes the samples repeated `repeats` times (limited to 1..10, as play
// does). FLAC holds exactly the WAV's samples at its width; Ogg Vorbis is
// lossy at kOggQuality, and the same sound gives the same bytes on every
// run. Encoded in memory, then written atomically: a failure leaves no
// partial file and an existing file of that name intact.
WriteResult write(const QString& path, const RenderedSound& sound, int repeats, ExportFormat format,
                  fileio::Streams streams = fileio::Streams::Refused);

}  // namespace soundexport
