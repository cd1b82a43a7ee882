#pragma once

#include "storage/Normalization.h"
#include "storage/SoundExport.h"
#include "storage/SoundManifest.h"
#include "storage/WriteResult.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

struct SoundSettings;

// Many sound files exported to one folder at once, as the editor's Export
// All and `zindle-cli render DIR -d OUT` do: each rendered, normalised if
// asked, encoded in memory and written whole, then the manifest.
namespace exportall {

// Writes one whole file; fileio::writeAtomically unless a test injects another.
using Writer = std::function<WriteResult(const QString& path, const QByteArray& bytes)>;

struct Quality {
    int sampleRate = 11025;
    int bits = 8;
};

struct Options {
    QString folder;  // made when missing
    soundexport::ExportFormat format = soundexport::ExportFormat::Wav;
    std::optional<Quality> quality;  // nothing: each sound's own
    normalization::Normalization normalize;
    bool manifest = true;
};

struct Failure {
    QString source;  // the sound file, or the manifest's path
    QString reason;
};

struct Summary {
    QList<soundmanifest::Entry> written;  // in the order of the sources
    QList<Failure> failures;
    bool cancelled = false;
    int total = 0;
};

// Called before each sound with how many are done, of how many, and the
// next one's path; once more at the end with done == total. Returning false
// stops before the next sound: what was written stays, whole.
using Progress = std::function<bool(int done, int total, const QString& source)>;

struct Output {
    WriteResult written;
    soundmanifest::Entry entry;  // the figures of what was written; source left empty
};

// One sound rendered from its settings, the gain applied, encoded as
// `format` and written to `path` by `writer`. Without a target the bytes are
// exactly those of soundexport::write.
Output exportSound(const SoundSettings& settings, const QString& path, soundexport::ExportFormat format,
                   const normalization::Normalization& normalize, const Writer& writer);

// Every source to options.folder/<its base name>.<format's extension>.
// A source that cannot be read, rendered or written is a failure with its
// reason; the others are written regardless. Two sources of one base name
// would write one file: the later one fails.
Summary run(const QStringList& sources, const Options& options, const Progress& progress = {},
            const Writer& writer = {});

// "Wrote 12 of 14 sounds." and a line per failure, for the user.
QString summaryText(const Summary& summary);

}  // namespace exportall
