#pragma once

#include "bank/BankEntry.h"
#include "core/SoundSettings.h"
#include "core/WavImage.h"

#include <QObject>
#include <QString>

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

// Reads and renders a bank's files in a thread of its own, so that the
// interface never waits for a file or a render. Reads are done in the order
// asked; a sound asked for to play goes before all of them. Results come
// back on the owner's thread through the queued signal `ready` and are
// handed out by take().
class BankReader : public QObject {
    Q_OBJECT
public:
    struct Result {
        QString path;
        FileStamp stamp;
        bool ok = false;
        QString reason;  // !ok
        double durationMs = 0;
        int32_t sampleCount = 0;
        double peakDb = 0;
        double loudnessLufs = 0;
        // A play request's: the sound as the player takes it, and its ticket.
        bool play = false;
        uint64_t ticket = 0;
        WavImage image;
    };

    explicit BankReader(QObject* parent = nullptr);
    ~BankReader() override;  // waits for the file in hand

    // Reads and renders `path` for the listing: its duration, sample count and loudness.
    void read(const QString& path, const FileStamp& stamp);
    // Reads and renders `path` to be played, ahead of every read; a newer
    // play request replaces one not yet started.
    void play(const QString& path, uint64_t ticket);
    // Drops every read not yet started (the folder changed).
    void clear();

    std::vector<Result> take();

    // The sound a file holds, measured, and with `image` rendered as it plays.
    static Result readFile(const QString& path, bool image);

signals:
    // Results are waiting (emitted from the worker, queued to the owner).
    void ready();

private:
    struct Job {
        QString path;
        FileStamp stamp;
        bool play = false;
        uint64_t ticket = 0;
    };
    void run();

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<Job> reads_;
    std::deque<Job> plays_;  // at most one
    std::vector<Result> done_;
    bool signalled_ = false;  // a ready() not yet answered by take()
    bool quit_ = false;
    std::thread worker_;
};
