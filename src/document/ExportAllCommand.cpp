#include "document/ExportAllCommand.h"

#include "document/DocumentCommands.h"
#include "storage/SoundFolder.h"

#include <QCoreApplication>
#include <QDir>

namespace {

QString tr(const char* text) { return QCoreApplication::translate("ExportAllCommand", text); }

}  // namespace

ExportAllCommand::ExportAllCommand(DocumentCommands& commands) : commands_(commands) {}

bool ExportAllCommand::run(ExportAllAsker& asker, ExportProgress& progress) {
    ExportAllChoice proposed;
    if (last_) proposed = *last_;
    proposed.sourceFolder = sourceFolder ? sourceFolder() : commands_.dialogDirectory();
    if (!last_) proposed.options.folder = commands_.exportDirectory();
    // The normalisation is Export's too: one choice for both.
    proposed.options.normalize = commands_.exportNormalization();
    const std::optional<ExportAllChoice> choice = asker.ask(proposed);
    if (!choice) return false;
    last_ = choice;
    commands_.setExportNormalization(choice->options.normalize);

    summary_ = exportall::Summary();
    QString reason;
    const QStringList sources = soundfolder::soundFiles(choice->sourceFolder, &reason);
    if (sources.isEmpty()) {
        commands_.prompts().error(
            QStringLiteral("%1\n\n%2")
                .arg(tr("Couldn't export"),
                     reason.isEmpty() ? tr("The folder %1 holds no sound files.").arg(choice->sourceFolder) : reason));
        return false;
    }
    summary_ = exportall::run(sources, choice->options, [&progress](int done, int total, const QString& source) {
        return progress.advance(done, total, source);
    });
    if (summary_.cancelled || !summary_.failures.isEmpty()) {
        commands_.prompts().error(exportall::summaryText(summary_));
        return false;
    }
    return true;
}
