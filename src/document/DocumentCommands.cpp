#include "document/DocumentCommands.h"

#include "document/RecentFiles.h"
#include "document/SoundDocument.h"
#include "formats/SoundFormats.h"
#include "storage/ExportAll.h"
#include "storage/SoundExport.h"
#include "storage/SoundFile.h"

#include <QDir>
#include <QFileInfo>

#include <utility>

namespace {

const QString kCouldNotSave = QStringLiteral("Couldn't save file");
const QString kCouldNotOpen = QStringLiteral("Couldn't open file");

// A dialog's type for files ending in `extension`, in either case.
FileDialogRequest::Filter filterOf(const char* label, const QString& extension) {
    return {QLatin1String(label), {QStringLiteral("*.") + extension, QStringLiteral("*.") + extension.toUpper()}};
}

FileDialogRequest::Filter soundFilter(SoundFormatId id) {
    const soundformats::SoundFormat& f = soundformats::format(id);
    return filterOf(f.label, QString::fromStdString(f.extensions.front()));
}

FileDialogRequest::Filter soundFiles() { return soundFilter(SoundFormatId::Zdl); }
FileDialogRequest::Filter soundTextFiles() { return soundFilter(SoundFormatId::Json); }

// The extension of a filter's first pattern: "flac" for "*.flac".
QString filterExtension(const FileDialogRequest& request, int filter) {
    if (filter < 0 || filter >= request.filters.size() || request.filters[filter].patterns.isEmpty()) return QString();
    const QString pattern = request.filters[filter].patterns.first();
    return pattern.startsWith(QLatin1String("*.")) ? pattern.mid(2) : QString();
}

// The failure, the file's name and the reason, each on its own line.
QString failure(const QString& headline, const QString& path, const QString& reason) {
    return QStringLiteral("%1\n\n%2\n%3").arg(headline, QFileInfo(path).fileName(), reason);
}

}  // namespace

DocumentCommands::DocumentCommands(SoundDocument& document, Prompts& prompts, RecentFiles& recent,
                                   QString startDirectory)
    : document_(document),
      prompts_(prompts),
      recent_(recent),
      startDirectory_(std::move(startDirectory)),
      lastFolder_(recent.lastFolder()) {}

QString DocumentCommands::saveChangesQuestion(const QString& title) {
    const QString question = QStringLiteral("Save changes to this file?");
    return title.isEmpty() ? question : QStringLiteral("%1\n\n    %2").arg(question, title);
}

QString DocumentCommands::openFailure(const QString& path, const QString& reason) {
    return failure(kCouldNotOpen, path, reason);
}

QString DocumentCommands::dialogDirectory() const {
    if (document_.hasFile()) return QFileInfo(document_.path()).absolutePath();
    // The folder may have gone since the last run.
    if (!lastFolder_.isEmpty() && QFileInfo(lastFolder_).isDir()) return lastFolder_;
    return startDirectory_;
}

FileDialogRequest DocumentCommands::openRequest() const {
    FileDialogRequest r;
    // Every kind at once first, so that a folder of mixed sounds shows whole.
    FileDialogRequest::Filter all{QStringLiteral("All Sound Files"), {}};
    for (const soundformats::SoundFormat& f : soundformats::all()) r.filters << soundFilter(f.id);
    for (const FileDialogRequest::Filter& f : r.filters) all.patterns << f.patterns;
    r.filters.prepend(all);
    r.directory = dialogDirectory();
    r.defaultSuffix = QStringLiteral("zdl");
    return r;
}

FileDialogRequest DocumentCommands::saveRequest() const {
    FileDialogRequest r;
    // The document's own type is offered first, so Save As keeps it unless
    // the user picks the other.
    const bool json = document_.hasFile() && soundfile::isJsonName(document_.path());
    r.filters = json ? QList{soundTextFiles(), soundFiles()} : QList{soundFiles(), soundTextFiles()};
    r.directory = dialogDirectory();
    r.fileName = document_.path();
    // A sound saved while a bank is open goes into the bank, unless the user
    // picks another folder.
    if (!bankFolder_.isEmpty() && QFileInfo(bankFolder_).isDir()) {
        r.directory = bankFolder_;
        r.fileName =
            document_.hasFile() ? QDir(bankFolder_).filePath(QFileInfo(document_.path()).fileName()) : QString();
    }
    r.defaultSuffix = json ? QStringLiteral("json") : QStringLiteral("zdl");
    return r;
}

QString DocumentCommands::exportDirectory() const {
    if (!lastExportFolder_.isEmpty() && QFileInfo(lastExportFolder_).isDir()) return lastExportFolder_;
    return dialogDirectory();
}

FileDialogRequest DocumentCommands::exportRequest() const {
    FileDialogRequest r;
    r.title = QStringLiteral("Export");
    for (const soundexport::ExportType& t : soundexport::types())
        r.filters << filterOf(t.label, QLatin1String(t.extension));
    // Exports go to a folder of their own (a game's assets), once there is one.
    r.directory = exportDirectory();
    // Named after the sound file, when there is one.
    if (document_.hasFile()) {
        const QString name = QFileInfo(document_.path()).completeBaseName() + QStringLiteral(".wav");
        r.fileName = QDir(r.directory).filePath(name);
    }
    r.defaultSuffix = QStringLiteral("wav");
    return r;
}

