#pragma once

#include <QString>
#include <QWidget>

#include <functional>

class BankFileCommands;
class QAction;
class BankListModel;
class BankView;
class QLabel;
class QModelIndex;
class QVBoxLayout;
class SoundBank;
class WavImage;

// The sound bank beside the editor: the folder's sounds with their figures,
// played without being opened as the selection moves, opened on Enter or a
// double click. Below them is room for the sounds generated this session.
class BankPanel : public QWidget {
    Q_OBJECT
public:
    explicit BankPanel(SoundBank& bank, QWidget* parent = nullptr);

    BankView* view() const { return view_; }
    BankListModel& model() const { return *model_; }

    // The sound the editor holds, marked in the list.
    void setOpenSound(const QString& path, bool modified);
    // The selected entry's path, or empty.
    QString selectedPath() const;
    // Selects the entry at `path` without playing it.
    void selectPath(const QString& path);

    // F2, Delete and Ctrl+D run these (none until set).
    void setFileCommands(BankFileCommands* commands) { fileCommands_ = commands; }

    // Shows `list` below the bank under the heading "Generated"; the panel
    // takes it as its child.
    void setGeneratedList(QWidget* list);

    // Puts `action` on the list's context menu, after its own items.
    void addContextAction(QAction* action);

    // The heading: the folder, how many sounds it holds, or why none show.
    QString headingText() const;

signals:
    // Enter or a double click on a sound that can be read.
    void openRequested(const QString& path);
    // The selected sound, rendered to be played.
    void soundToPlay(const WavImage& image);
    // The selected sound could not be read or rendered to be played.
    void playFailed(const QString& path, const QString& reason);

private:
    void play(const QModelIndex& index);
    void open(const QModelIndex& index);
    void listReset();
    void refreshHeading();
    // F2, Delete or Ctrl+D on the entry at `index`, then selects what it names.
    void runFileCommand(const QModelIndex& index, const std::function<QString(const QString&)>& command);
    // Open, Play, Rename, Duplicate and Delete on the list's context menu,
    // on the row under the pointer (the keys' items, with the keys shown).
    void buildContextMenu();

    SoundBank& bank_;
    BankListModel* model_ = nullptr;
    BankView* view_ = nullptr;
    BankFileCommands* fileCommands_ = nullptr;
    QLabel* heading_ = nullptr;
    QVBoxLayout* layout_ = nullptr;
    QString selected_;  // kept across the list's resets
    QString wanted_;    // the sound asked to play
};
