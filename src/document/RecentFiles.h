#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

class QSettings;

// The sounds (and sound banks' folders) opened or saved lately, most recent first, and the folder used
// last, kept in the settings between runs. Whatever the settings hold is
// checked when read: a corrupt, unreadable or oversized file (see
// editor_settings::open) only means an empty list.
// Writing is best effort; a settings file that cannot be written loses
// nothing but the list of the next run.
class RecentFiles : public QObject {
    Q_OBJECT
public:
    static constexpr int kMaxCount = 8;

    explicit RecentFiles(QSettings& settings);

    const QStringList& paths() const { return paths_; }
    // Puts `path` first (once), dropping the oldest beyond the limit.
    void add(const QString& path);
    void remove(const QString& path);
    void clear();

    // Empty when none was kept.
    const QString& lastFolder() const { return lastFolder_; }
    void setLastFolder(const QString& folder);

signals:
    // The list changed (the menu shows it again).
    void changed();

private:
    void load();
    void store();
    void listChanged();

    QSettings& settings_;
    QStringList paths_;
    QString lastFolder_;
};
