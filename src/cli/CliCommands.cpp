#include "CliCommands.h"

#include "OutputGuard.h"
#include "SoundFile.h"
#include "SoundModel.h"
#include "SoundReport.h"
#include "WavExport.h"
#include "ZdlFile.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QTextStream>

namespace clicommands {

namespace {

void report(QTextStream& err, const QString& file, const QString& reason) {
    err << "zindle-cli: " << file << ": " << reason << Qt::endl;
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

// A folder named with -d is made (with its parents) when it is missing, as a
// build step expects of an output folder.
bool checkDirectory(const CliRequest& request, QTextStream& err) {
    if (request.directory.isEmpty() || QFileInfo(request.directory).isDir()) return true;
    if (QFileInfo::exists(request.directory)) {
        report(err, request.directory, QStringLiteral("The output folder is a file."));
        return false;
    }
    if (QDir().mkpath(request.directory)) return true;
    report(err, request.directory, QStringLiteral("The output folder cannot be created."));
    return false;
}

// Reads one input; on failure names it on err.
bool readInput(const QString& input, ReadResult& result, QTextStream& err) {
    result = soundfile::read(input);
    if (!result.ok) report(err, input, result.error);
    return result.ok;
}

bool writeChecked(const QString& output, const WriteResult& written, QTextStream& err) {
    if (!written.ok) report(err, output, QStringLiteral("Couldn't save file: %1").arg(written.error));
    return written.ok;
}

}  // namespace

QString outputExtension(const QString& command) {
    return command == QLatin1String("render") ? QStringLiteral("wav") : QStringLiteral("zdl");
}

int render(const CliRequest& request, QTextStream&, QTextStream& err) {
    if (!checkDirectory(request, err)) return kFailure;
    OutputGuard guard(request.inputs);
    int status = kSuccess;
    for (const QString& input : request.inputs) {
        ReadResult read;
        if (!readInput(input, read, err)) {
            status = kFailure;
            continue;
        }
        const QString output = outputFor(request, input, QString(), QStringLiteral("wav"));
        const QString refused = guard.claim(output);
        if (!refused.isEmpty()) {
            report(err, input, refused);
            status = kFailure;
            continue;
        }
        SoundModel model;
        model.settings = read.settings;
        if (request.repeats) model.settings.repeatCount = *request.repeats;
        if (request.sampleRate) model.settings.sampleRate = *request.sampleRate;
        if (request.bits) model.settings.bitsPerSample = *request.bits;
        model.applyAll();
        const WriteResult written = wavexport::write(output, model.rendered, model.settings.repeatCount);
        if (!writeChecked(output, written, err)) status = kFailure;
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
        if (!readInput(input, read, err)) {
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

int convert(const CliRequest& request, QTextStream&, QTextStream& err) {
    if (!checkDirectory(request, err)) return kFailure;
    OutputGuard guard(request.inputs);
    int status = kSuccess;
    for (const QString& input : request.inputs) {
        if (!soundfile::isOldStyleName(input)) {
            report(err, input, QStringLiteral("Not an old-style file: the name does not end in efc."));
            status = kFailure;
            continue;
        }
        ReadResult read;
        if (!readInput(input, read, err)) {
            status = kFailure;
            continue;
        }
        const QString output = outputFor(request, input, soundfile::zdlPathFor(input), QStringLiteral("zdl"));
        // The sound beside an old file may be one edited since its conversion:
        // only an output the user named replaces an existing file.
        const bool named = !request.output.isEmpty() || !request.directory.isEmpty();
        if (!named && QFileInfo::exists(output)) {
            report(err, input,
                   QStringLiteral("%1 already exists; it was left as it is (name the output with -o or -d).")
                       .arg(output));
            status = kFailure;
            continue;
        }
        const QString refused = guard.claim(output);
        if (!refused.isEmpty()) {
            report(err, input, refused);
            status = kFailure;
            continue;
        }
        if (!writeChecked(output, zdl::write(output, read.settings), err)) status = kFailure;
    }
    return status;
}

int newSound(const CliRequest& request, QTextStream&, QTextStream& err) {
    SoundSettings settings;
    settings.resetToNew();
    settings.bitsPerSample = 8;
    return writeChecked(request.output, zdl::write(request.output, settings), err) ? kSuccess : kFailure;
}

}  // namespace clicommands
