#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

class QMenu;
class RecentFiles;

// File, Open Recent: one item per recent sound, most recent first, numbered
// for the keyboard, then Clear Menu. It follows the list as it changes.
class RecentFilesMenu : public QObject {
    Q_OBJECT
public:
    RecentFilesMenu(QMenu& menu, RecentFiles& recent);

    // "&1 boom.zdl"; a name that two items share gets its folder as well.
    static QString itemText(int index, const QString& path, const QStringList& all);

signals:
    // An item was chosen: the item's full path.
    void openRequested(const QString& path);

private:
    void rebuild();

    QMenu& menu_;
    RecentFiles& recent_;
};
