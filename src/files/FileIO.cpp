#include "FileIO.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace fileio {

namespace {
QString tr(const char* text) { return QCoreApplication::translate("fileio", text); }
}  // namespace

bool readPrefix(const QString& path, qint64 maxBytes, QByteArray& bytes, QString& error) {
    const QFileInfo info(path);
    if (!info.exists()) {
        error = tr("The file does not exist.");
        return false;
    }
    if (info.isDir()) {
        error = tr("It is a folder, not a file.");
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = tr("The file cannot be opened (%1).").arg(file.errorString());
        return false;
    }
    QByteArray data = file.read(maxBytes);
    if (file.error() != QFileDevice::NoError) {
        error = tr("The file cannot be read (%1).").arg(file.errorString());
        return false;
    }
    if (data.isEmpty()) {
        error = tr("The file is empty.");
        return false;
    }
    bytes = std::move(data);
    return true;
}

WriteResult writeAtomically(const QString& path, const QByteArray& bytes) {
    // A rename over a folder would fail only at the very end; say why at once.
    if (QFileInfo(path).isDir()) return WriteResult::failure(tr("A folder of that name is in the way."));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return WriteResult::failure(tr("The file cannot be created (%1).").arg(file.errorString()));
    if (file.write(bytes) != bytes.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return WriteResult::failure(tr("The file cannot be written (%1).").arg(reason));
    }
    // commit() flushes, syncs and renames; a full disk shows up here at the latest.
    if (!file.commit()) return WriteResult::failure(tr("The file cannot be completed (%1).").arg(file.errorString()));
    return WriteResult::success();
}

}  // namespace fileio
