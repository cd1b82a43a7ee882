#include "cli/GenerateCommands.h"

#include "cli/CliCommands.h"
#include "cli/CommandSteps.h"
#include "cli/OutputGuard.h"
#include "core/SoundMutation.h"
#include "core/SoundTemplates.h"

#include <QDir>
#include <QFileInfo>
#include <QTextStream>

#include <functional>
#include <string>

namespace generatecommands {

namespace {

// Writes request.count sounds made by `make` from the seeds request.seed,
// request.seed + 1, ...: the one to -o, or numbered files named after `base`
// in -d. Every sound is tried even when one fails.
int writeSounds(const CliRequest& request, const QString& base, const std::function<SoundSettings(uint64_t)>& make,
                QTextStream& err) {
    if (!commandsteps::checkDirectory(request, err)) return clicommands::kFailure;
    // No output may replace the sound it is a variation of or keeps parts of.
    const bool mutating = request.command == QLatin1String("mutate");
    OutputGuard guard(mutating ? request.inputs : request.from.isEmpty() ? QStringList() : QStringList{request.from});
    int status = clicommands::kSuccess;
    for (int i = 0; i < request.count; ++i) {
        const QString output = request.output.isEmpty()
                                   ? QDir(request.directory)
                                         .filePath(commandsteps::numberedName(base, i + 1, request.count,
                                                                              commandsteps::soundExtension(request)))
                                   : request.output;
        const QString refused = guard.claim(output);
        if (!refused.isEmpty()) {
            commandsteps::report(err, output, refused);
            status = clicommands::kFailure;
            continue;
        }
        if (!commandsteps::writeChecked(
                output, commandsteps::writeSound(request, output, make(request.seed + uint64_t(i))), err))
            status = clicommands::kFailure;
    }
    return status;
}

}  // namespace

int templates(QTextStream& out) {
    for (const std::string& name : sound_templates::names()) out << QString::fromStdString(name) << '\n';
    out.flush();
    return clicommands::kSuccess;
}

int generate(const CliRequest& request, QTextStream& err) {
    const std::string name = request.inputs.first().toStdString();
    ReadResult base;
    if (request.from.isEmpty())
        base.settings = commandsteps::newSound();
    else if (!commandsteps::readInput(request.from, base, err))
        return clicommands::kFailure;
    // The parser has already turned away an unknown name.
    const auto make = [&](uint64_t seed) {
        return *sound_templates::generate(name, seed, base.settings, request.kept);
    };
    return writeSounds(request, request.inputs.first(), make, err);
}

int mutate(const CliRequest& request, QTextStream& err) {
    const QString& input = request.inputs.first();
    ReadResult read;
    if (!commandsteps::readInput(input, read, err)) return clicommands::kFailure;
    const auto make = [&](uint64_t seed) {
        return sound_mutation::mutate(read.settings, seed, request.amount, request.kept);
    };
    return writeSounds(request, QFileInfo(input).completeBaseName(), make, err);
}

}  // namespace generatecommands
