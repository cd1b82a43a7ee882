#include "ui/window/RecentFilesMenu.h"

#include "document/RecentFiles.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>

#include <utility>

RecentFilesMenu::RecentFilesMenu(QMenu& menu, RecentFiles& recent) : menu_(menu), recent_(recent) {
    menu_.setToolTipsVisible(true);
    connect(&recent_, &RecentFiles::changed, this, &RecentFilesMenu::rebuild);
    rebuild();
}

QString RecentFilesMenu::itemText(int index, const QString& path, const QStringList& all) {
    const QFileInfo info(path);
    QString label = info.fileName();
    for (const QString& other : all) {
        if (other != path && QFileInfo(other).fileName() == label) {
            label += QStringLiteral(" (%1)").arg(QDir::toNativeSeparators(info.absolutePath()));
            break;
        }
    }
    // A folder (a sound bank) shows as one.
    if (info.isDir()) label += QLatin1Char('/');
    // An '&' in a name is shown, not taken for a mnemonic.
    label.replace(QLatin1Char('&'), QStringLiteral("&&"));
    return QStringLiteral("&%1 %2").arg(index + 1).arg(label);
}

void RecentFilesMenu::rebuild() {
    // The list changes while one of these items is being triggered (opening
    // it, Clear Menu): those go once their signal has returned.
    for (QAction* old : menu_.actions()) {
        menu_.removeAction(old);
        old->deleteLater();
    }
    const QStringList paths = recent_.paths();
    for (int i = 0; i < paths.size(); ++i) {
        QAction* item = menu_.addAction(itemText(i, paths[i], paths));
        item->setToolTip(paths[i]);
        item->setData(paths[i]);
        const QString path = paths[i];
        QObject::connect(item, &QAction::triggered, &menu_, [this, path] { emit openRequested(path); });
    }
    if (!paths.isEmpty()) menu_.addSeparator();
    QAction* clear = menu_.addAction(QObject::tr("&Clear Menu"));
    clear->setEnabled(!paths.isEmpty());
    QObject::connect(clear, &QAction::triggered, &menu_, [this] { recent_.clear(); });
}
