#pragma once

#include <QTreeView>

// The bank's table, with the keys of a list of sounds: Up and Down (or a
// click) move and play, Enter opens, Space plays, F2 renames, Delete deletes
// and Ctrl+D duplicates. These are the list's own while it has the focus,
// ahead of the window's shortcuts. Only
// the user's moves play: the focus coming in or the list being read again
// moves the current row silently.
class BankView : public QTreeView {
    Q_OBJECT
public:
    explicit BankView(QWidget* parent = nullptr);

signals:
    void openWanted(const QModelIndex& index);
    void playWanted(const QModelIndex& index);
    void renameWanted(const QModelIndex& index);
    void deleteWanted(const QModelIndex& index);
    void duplicateWanted(const QModelIndex& index);

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
};
