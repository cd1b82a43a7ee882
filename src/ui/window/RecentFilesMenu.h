#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class QMenu;
class RecentFiles;

// File, Open Recent: one item per recent sound, most recent first, numbered
// for the keyboard, then Clear Menu. It follows the list as it changes.
class RecentFilesMenu {
public:
    // `open` runs when an item is chosen, with the item's full path.
    RecentFilesMenu(QMenu& menu, RecentFiles& recent, std::function<void(const QString&)> open);

    // "&1 boom.zdl"; a name that two items share gets its folder as well.
    static QString itemText(int index, const QString& path, const QStringList& all);

private:
    void rebuild();

    QMenu& menu_;
    RecentFiles& recent_;
    std::function<void(const QString&)> open_;
};
