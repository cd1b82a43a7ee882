#include "bank/SoundBank.h"

#include "bank/BankReader.h"
#include "storage/NameOrder.h"
#include "storage/SoundFolder.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QSet>
#include <QTimer>

#include <algorithm>

namespace {

// Long enough to take a burst of changes (a copy of many files, a save's
// temporary file and rename) as one, short enough to show within a second.
constexpr int kRescanDelayMs = 150;

FileStamp stampOf(const QFileInfo& info) { return {info.lastModified().toMSecsSinceEpoch(), info.size()}; }

}  // namespace

SoundBank::SoundBank(QObject* parent)
    : QObject(parent),
      reader_(new BankReader(this)),
      watcher_(new QFileSystemWatcher(this)),
      rescanTimer_(new QTimer(this)) {
    connect(reader_, &BankReader::ready, this, &SoundBank::takeResults);
    rescanTimer_->setSingleShot(true);
    rescanTimer_->setInterval(kRescanDelayMs);
    connect(rescanTimer_, &QTimer::timeout, this, &SoundBank::rescan);
    connect(watcher_, &QFileSystemWatcher::directoryChanged, this, &SoundBank::changeSeen);
    connect(watcher_, &QFileSystemWatcher::fileChanged, this, &SoundBank::changeSeen);
}

SoundBank::~SoundBank() = default;

bool SoundBank::isSoundName(const QString& name) { return soundfolder::isSoundName(name); }

bool SoundBank::setFolder(const QString& folder) {
    close();
    folder_ = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    newFolder_ = true;
    rescan();
    return problem_.isEmpty();
}

void SoundBank::close() {
    reader_->clear();
    rescanTimer_->stop();
    const QStringList watched = watcher_->files() + watcher_->directories();
    if (!watched.isEmpty()) watcher_->removePaths(watched);
    folder_.clear();
    cache_.clear();
    ++soundTicket_;  // a sound asked for from the old folder is not wanted
    entries_.clear();
    emit listChanged();
    setProblem(QString());
}

int SoundBank::indexOf(const QString& path) const {
    for (size_t i = 0; i < entries_.size(); ++i) {
        if (entries_[i].path == path) return static_cast<int>(i);
    }
    return -1;
}

int SoundBank::pendingCount() const {
    return static_cast<int>(std::count_if(entries_.begin(), entries_.end(),
                                          [](const BankEntry& e) { return e.state == BankEntry::State::Pending; }));
}

void SoundBank::changeSeen() {
    if (!rescanTimer_->isActive()) rescanTimer_->start();
}

void SoundBank::setProblem(const QString& problem) {
    if (problem == problem_) return;
    problem_ = problem;
    emit problemChanged();
}

void SoundBank::rescan() {
    if (folder_.isEmpty()) return;
    const QFileInfo info(folder_);
    QString problem;
    if (!info.exists())
        problem = tr("The folder is not there (any more): %1").arg(QDir::toNativeSeparators(folder_));
    else if (!info.isDir())
        problem = tr("This is a file, not a folder: %1").arg(QDir::toNativeSeparators(folder_));
    else if (!info.isReadable() || !info.isExecutable())
        problem = tr("The folder cannot be read (permission denied): %1").arg(QDir::toNativeSeparators(folder_));
    if (!problem.isEmpty()) {
        reader_->clear();
        const bool announce = !entries_.empty() || newFolder_;
        newFolder_ = false;
        entries_.clear();
        cache_.clear();
        setProblem(problem);
        if (announce) emit listChanged();
        return;
    }

    // System entries too: a named pipe or a dangling link with a sound's
    // name is listed with the reason it cannot be read.
    QFileInfoList files = QDir(folder_).entryInfoList(QDir::Files | QDir::System | QDir::Hidden, QDir::NoSort);
    files.erase(
        std::remove_if(files.begin(), files.end(), [](const QFileInfo& f) { return !isSoundName(f.fileName()); }),
        files.end());
    std::sort(files.begin(), files.end(),
              [](const QFileInfo& a, const QFileInfo& b) { return name_order::lessThan(a.fileName(), b.fileName()); });

    QHash<QString, const BankEntry*> before;
    for (const BankEntry& e : entries_) before.insert(e.path, &e);
    std::vector<BankEntry> next;
    next.reserve(static_cast<size_t>(files.size()));
    QHash<QString, BankEntry> keep;
    bool sameNames = files.size() == static_cast<qsizetype>(entries_.size());
    for (const QFileInfo& file : files) {
        BankEntry entry;
        entry.name = file.fileName();
        entry.path = QDir::cleanPath(file.absoluteFilePath());
        entry.stamp = stampOf(file);
        if (sameNames && entries_[next.size()].path != entry.path) sameNames = false;
        const auto cached = cache_.constFind(entry.path);
        const auto old = before.constFind(entry.path);
        if (cached != cache_.constEnd() && cached->stamp == entry.stamp) {
            entry = *cached;
            entry.name = file.fileName();
        } else if (old != before.constEnd() && (*old)->stamp == entry.stamp) {
            entry = **old;  // still being read
        } else {
            reader_->read(entry.path, entry.stamp);
        }
        if (entry.state != BankEntry::State::Pending) keep.insert(entry.path, entry);
        next.push_back(std::move(entry));
    }
    // Only files still listed stay cached.
    cache_ = std::move(keep);

    std::vector<int> changed;
    if (sameNames) {
        for (size_t i = 0; i < next.size(); ++i) {
            if (next[i].stamp != entries_[i].stamp || next[i].state != entries_[i].state)
                changed.push_back(static_cast<int>(i));
        }
    }
    entries_ = std::move(next);
    setProblem(QString());
    watchFiles();
    const bool announce = !sameNames || newFolder_;
    newFolder_ = false;
    if (announce)
        emit listChanged();
    else
        for (int row : changed) emit entryChanged(row);
}

void SoundBank::watchFiles() {
    QSet<QString> wanted;
    for (const BankEntry& e : entries_) wanted.insert(e.path);
    QStringList gone;
    for (const QString& path : watcher_->files()) {
        if (!wanted.remove(path)) gone << path;
    }
    if (!gone.isEmpty()) watcher_->removePaths(gone);
    QStringList added(wanted.begin(), wanted.end());
    if (!watcher_->directories().contains(folder_)) added << folder_;
    // A path the system will not watch (out of watches) only loses the
    // news of in-place edits; the folder's own watch still sees the rest.
    if (!added.isEmpty()) watcher_->addPaths(added);
}

void SoundBank::requestSound(const QString& path) { reader_->play(path, ++soundTicket_); }

void SoundBank::takeResults() {
    for (BankReader::Result& result : reader_->take()) {
        if (result.play) {
            if (result.ticket != soundTicket_) continue;  // a newer one was asked for
            if (result.ok)
                emit soundReady(result.path, result.image);
            else
                emit soundFailed(result.path, result.reason);
            continue;
        }
        const int row = indexOf(result.path);
        if (row < 0) continue;
        BankEntry& entry = entries_[static_cast<size_t>(row)];
        // A read of an older version of the file: the newer one is on its way.
        if (entry.stamp != result.stamp) continue;
        entry.state = result.ok ? BankEntry::State::Ready : BankEntry::State::Unreadable;
        entry.reason = result.reason;
        entry.durationMs = result.durationMs;
        entry.sampleCount = result.sampleCount;
        entry.peakDb = result.peakDb;
        entry.loudnessLufs = result.loudnessLufs;
        cache_.insert(entry.path, entry);
        emit entryChanged(row);
    }
}
