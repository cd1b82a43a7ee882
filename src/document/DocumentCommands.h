#pragma once

#include "document/Prompts.h"
#include "storage/Normalization.h"

#include <QString>

class RecentFiles;
class SoundDocument;

// New, Open, Save, Save As, Export and the close request for the one
// open sound, with the save-changes question that guards whatever would
// discard edits. Each command returns true when it went through; a command
// that returns false has changed nothing (apart from a file the user asked
// to be saved on the way). Every sound read or written joins the recent
// files, and the folder used last is kept there.
class DocumentCommands {
public:
    // `startDirectory` is where the file dialogs open when there is neither a
    // sound file nor a last folder to start from.
    DocumentCommands(SoundDocument& document, Prompts& prompts, RecentFiles& recent, QString startDirectory);

    // Where the dialogs of a sound without a file open, if it still exists:
    // the folder used last (at first the recent files' one, from an earlier run).
    void setLastFolder(const QString& folder) { lastFolder_ = folder; }
    // The folder open as the sound bank (empty for none): Save As starts there.
    void setBankFolder(const QString& folder) { bankFolder_ = folder; }
    // The folder of the current sound, else the last folder, else the start directory.
    QString dialogDirectory() const;
    // The folder of the last export, else dialogDirectory().
    QString exportDirectory() const;

    // True to go on with the command that asks: nothing to save, the edits
    // were saved, or the user chose to discard them.
    bool askSaveChanges();

    bool newSound();
    // The Open dialog, then openPath.
    bool open();
    // Opens `path` in place of the current sound, after the save-changes
    // question; a file that cannot be read is reported and changes nothing.
    bool openPath(const QString& path);
    // The sound named at start: there is nothing to save yet, so nothing is
    // asked. Returns the message for a file that cannot be read (empty when
    // it was opened) instead of showing it, so that it can wait for the window.
    QString openAtStart(const QString& path);
    bool save();
    bool saveAs();
    // Writes the sound as it plays to a WAV, FLAC or Ogg Vorbis file, by the
    // chosen name's extension (the picked type's added to any other); the
    // document is untouched.
    bool exportSound();
    // The gain Export applies (none by default: the bytes as played).
    void setExportNormalization(const normalization::Normalization& n) { exportNormalization_ = n; }
    const normalization::Normalization& exportNormalization() const { return exportNormalization_; }
    // True when the window may close.
    bool close() { return askSaveChanges(); }

    // "Save changes to this file?", with the name below it when there is one.
    static QString saveChangesQuestion(const QString& title);
    // "Couldn't open file", a blank line, the file's name and the reason.
    static QString openFailure(const QString& path, const QString& reason);

    Prompts& prompts() { return prompts_; }
    RecentFiles& recentFiles() { return recent_; }

    FileDialogRequest openRequest() const;
    FileDialogRequest saveRequest() const;
    FileDialogRequest exportRequest() const;

private:
    // Writes the settings to `path`; on success the document becomes that file.
    bool writeDocument(const QString& path);
    // Reads `path` and makes it the document; the failure message, or empty.
    QString readDocument(const QString& path);
    void fileUsed(const QString& path, bool sound);
    // The chosen name, with the picked file type's extension added when its
    // own is none that `known` takes (asking before that replaces a file);
    // empty when cancelled.
    QString completedName(const FileDialogRequest& request, const SaveChoice& choice,
                          bool (*known)(const QString& path));

    SoundDocument& document_;
    Prompts& prompts_;
    RecentFiles& recent_;
    QString startDirectory_;
    QString lastFolder_;
    QString lastExportFolder_;  // apart from lastFolder_: exports go to a game's assets
    normalization::Normalization exportNormalization_;
    QString bankFolder_;
    // The name was made up from an old-style file's name, not chosen by the
    // user: a file already there must not be replaced without asking.
    bool derivedName_ = false;
};