bool DocumentCommands::askSaveChanges() {
    if (!document_.modified()) return true;
    switch (prompts_.question(saveChangesQuestion(document_.title()))) {
    case Prompts::Answer::Yes: return save();
    case Prompts::Answer::No: return true;
    case Prompts::Answer::Cancel: break;
    }
    return false;
}

bool DocumentCommands::newSound() {
    if (!askSaveChanges()) return false;
    SoundSettings fresh = document_.settings();
    fresh.resetToNew();  // keeps the width
    derivedName_ = false;
    document_.load(fresh);
    return true;
}

bool DocumentCommands::open() {
    if (!askSaveChanges()) return false;
    const QString chosen = prompts_.openFileName(openRequest());
    if (chosen.isEmpty()) return false;
    const QString problem = readDocument(chosen);
    if (!problem.isEmpty()) prompts_.error(problem);
    return problem.isEmpty();
}

bool DocumentCommands::openPath(const QString& path) {
    if (!askSaveChanges()) return false;
    const QString problem = readDocument(path);
    if (!problem.isEmpty()) prompts_.error(problem);
    return problem.isEmpty();
}

QString DocumentCommands::openAtStart(const QString& path) { return readDocument(path); }

QString DocumentCommands::readDocument(const QString& path) {
    const ReadResult read = soundfile::read(path);
    if (!read.ok) return failure(kCouldNotOpen, path, read.error);
    // An old-style sound (or any under an old-style name, never written) is
    // saved as a new file beside the old one.
    const bool oldStyle = read.format == SoundFormatId::Efc || soundfile::isOldStyleName(path);
    derivedName_ = oldStyle;
    document_.load(read.settings, oldStyle ? soundfile::zdlPathFor(path) : path);
    fileUsed(path, true);
    return QString();
}

bool DocumentCommands::save() {
    if (!document_.hasFile()) return saveAs();
    // A file of the made-up name may be the user's: let the dialog ask.
    if (derivedName_ && QFileInfo::exists(document_.path())) return saveAs();
    return writeDocument(document_.path());
}

QString DocumentCommands::completedName(const FileDialogRequest& request, const SaveChoice& choice,
                                        bool (*known)(const QString& path)) {
    if (choice.path.isEmpty() || known(choice.path)) return choice.path;
    // A name of no format we write gets the picked type's extension. The
    // dialog confirmed replacing only the name as typed, so a file already
    // there under the longer name is asked about.
    const QString extension = filterExtension(request, choice.filter);
    const QString path =
        choice.path + QLatin1Char('.') + (extension.isEmpty() ? filterExtension(request, 0) : extension);
    if (!QFileInfo::exists(path)) return path;
    const QString question = QStringLiteral("%1 already exists.\nDo you want to replace it?");
    return prompts_.confirm(question.arg(QFileInfo(path).fileName()), QStringLiteral("Replace")) ? path : QString();
}

bool DocumentCommands::saveAs() {
    const FileDialogRequest request = saveRequest();
    const QString path = completedName(request, prompts_.saveFile(request), soundfile::isWritableName);
    if (path.isEmpty()) return false;
    return writeDocument(path);
}

bool DocumentCommands::writeDocument(const QString& path) {
    // The name says the format: Save keeps a JSON sound JSON.
    const WriteResult written = soundfile::write(path, document_.settings());
    if (!written.ok) {
        // The document keeps the name it had, so Save goes where the caption says.
        prompts_.error(failure(kCouldNotSave, path, written.error));
        return false;
    }
    derivedName_ = false;
    document_.markSaved(path);
    fileUsed(path, true);
    return true;
}

bool DocumentCommands::exportSound() {
    // The extension picks the format; any other name gets the picked type's.
    const FileDialogRequest request = exportRequest();
    const QString path = completedName(request, prompts_.saveFile(request),
                                       [](const QString& p) { return soundexport::formatForPath(p).has_value(); });
    if (path.isEmpty()) return false;
    const soundexport::ExportFormat format = soundexport::formatForPath(path).value_or(soundexport::ExportFormat::Wav);
    // A gain is applied to a render of its own; without one the bytes are those played.
    const WriteResult written =
        exportNormalization_.target == normalization::Target::None
            ? soundexport::write(path, document_.rendered(), document_.settings().repeatCount, format)
            : exportall::exportSound(document_.settings(), path, format, exportNormalization_, {}).written;
    if (!written.ok)
        prompts_.error(failure(kCouldNotSave, path, written.error));
    else
        lastExportFolder_ = QFileInfo(path).absolutePath();
    return written.ok;
}

void DocumentCommands::fileUsed(const QString& path, bool sound) {
    const QFileInfo info(path);
    lastFolder_ = info.absolutePath();
    if (sound) recent_.add(info.absoluteFilePath());
    recent_.setLastFolder(lastFolder_);
}
