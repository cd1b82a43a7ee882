#pragma once

#include "bank/BankEntry.h"

#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

class BankReader;
class QFileSystemWatcher;
class QTimer;
class WavImage;

// The sound files (.zdl, .json, .efc) of one folder, in bank_order, followed
// on disk: files added, removed or renamed elsewhere show within a second,
// a file that changed is read again, and a folder that goes away or cannot
// be read leaves an empty list with the reason. The names are listed at
// once; each file is read in a worker thread (BankReader), so the entries
// start Pending and become Ready or Unreadable as their reads come back.
// What was read is kept by path, file time and size, so a file read once is
// not read again until it changes.
class SoundBank : public QObject {
    Q_OBJECT
public:
    explicit SoundBank(QObject* parent = nullptr);
    ~SoundBank() override;

    // Follows `folder` from now on (absolute or not). False, with problem()
    // saying why, when it is no folder or cannot be read.
    bool setFolder(const QString& folder);
    // Stops following any folder; the list is empty.
    void close();

    const QString& folder() const { return folder_; }  // absolute, empty for none
    // Why the folder shows nothing: it is gone, no folder or unreadable.
    const QString& problem() const { return problem_; }
    const std::vector<BankEntry>& entries() const { return entries_; }
    // The row of the file at `path`, or -1.
    int indexOf(const QString& path) const;
    // Entries still waiting for their read.
    int pendingCount() const;

    // Reads the folder again at once, as the watcher will soon after a change.
    void rescan();

    // Renders the sound at `path` in the background to be played; soundReady
    // follows unless another request comes first.
    void requestSound(const QString& path);

    // Whether a name is one of a bank's sound files, by its extension.
    static bool isSoundName(const QString& name);

signals:
    // The rows changed as a whole: a folder opened or closed, files came or went.
    void listChanged();
    // One entry's read came back (its row in entries()).
    void entryChanged(int row);
    // The sound asked for by requestSound, rendered as the player takes it.
    void soundReady(const QString& path, const WavImage& image);
    // The file asked for could not be read or rendered.
    void soundFailed(const QString& path, const QString& reason);
    // problem() changed.
    void problemChanged();

private:
    void takeResults();
    void setProblem(const QString& problem);
    void watchFiles();
    // A change seen by the watcher: rescan soon, once for a burst of them.
    void changeSeen();

    QString folder_;
    QString problem_;
    std::vector<BankEntry> entries_;
    // What each file was read as, with the stamp it was read at.
    QHash<QString, BankEntry> cache_;
    BankReader* reader_ = nullptr;
    QFileSystemWatcher* watcher_ = nullptr;
    QTimer* rescanTimer_ = nullptr;
    uint64_t soundTicket_ = 0;
    bool newFolder_ = false;  // the next scan announces the list whatever it holds
};
