#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// What a file dialog is asked to show.
struct FileDialogRequest {
    struct Filter {
        QString description;   // "Sound Effects Files"
        QStringList patterns;  // "*.zdl", "*.ZDL": names match in either case
    };
    QList<Filter> filters;  // the first is selected at first
    QString title;          // the dialog's caption; empty for the system's own
    QString directory;      // where the dialog starts
    QString fileName;       // proposed file (a full path), empty for none
    // Added to a name typed without one; once the user picks another filter,
    // that filter's first pattern's extension is added instead.
    QString defaultSuffix;
};

// A file to write and the file type picked for it (an index into the
// request's filters).
struct SaveChoice {
    QString path;  // empty when the dialog was cancelled
    int filter = 0;
};

// The questions the document commands put to the user. The editor shows
// real dialogs and message boxes; tests answer from a script.
class Prompts {
public:
    enum class Answer { Yes, No, Cancel };

    virtual ~Prompts() = default;

    // A Yes/No/Cancel question captioned with the program's name. A box
    // closed without an answer counts as Cancel.
    virtual Answer question(const QString& text) = 0;
    // A question with two answers, `action` ("Replace") and Cancel; true for
    // the action. A box closed without an answer counts as Cancel.
    virtual bool confirm(const QString& text, const QString& action) = 0;
    // The chosen existing file, or empty when the dialog was cancelled.
    virtual QString openFileName(const FileDialogRequest& request) = 0;
    // The chosen existing folder, or empty when the dialog was cancelled
    // (the request's title and directory; its filters are not used).
    virtual QString folderName(const FileDialogRequest& request) = 0;
    // The chosen file to write and its type, or an empty path when cancelled.
    // Choosing a file that exists has already been confirmed by the user.
    virtual SaveChoice saveFile(const FileDialogRequest& request) = 0;
    QString saveFileName(const FileDialogRequest& request) { return saveFile(request).path; }
    // A name typed in answer to `text`, starting from `proposed`; empty when
    // cancelled.
    virtual QString askName(const QString& text, const QString& proposed) = 0;
    // Tells the user that something failed; returns when it was read.
    virtual void error(const QString& text) = 0;
};
