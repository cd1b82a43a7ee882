#pragma once

#include <QFile>
#include <QString>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <mutex>
#include <thread>

// A named pipe for tests of code that must not open it. Opening it would
// block until the other end is opened, so that such a test would hang: after
// the deadline this opens the other end itself, drains what was written and
// closes it, so the blocked code goes on (with an empty read or a broken
// pipe) and the test fails instead of hanging. `opened()` then says so.
class GuardedFifo {
public:
    explicit GuardedFifo(const QString& path, std::chrono::seconds deadline = std::chrono::seconds(10))
        : path_(QFile::encodeName(path)) {
        ok_ = ::mkfifo(path_.constData(), 0644) == 0;
        // A writer whose reader went away gets EPIPE instead of ending the test.
        std::signal(SIGPIPE, SIG_IGN);
        if (ok_) watchdog_ = std::thread([this, deadline] { watch(deadline); });
    }
    ~GuardedFifo() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            done_ = true;
        }
        wake_.notify_all();
        if (watchdog_.joinable()) watchdog_.join();
    }
    GuardedFifo(const GuardedFifo&) = delete;
    GuardedFifo& operator=(const GuardedFifo&) = delete;

    bool ok() const { return ok_; }
    // True once the deadline passed with the pipe still wanted.
    bool opened() const { return opened_; }

private:
    void watch(std::chrono::seconds deadline) {
        std::unique_lock<std::mutex> lock(mutex_);
        if (wake_.wait_for(lock, deadline, [this] { return done_; })) return;
        opened_ = true;
        // Read and write at once: this never blocks, and frees whoever waits on either end.
        const int fd = ::open(path_.constData(), O_RDWR | O_NONBLOCK);
        if (fd < 0) return;
        char buffer[4096];
        const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(500);
        while (std::chrono::steady_clock::now() < until) {
            if (::read(fd, buffer, sizeof buffer) <= 0) std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        ::close(fd);
    }

    QByteArray path_;
    bool ok_ = false;
    std::atomic<bool> opened_{false};
    std::mutex mutex_;
    std::condition_variable wake_;
    bool done_ = false;
    std::thread watchdog_;
};
