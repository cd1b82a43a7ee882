#pragma once

#include <QString>

// What ties the one open sound to a file: its path, its name and whether it
// was edited since the last New, Open or save. The window caption is derived
// from it alone.
class DocumentState {
public:
    static inline const QString kProgramName = QStringLiteral("Zindle");

    const QString& path() const { return path_; }
    // The file name without its directory; empty exactly when there is no file.
    const QString& title() const { return title_; }
    bool modified() const { return modified_; }
    bool hasFile() const { return !title_.isEmpty(); }

    // Names the document after a full path (the name is its last component).
    void setFile(const QString& path);
    void setFile(const QString& path, const QString& title);
    // No file (a new sound).
    void clearFile();

    // Sets the flag; true when it was not set before, i.e. the caption must change.
    bool markModified();
    void clearModified() { modified_ = false; }

    // "Zindle", "Zindle - boom.zdl", with " *" appended while modified.
    QString windowTitle() const;

private:
    QString path_;
    QString title_;
    bool modified_ = false;
};
