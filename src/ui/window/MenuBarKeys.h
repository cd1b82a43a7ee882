#pragma once

#include <QObject>

class QAction;
class QMainWindow;

// Keeps the window's keys working around its menu bar. A menu that closes
// can leave no window active (the popup had taken the activation and gives
// it back to nobody), and then no key of the window's actions matches: the
// window is made active again. A menu closed with Esc leaves its title
// highlighted, and the menu bar takes the next Esc to end that: the same
// key also runs `escape` (the Stop command), as it does anywhere else.
class MenuBarKeys : public QObject {
    Q_OBJECT
public:
    // Watches the menus the bar holds now.
    MenuBarKeys(QMainWindow& window, QAction& escape);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void reactivate();

    QMainWindow& window_;
    QAction& escape_;
};
