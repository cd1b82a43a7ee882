#pragma once

#include "core/RenderHelper.h"

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

// The preview worker's second thread: it waits for work and runs one piece
// at a time, so that a render's helper costs no thread start.
class RenderHelperThread : public RenderHelper {
public:
    RenderHelperThread();
    ~RenderHelperThread() override;  // waits for the work in progress
    RenderHelperThread(const RenderHelperThread&) = delete;
    RenderHelperThread& operator=(const RenderHelperThread&) = delete;

    void start(std::function<void()> work) override;
    void wait() override;

private:
    void run();

    std::mutex mutex_;
    std::condition_variable changed_;
    std::function<void()> work_;
    bool busy_ = false;
    bool quit_ = false;
    std::thread thread_;
};
