#include "document/RenderHelperThread.h"

#include <utility>

RenderHelperThread::RenderHelperThread() {
    thread_ = std::thread([this] { run(); });
}

RenderHelperThread::~RenderHelperThread() {
    {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [this] { return !busy_; });
        quit_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

void RenderHelperThread::start(std::function<void()> work) {
    {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [this] { return !busy_; });
        work_ = std::move(work);
        busy_ = true;
    }
    changed_.notify_all();
}

void RenderHelperThread::wait() {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return !busy_; });
}

void RenderHelperThread::run() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return quit_ || busy_; });
        if (quit_) return;
        std::function<void()> work = std::move(work_);
        lock.unlock();
        work();
        lock.lock();
        busy_ = false;
        changed_.notify_all();
    }
}
