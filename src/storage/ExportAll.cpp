#include "storage/ExportAll.h"

#include "core/RenderedSound.h"
#include "core/SoundQuality.h"
#include "core/SoundRenderer.h"
#include "storage/FileIO.h"
#include "storage/Loudness.h"
#include "storage/SoundFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSet>

namespace exportall {

namespace {

QString tr(const char* text) { return QCoreApplication::translate("exportall", text); }

WriteResult writeWhole(const QString& path, const QByteArray& bytes) { return fileio::writeAtomically(path, bytes); }

}  // namespace

Output exportSound(const SoundSettings& settings, const QString& path, soundexport::ExportFormat format,
                   const normalization::Normalization& normalize, const Writer& writer) {
    Output out;
    RenderedSound sound = sound_renderer::render(settings);
    if (sound.dataSize() == 0) {
        out.written = WriteResult::failure(tr("There is no sound to export."));
        return out;
    }
    const int repeats = sound_quality::limitRepeats(settings.repeatCount);
    loudness::Level level = loudness::measure(sound, repeats);
    soundmanifest::Entry& e = out.entry;
    if (normalize.target != normalization::Target::None) {
        const normalization::Gain gain = normalization::gainFor(normalize, level, sound.bits());
        e.gainDb = gain.db;
        e.gainLimited = gain.limited;
        normalization::apply(sound, gain.db);
        level = loudness::measure(sound, repeats);
    }
    const EncodedFile encoded = soundexport::type(format).encode(sound, repeats);
    if (!encoded.error.isEmpty()) {
        out.written = WriteResult::failure(encoded.error);
        return out;
    }
    out.written = writer ? writer(path, encoded.bytes) : writeWhole(path, encoded.bytes);
    e.name = QFileInfo(path).completeBaseName();
    e.file = QFileInfo(path).fileName();
    e.rate = sound.sampleRate();
    e.bits = sound.bits();
    e.samples = int64_t(sound.sampleCount()) * repeats;
    e.durationMs = double(e.samples) * 1000.0 / e.rate;
    e.peakDb = level.peakDb;
    e.loudnessLufs = level.loudnessLufs;
    return out;
}

Summary run(const QStringList& sources, const Options& options, const Progress& progress, const Writer& writer) {
    Summary summary;
    summary.total = int(sources.size());
    const QDir folder(options.folder);
    if (!QDir().mkpath(options.folder) || !QFileInfo(options.folder).isDir()) {
        const QString reason = tr("The folder %1 cannot be made.").arg(options.folder);
        for (const QString& source : sources) summary.failures << Failure{source, reason};
        return summary;
    }
    const QString extension = soundexport::extension(options.format);
    QSet<QString> claimed;
    for (int i = 0; i < sources.size(); ++i) {
        const QString& source = sources[i];
        if (progress && !progress(i, summary.total, source)) {
            summary.cancelled = true;
            break;
        }
        const ReadResult read = soundfile::read(source);
        if (!read.ok) {
            summary.failures << Failure{source, read.error};
            continue;
        }
        const QString name = QFileInfo(source).completeBaseName() + QLatin1Char('.') + extension;
        if (claimed.contains(name)) {
            summary.failures << Failure{source,
                                        tr("%1 was already written from another sound of that name.").arg(name)};
            continue;
        }
        SoundSettings settings = read.settings;
        if (options.quality) {
            settings.sampleRate = options.quality->sampleRate;
            settings.bitsPerSample = options.quality->bits;
        }
        Output out = exportSound(settings, folder.filePath(name), options.format, options.normalize, writer);
        if (!out.written.ok) {
            summary.failures << Failure{source, out.written.error};
            continue;
        }
        claimed.insert(name);
        out.entry.source = folder.relativeFilePath(QFileInfo(source).absoluteFilePath());
        summary.written << out.entry;
    }
    if (progress && !summary.cancelled) progress(summary.total, summary.total, QString());
    if (options.manifest) {
        const QString path = folder.filePath(QLatin1String(soundmanifest::kFileName));
        const QByteArray bytes = soundmanifest::bytes(summary.written, normalization::text(options.normalize));
        const WriteResult written = writer ? writer(path, bytes) : writeWhole(path, bytes);
        if (!written.ok) summary.failures << Failure{path, written.error};
    }
    return summary;
}

QString summaryText(const Summary& summary) {
    QString text = summary.cancelled ? tr("Cancelled: wrote %1 of %2 sounds.") : tr("Wrote %1 of %2 sounds.");
    text = text.arg(summary.written.size()).arg(summary.total);
    int limited = 0;
    for (const soundmanifest::Entry& e : summary.written) limited += e.gainLimited ? 1 : 0;
    if (limited > 0)
        text += QLatin1Char(' ') +
                QCoreApplication::translate(
                    "exportall", "%n sound(s) stopped short of the loudness target so as not to peak above -1 dBFS.",
                    nullptr, limited);
    for (const Failure& f : summary.failures) text += QStringLiteral("\n%1: %2").arg(f.source, f.reason);
    return text;
}

}  // namespace exportall
