#include "ui/bank/BankFileCommands.h"

#include "bank/BankFiles.h"
#include "bank/SoundBank.h"
#include "document/Prompts.h"
#include "document/SoundDocument.h"
#include "storage/SoundFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QObject>

namespace {

QString failure(const QString& headline, const QString& name, const QString& reason) {
    return QStringLiteral("%1\n\n%2\n%3").arg(headline, name, reason);
}

}  // namespace

BankFileCommands::BankFileCommands(SoundBank& bank, SoundDocument& document, Prompts& prompts)
    : bank_(bank), document_(document), prompts_(prompts) {
    moveToTrash = [](const QString& path, QString& reason) {
        QFile file(path);
        if (file.moveToTrash()) return true;
        reason = file.errorString();
        return false;
    };
}

QString BankFileCommands::trashQuestion(const QString& name) {
    return QObject::tr("Move \"%1\" to the trash?").arg(name);
}

QString BankFileCommands::rename(const QString& path) {
    const QFileInfo info(path);
    const QString typed = prompts_.askName(QObject::tr("New name for \"%1\":").arg(info.fileName()), info.fileName());
    if (typed.isEmpty() || typed == info.fileName()) return QString();
    const QString headline = QObject::tr("Couldn't rename file");
    QString error;
    const QString to = bank_files::pathForName(info.absolutePath(), typed, info.suffix(), error);
    if (to.isEmpty() || !bank_files::rename(path, to, error)) {
        prompts_.error(failure(headline, info.fileName(), error));
        return QString();
    }
    if (document_.hasFile() && QDir::cleanPath(document_.path()) == QDir::cleanPath(path))
        document_.fileRenamed(QDir::cleanPath(to));
    bank_.rescan();
    return QDir::cleanPath(to);
}

QString BankFileCommands::remove(const QString& path) {
    const QString name = QFileInfo(path).fileName();
    // The entry that takes its place is selected next.
    QString neighbour;
    const int row = bank_.indexOf(path);
    const int count = static_cast<int>(bank_.entries().size());
    if (row >= 0 && count > 1)
        neighbour = bank_.entries()[static_cast<size_t>(row + 1 < count ? row + 1 : row - 1)].path;
    if (!prompts_.confirm(trashQuestion(name), QObject::tr("Move to Trash"))) return QString();
    QString reason;
    if (!moveToTrash(path, reason)) {
        const QString question =
            QObject::tr("\"%1\" cannot be moved to the trash (%2).\n\nDelete it for good? This cannot be undone.")
                .arg(name, reason);
        if (!prompts_.confirm(question, QObject::tr("Delete"))) return QString();
        QFile file(path);
        if (!file.remove()) {
            prompts_.error(failure(QObject::tr("Couldn't delete file"), name, file.errorString()));
            return QString();
        }
    }
    bank_.rescan();
    return neighbour;
}

QString BankFileCommands::duplicate(const QString& path) {
    const QString to = bank_files::duplicatePath(path);
    QString error;
    if (!bank_files::copy(path, to, error)) {
        prompts_.error(failure(QObject::tr("Couldn't duplicate file"), QFileInfo(path).fileName(), error));
        return QString();
    }
    bank_.rescan();
    return QDir::cleanPath(to);
}

QString BankFileCommands::newSound(const SoundSettings& settings) {
    if (bank_.folder().isEmpty()) return QString();
    const QString typed = prompts_.askName(QObject::tr("Name of the new sound:"), QString());
    if (typed.isEmpty()) return QString();
    QString error;
    QString path = bank_files::pathForName(bank_.folder(), typed, QStringLiteral("zdl"), error);
    const QString headline = QObject::tr("Couldn't save file");
    if (!path.isEmpty() && !soundfile::isWritableName(path)) {
        path.clear();
        error = QObject::tr("A new sound is saved as a .zdl or a .json file.");
    }
    if (path.isEmpty()) {
        prompts_.error(failure(headline, typed, error));
        return QString();
    }
    const WriteResult written = soundfile::write(path, settings);
    if (!written.ok) {
        prompts_.error(failure(headline, QFileInfo(path).fileName(), written.error));
        return QString();
    }
    bank_.rescan();
    return QDir::cleanPath(path);
}
