#include "cli/CliCommands.h"

#include "cli/CommandSteps.h"
#include "cli/OutputGuard.h"
#include "cli/SoundReport.h"
#include "core/SoundMutation.h"
#include "core/SoundRenderer.h"
#include "formats/ShareCode.h"
#include "storage/ExportAll.h"
#include "storage/FileNames.h"
#include "storage/SoundExport.h"
#include "storage/SoundFile.h"
#include "storage/SoundFolder.h"
#include "storage/SoundManifest.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QTextStream>

namespace clicommands {

namespace {

using commandsteps::report;

// The type of the outputs render names itself: --format's, else WAV.
soundexport::ExportFormat formatOf(const CliRequest& request) {
    return request.format.value_or(soundexport::ExportFormat::Wav);
}

// Where each input's output goes: -o for a single input, DIR/<base>.<ext>
// with -d, and otherwise beside the input.
QString outputFor(const CliRequest& request, const QString& input, const QString& besideInput,
                  const QString& extension) {
    if (!request.output.isEmpty()) return request.output;
    const QString name = QFileInfo(input).completeBaseName() + QLatin1Char('.') + extension;
    if (!request.directory.isEmpty()) return QDir(request.directory).filePath(name);
    return besideInput.isEmpty() ? QFileInfo(input).dir().filePath(name) : besideInput;
}

// What one render writes to -d DIR, for its manifest.
using Manifest = QList<soundmanifest::Entry>;

// Renders one sound to `output` with the request's overrides and gain;
// false when the output is refused or cannot be written. What was written
// joins the manifest.
bool renderOne(const CliRequest& request, const QString& input, SoundSettings settings, const QString& output,
               OutputGuard& guard, Manifest& manifest, QTextStream& err) {
    const QString refused = guard.claim(output);
    if (!refused.isEmpty()) {
        report(err, input, refused);
        return false;
    }
    if (request.repeats) settings.repeatCount = *request.repeats;
    if (request.sampleRate) settings.sampleRate = *request.sampleRate;
    if (request.bits) settings.bitsPerSample = *request.bits;
    // -o's extension was checked against --format; a device or "-" has none.
    const soundexport::ExportFormat format = soundexport::formatForPath(output).value_or(formatOf(request));
    const auto write = [](const QString& path, const QByteArray& bytes) {
        return fileio::writeAtomically(path, bytes, fileio::Streams::Accepted);
    };
    exportall::Output out = exportall::exportSound(settings, output, format, request.normalize, write);
    if (!commandsteps::writeChecked(output, out.written, err)) return false;
    const QDir folder(request.directory);
    out.entry.source = folder.relativeFilePath(QFileInfo(input).absoluteFilePath());
    out.entry.file = folder.relativeFilePath(QFileInfo(output).absoluteFilePath());
    manifest << out.entry;
    return true;
}

// NAME_001.wav ... from the seeds request.seed, request.seed + 1, ..., in the
// folder the plain render would write to.
bool renderVariants(const CliRequest& request, const QString& input, const SoundSettings& sound, OutputGuard& guard,
                    Manifest& manifest, QTextStream& err) {
    const QString base = QFileInfo(input).completeBaseName();
    const QDir folder(request.directory.isEmpty() ? QFileInfo(input).path() : request.directory);
    bool ok = true;
    for (int i = 0; i < *request.variants; ++i) {
        const QString output = folder.filePath(
            commandsteps::numberedName(base, i + 1, *request.variants, soundexport::extension(formatOf(request))));
        const SoundSettings variant = sound_mutation::mutate(sound, request.seed + uint64_t(i), request.amount);
        ok = renderOne(request, input, variant, output, guard, manifest, err) && ok;
    }
    return ok;
}

}  // namespace

QString outputExtension(const QString& command) {
    return command == QLatin1String("render") ? QStringLiteral("wav") : QStringLiteral("zdl");
}

int render(const CliRequest& request, QTextStream&, QTextStream& err) {
    if (!commandsteps::checkDirectory(request, err)) return kFailure;
    int status = kSuccess;
    // A folder stands for its sound files, in the order a listing shows them.
    QStringList inputs;
    for (const QString& input : request.inputs) {
        if (!QFileInfo(input).isDir()) {
            inputs << input;
            continue;
        }
        QString reason;
        const QStringList files = soundfolder::soundFiles(input, &reason);
        if (files.isEmpty()) {
            report(err, input, reason.isEmpty() ? QStringLiteral("The folder holds no sound files.") : reason);
            status = kFailure;
        }
        inputs << files;
    }
    OutputGuard guard(inputs);
    Manifest manifest;
    for (const QString& input : inputs) {
        ReadResult read;
        bool ok = commandsteps::readInput(input, read, err);
        if (ok && request.variants)
            ok = renderVariants(request, input, read.settings, guard, manifest, err);
        else if (ok)
            ok = renderOne(request, input, read.settings,
                           outputFor(request, input, QString(), soundexport::extension(formatOf(request))), guard,
                           manifest, err);
        if (!ok) status = kFailure;
    }
    if (request.manifest) {
        // Written last and whole: it lists exactly the files this run wrote.
        const QString path = QDir(request.directory).filePath(QLatin1String(soundmanifest::kFileName));
        const QString refused = guard.claim(path);
        if (!refused.isEmpty()) {
            report(err, path, refused);
            return kFailure;
        }
        if (!commandsteps::writeChecked(
                path, soundmanifest::write(request.directory, manifest, normalization::text(request.normalize)), err))
            status = kFailure;
    }
    return status;
}

int info(const CliRequest& request, QTextStream& out, QTextStream& err) {
    int status = kSuccess;
    // One object for one input, an array for several (failed inputs are left
    // out). Each object is printed as soon as it is made, so many inputs never
    // pile up in memory.
    const bool array = request.json && request.inputs.size() > 1;
    if (array) out << '[';
    bool first = true;
    for (const QString& input : request.inputs) {
        ReadResult read;
        if (!commandsteps::readInput(input, read, err)) {
            status = kFailure;
            continue;
        }
        const soundreport::Figures figures = soundreport::measure(read.settings);
        if (request.json) {
            if (!first) out << ',';
            out << QJsonDocument(soundreport::json(input, read, figures)).toJson(QJsonDocument::Compact);
        } else {
            if (!first) out << '\n';
            out << soundreport::text(input, read, figures);
        }
        out.flush();
        first = false;
    }
    if (array) out << "]";
    if (request.json && (array || !first)) out << '\n';
    out.flush();
    return status;
}

int code(const CliRequest& request, QTextStream& out, QTextStream& err) {
    int status = kSuccess;
    for (const QString& input : request.inputs) {
        ReadResult read;
        if (!commandsteps::readInput(input, read, err)) {
            status = kFailure;
            continue;
        }
        out << QString::fromStdString(sharecode::encode(read.settings)) << '\n';
        out.flush();
    }
    return status;
}

int convert(const CliRequest& request, QTextStream&, QTextStream& err) {
    if (!commandsteps::checkDirectory(request, err)) return kFailure;
    OutputGuard guard(request.inputs);
    int status = kSuccess;
    const bool named = !request.output.isEmpty() || !request.directory.isEmpty();
    const QString extension = commandsteps::soundExtension(request);
    for (const QString& input : request.inputs) {
        // An old-style file has a natural next form; the parser has turned
        // away any other input without an output or --to.
        const bool oldStyle = soundfile::isOldStyleName(input);
        ReadResult read;
        if (!commandsteps::readInput(input, read, err)) {
            status = kFailure;
            continue;
        }
        const QString beside = oldStyle ? input.left(input.size() - 3) + extension : QString();
        const QString output = outputFor(request, input, beside, extension);
        // The sound beside an old file may be one edited since its conversion:
        // only an output the user named replaces an existing file.
        if (!named && filenames::exists(output)) {
            report(
                err, input,
                QStringLiteral("%1 already exists; it was left as it is (name the output with -o or -d).").arg(output));
            status = kFailure;
            continue;
        }
        const QString refused = guard.claim(output);
        if (!refused.isEmpty()) {
            report(err, input, refused);
            status = kFailure;
            continue;
        }
        if (!commandsteps::writeChecked(output, commandsteps::writeSound(request, output, read.settings), err))
            status = kFailure;
    }
    return status;
}

int newSound(const CliRequest& request, QTextStream&, QTextStream& err) {
    return commandsteps::writeChecked(request.output,
                                      commandsteps::writeSound(request, request.output, commandsteps::newSound()), err)
               ? kSuccess
               : kFailure;
}

}  // namespace clicommands
