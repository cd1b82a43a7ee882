#pragma once

#include <QString>

#include <functional>

class Prompts;
class SoundBank;
class SoundDocument;
struct SoundSettings;

// Rename, Delete, Duplicate and New Sound in Bank over the bank's files,
// asking through the prompts. Each returns the path the bank should select
// afterwards (empty when nothing changed). Nothing replaces a file; a
// failure is reported and changes nothing.
class BankFileCommands {
public:
    BankFileCommands(SoundBank& bank, SoundDocument& document, Prompts& prompts);

    // Asks the new name; one that exists is refused with the reason. The
    // open sound's file renamed is still the document's.
    QString rename(const QString& path);
    // Moves the file to the desktop trash after a question; where the
    // trash cannot be used, asks again before deleting it for good. The
    // entry after it is selected next.
    QString remove(const QString& path);
    // A copy beside it as NAME_2.zdl (the first number free).
    QString duplicate(const QString& path);
    // Asks a name and writes `settings` as that sound in the bank's folder.
    QString newSound(const SoundSettings& settings);

    // The trash: true when the file went there, else false with the reason.
    // QFile::moveToTrash unless replaced (tests).
    std::function<bool(const QString& path, QString& reason)> moveToTrash;

    static QString trashQuestion(const QString& name);

private:
    SoundBank& bank_;
    SoundDocument& document_;
    Prompts& prompts_;
};
