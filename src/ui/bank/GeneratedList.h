#pragma once

#include <QListWidget>
#include <QString>

#include <functional>

class GeneratedHistory;
class Prompts;
class QAction;
struct SoundSettings;

// The sounds generated in this session, newest first, each as "Coin, seed
// 48213". Up and Down play the entry they land on (a click or Space plays it too);
// Enter or a double click asks for it to become the current sound; Keep
// (Ctrl+K) saves it as a new file in the folder it is given, under a name it
// asks for, never over a file that is there. It only shows and asks: the
// window plays and applies.
class GeneratedList : public QListWidget {
    Q_OBJECT
public:
    // Asks for the name to keep a sound under, offering `proposed`; an empty
    // answer cancels.
    using NameAsker = std::function<QString(const QString& proposed)>;

    // `prompts` tells of a Keep that failed. The names are asked in a dialog
    // over the list until setNameAsker says otherwise.
    GeneratedList(const GeneratedHistory& history, Prompts& prompts, QWidget* parent = nullptr);

    // Where Keep saves, asked at each Keep; nothing yet until it is set.
    void setFolder(std::function<QString()> folder) { folder_ = std::move(folder); }
    void setNameAsker(NameAsker asker) { askName_ = std::move(asker); }

    QAction* keepAction() const { return keepAction_; }

    // Keep for the selected entry: the path written, or empty when nothing
    // was (cancelled, or refused with the reason shown).
    QString keepSelected();

signals:
    void playRequested(const SoundSettings& sound);
    // The entry at `index` of the history is to become the current sound.
    void useRequested(int index);
    void kept(const QString& path);

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // The newest entry goes first; the list follows the history's limit.
    void takeNewest();
    void playCurrent();

    const GeneratedHistory& history_;
    Prompts& prompts_;
    std::function<QString()> folder_;
    NameAsker askName_;
    QAction* keepAction_ = nullptr;
};
