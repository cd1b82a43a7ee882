#pragma once

#include "storage/ExportAll.h"

#include <QString>

#include <functional>
#include <optional>

class DocumentCommands;

// What Export All asks for: the folder whose sounds go, and where and how.
struct ExportAllChoice {
    QString sourceFolder;
    exportall::Options options;
};

// The Export All dialog; tests answer from a script.
class ExportAllAsker {
public:
    virtual ~ExportAllAsker() = default;
    // The user's choice, starting from `proposed`; nothing when cancelled.
    virtual std::optional<ExportAllChoice> ask(const ExportAllChoice& proposed) = 0;
};

// The progress shown while the sounds are written; tests cancel from a script.
class ExportProgress {
public:
    virtual ~ExportProgress() = default;
    // As exportall::Progress: false once the user has cancelled.
    virtual bool advance(int done, int total, const QString& source) = 0;
};

// File > Export All: asks, exports every sound of a folder through the
// export engine, and names whatever failed (or was cancelled) through the
// document commands' prompts. The choices are proposed again next time.
class ExportAllCommand {
public:
    explicit ExportAllCommand(DocumentCommands& commands);

    // The folder proposed as the source: the sound bank's once there is one,
    // else the open sound's folder (DocumentCommands::dialogDirectory).
    std::function<QString()> sourceFolder;

    // True when every sound was written; false when cancelled at either step
    // or when anything failed.
    bool run(ExportAllAsker& asker, ExportProgress& progress);

    // What the last run did, for the caller to show or test.
    const exportall::Summary& lastSummary() const { return summary_; }

private:
    DocumentCommands& commands_;
    std::optional<ExportAllChoice> last_;
    exportall::Summary summary_;
};
