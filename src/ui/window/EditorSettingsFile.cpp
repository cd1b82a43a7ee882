#include "ui/window/EditorSettingsFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace editor_settings {

namespace {

// Qt hands a format's reader the opened file before reading a byte of it.
bool readNothing(QIODevice&, QSettings::SettingsMap&) { return false; }

// Qt writes its INI text only into a file of its own: it is made in a scratch
// folder and its bytes copied into the settings file Qt is replacing.
bool writeAsIni(QIODevice& device, const QSettings::SettingsMap& values) {
    if (values.isEmpty()) return true;
    const QTemporaryDir scratch;
    if (!scratch.isValid()) return false;
    const QString path = scratch.filePath(QStringLiteral("settings.ini"));
    {
        QSettings ini(path, QSettings::IniFormat);
        for (auto value = values.cbegin(); value != values.cend(); ++value) ini.setValue(value.key(), value.value());
        ini.sync();
        if (ini.status() != QSettings::NoError) return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return false;
    const QByteArray bytes = file.readAll();
    return file.error() == QFileDevice::NoError && device.write(bytes) == bytes.size();
}

// An oversized file read as a damaged one, written as Qt's INI.
QSettings::Format unreadFormat() {
    static const QSettings::Format format = QSettings::registerFormat(QStringLiteral("ini"), readNothing, writeAsIni);
    return format;
}

}  // namespace

QString userFile() {
    // Where QSettings(IniFormat, UserScope, "zindle", "zindle") keeps it, found
    // without constructing one, which would read it.
    QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (folder.isEmpty()) folder = QDir::homePath();
    return folder + QStringLiteral("/zindle/zindle.ini");
}

std::unique_ptr<QSettings> open(const QString& path) {
    const QFileInfo info(path);
    // Qt opens the file even for a reader that reads nothing, and opening a
    // pipe would hold the start for good: anything but a regular file is
    // left alone, and this run's settings go to a scratch file instead.
    if (info.exists() && !info.isFile()) {
        static const QTemporaryDir scratch;
        const QString stand = scratch.filePath(QStringLiteral("ignored.ini"));
        QFile(stand).open(QIODevice::WriteOnly | QIODevice::Truncate);
        return std::make_unique<QSettings>(stand, unreadFormat());
    }
    // An oversized file would cost seconds and memory to read.
    if (info.isFile() && info.size() > kMostBytes) return std::make_unique<QSettings>(path, unreadFormat());
    return std::make_unique<QSettings>(path, QSettings::IniFormat);
}

}  // namespace editor_settings
