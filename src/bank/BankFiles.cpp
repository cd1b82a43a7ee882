#include "bank/BankFiles.h"

#include "bank/SoundBank.h"
#include "storage/FileIO.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace bank_files {

namespace {

// Larger than any sound file the readers take.
constexpr qint64 kMostBytes = qint64(256) << 20;

QString exists(const QString& path) {
    return QObject::tr("A file named \"%1\" is already in the folder.").arg(QFileInfo(path).fileName());
}

}  // namespace

QString pathForName(const QString& folder, const QString& typed, const QString& suffix, QString& error) {
    const QString name = typed.trimmed();
    if (name.isEmpty()) {
        error = QObject::tr("The name is empty.");
        return QString();
    }
    if (name.contains(QLatin1Char('/')) || name == QLatin1String(".") || name == QLatin1String("..")) {
        error = QObject::tr("\"%1\" cannot be a file's name: it may not hold a '/'.").arg(name);
        return QString();
    }
    const QString file = SoundBank::isSoundName(name) ? name : name + QLatin1Char('.') + suffix;
    const QString path = QDir(folder).filePath(file);
    // A dangling link counts as taken: a write would go where it points.
    if (QFileInfo::exists(path) || QFileInfo(path).isSymLink()) {
        error = exists(path);
        return QString();
    }
    return path;
}

QString duplicatePath(const QString& path) {
    const QFileInfo info(path);
    QString stem = info.completeBaseName();
    int n = 2;
    static const QRegularExpression numbered(QStringLiteral("^(.*)_(\\d{1,6})$"));
    const QRegularExpressionMatch m = numbered.match(stem);
    if (m.hasMatch() && !m.captured(1).isEmpty()) {
        stem = m.captured(1);
        n = m.captured(2).toInt() + 1;
    }
    const QString suffix = info.suffix().isEmpty() ? QString() : QLatin1Char('.') + info.suffix();
    for (;; ++n) {
        const QString candidate = info.dir().filePath(QStringLiteral("%1_%2%3").arg(stem).arg(n).arg(suffix));
        if (!QFileInfo::exists(candidate) && !QFileInfo(candidate).isSymLink()) return candidate;
    }
}

bool copy(const QString& from, const QString& to, QString& error) {
    QByteArray bytes;
    if (!fileio::readWhole(from, kMostBytes, bytes, error)) return false;
    // Checked again just before the write, which would replace a file.
    if (QFileInfo::exists(to) || QFileInfo(to).isSymLink()) {
        error = exists(to);
        return false;
    }
    const WriteResult written = fileio::writeAtomically(to, bytes);
    if (!written.ok) error = written.error;
    return written.ok;
}

bool rename(const QString& from, const QString& to, QString& error) {
    if (QFileInfo::exists(to) || QFileInfo(to).isSymLink()) {
        error = exists(to);
        return false;
    }
    QFile file(from);
    // QFile refuses to rename over an existing file.
    if (!file.rename(to)) {
        error = file.errorString();
        return false;
    }
    return true;
}

}  // namespace bank_files
