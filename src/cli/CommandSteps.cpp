#include "cli/CommandSteps.h"

#include "storage/FileNames.h"
#include "storage/JsonFile.h"
#include "storage/SoundFile.h"
#include "storage/ZdlFile.h"

#include <QTextStream>

#include <algorithm>

namespace commandsteps {

void report(QTextStream& err, const QString& file, const QString& reason) {
    err << "zindle-cli: " << file << ": " << reason << Qt::endl;
}

// Made rather than refused, as a build step expects of an output folder.
bool checkDirectory(const CliRequest& request, QTextStream& err) {
    if (request.directory.isEmpty() || filenames::isFolder(request.directory)) return true;
    if (filenames::exists(request.directory)) {
        report(err, request.directory, QStringLiteral("The output folder is a file."));
        return false;
    }
    if (filenames::makeFolders(request.directory)) return true;
    report(err, request.directory, QStringLiteral("The output folder cannot be created."));
    return false;
}

bool readInput(const QString& input, ReadResult& result, QTextStream& err) {
    result = soundfile::read(input, fileio::Streams::Accepted);
    if (!result.ok) report(err, input, result.error);
    return result.ok;
}

bool writeChecked(const QString& output, const WriteResult& written, QTextStream& err) {
    if (!written.ok) report(err, output, QStringLiteral("Couldn't save file: %1").arg(written.error));
    return written.ok;
}

QString soundExtension(const CliRequest& request) { return request.to.isEmpty() ? QStringLiteral("zdl") : request.to; }

WriteResult writeSound(const CliRequest& request, const QString& output, const SoundSettings& settings) {
    // The parser allows --to with -o only for a stream, and every other
    // made-up name ends in --to's extension.
    const bool json = request.to.isEmpty() ? soundfile::isJsonName(output) : request.to == QLatin1String("json");
    return json ? soundjson::write(output, settings, fileio::Streams::Accepted)
                : zdl::write(output, settings, fileio::Streams::Accepted);
}

QString numberedName(const QString& base, int index, int count, const QString& extension) {
    const int digits = std::max(3, int(QString::number(count).size()));
    // One pass, so a "%" in the base name is kept as it is.
    return QStringLiteral("%1_%2.%3")
        .arg(base, QStringLiteral("%1").arg(index, digits, 10, QLatin1Char('0')), extension);
}

SoundSettings newSound() {
    SoundSettings settings;
    settings.resetToNew();
    // resetToNew keeps the user's width; a file made here has no user.
    settings.bitsPerSample = 8;
    return settings;
}

}  // namespace commandsteps
