#pragma once

#include "document/Prompts.h"

#include <QPointer>
#include <QWidget>

// The document commands' questions as Qt dialogs: message boxes captioned
// with the program's name and Qt's own file dialogs, all modal over the owner.
class QtPrompts : public Prompts {
public:
    explicit QtPrompts(QWidget* owner = nullptr) : owner_(owner) {}

    void setOwner(QWidget* owner) { owner_ = owner; }

    Answer question(const QString& text) override;
    QString openFileName(const FileDialogRequest& request) override;
    QString folderName(const FileDialogRequest& request) override;
    bool confirm(const QString& text, const QString& action) override;
    SaveChoice saveFile(const FileDialogRequest& request) override;
    QString askName(const QString& text, const QString& proposed) override;
    void error(const QString& text) override;

    // "Sound Effects Files (*.zdl *.ZDL)": the form Qt's dialogs take.
    static QStringList nameFilters(const FileDialogRequest& request);
    // "flac" for the filter shown as "FLAC Files (*.flac *.FLAC)": the
    // extension of its first pattern; empty for a pattern such as "*".
    static QString filterSuffix(const FileDialogRequest& request, const QString& nameFilter);

private:
    SaveChoice runFileDialog(const FileDialogRequest& request, bool save);

    QPointer<QWidget> owner_;
};
