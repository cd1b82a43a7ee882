#pragma once

#include "document/ExportAllCommand.h"

#include <QList>
#include <QObject>
#include <QPointer>

#include <memory>

class DocumentCommands;
class QAction;
class QMainWindow;
class QMenu;
class QProgressDialog;
class QSettings;

// The File menu's Export All... and Normalize Exports items, after Export:
// Export All runs its command with the dialog and a progress dialog that can
// cancel; the Normalize Exports choice (remembered in the settings) is the
// gain both Export and Export All start from.
class ExportAllMenu : public QObject {
    Q_OBJECT
public:
    ExportAllMenu(QMainWindow& window, QAction& exportAction, DocumentCommands& commands, QSettings& settings);
    ~ExportAllMenu() override;

    ExportAllCommand& command() { return command_; }
    QAction* exportAllAction() const { return exportAll_; }
    QMenu* normalizeMenu() const { return normalizeMenu_; }
    // One checkable item per normalization_choices::presets(), in that order.
    const QList<QAction*>& normalizeActions() const { return normalizeActions_; }

    // Tests answer the dialog and the progress from a script; null restores the real ones.
    void setAsker(ExportAllAsker* asker) { asker_ = asker; }
    void setProgress(ExportProgress* progress) { progress_ = progress; }

private:
    class Dialogs : public ExportAllAsker, public ExportProgress {
    public:
        explicit Dialogs(QMainWindow& window) : window_(window) {}
        ~Dialogs() override;
        std::optional<ExportAllChoice> ask(const ExportAllChoice& proposed) override;
        bool advance(int done, int total, const QString& source) override;

    private:
        QMainWindow& window_;
        QPointer<QProgressDialog> progress_;
    };

    void exportAll();
    // Checks the item of the commands' normalisation.
    void showNormalization();
    void storeNormalization();

    DocumentCommands& commands_;
    QSettings& settings_;
    ExportAllCommand command_;
    Dialogs dialogs_;
    ExportAllAsker* asker_ = nullptr;
    ExportProgress* progress_ = nullptr;
    QAction* exportAll_ = nullptr;
    QMenu* normalizeMenu_ = nullptr;
    QList<QAction*> normalizeActions_;
};
