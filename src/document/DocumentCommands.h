#pragma once

#include "Prompts.h"

#include <QString>

#include <functional>

class DocumentState;
class SoundModel;
struct SoundSettings;

// New, Open, Save, Save As, Export WAV and the close request for the one
// open sound, with the save-changes question that guards whatever would
// discard edits. Each command returns true when it went through; a command
// that returns false has changed nothing (apart from a file the user asked
// to be saved on the way).
class DocumentCommands {
public:
    // `startDirectory` is where the file dialogs open.
    DocumentCommands(SoundModel& model, DocumentState& document, Prompts& prompts, QString startDirectory);

    // The one load path: replaces the whole sound (New, Open) and refreshes
    // everything that shows it. Unset, the model alone is brought in line.
    std::function<void(const SoundSettings&)> loadSettings;
    // The document was written: the edit history's clean state moves here.
    std::function<void()> onSaved;
    // The caption must be rewritten from the document state.
    std::function<void()> onTitleChanged;

    // True to go on with the command that asks: nothing to save, the edits
    // were saved, or the user chose to discard them.
    bool askSaveChanges();

    bool newSound();
    bool open();
    bool save();
    bool saveAs();
    // Writes the sound as it plays to a WAV file; the document is untouched.
    bool exportWav();
    // True when the window may close.
    bool close() { return askSaveChanges(); }

    // "Save changes to this file?", with the name below it when there is one.
    static QString saveChangesQuestion(const QString& title);

    FileDialogRequest openRequest() const;
    FileDialogRequest saveRequest() const;
    FileDialogRequest exportRequest() const;

private:
    // Writes the settings to `path`; on success the document becomes that file.
    bool writeDocument(const QString& path);
    void load(const SoundSettings& settings);
    void titleChanged();

    SoundModel& model_;
    DocumentState& document_;
    Prompts& prompts_;
    QString startDirectory_;
    // The name was made up from an old-style file's name, not chosen by the
    // user: a file already there must not be replaced without asking.
    bool derivedName_ = false;
};
