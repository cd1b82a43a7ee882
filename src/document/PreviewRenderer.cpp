#include "document/PreviewRenderer.h"

#include <utility>

PreviewRenderer::PreviewRenderer(QObject* parent) : QObject(parent) {
    worker_ = std::thread([this] { run(); });
}

PreviewRenderer::~PreviewRenderer() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        quit_ = true;
    }
    wake_.notify_one();
    worker_.join();
}

uint64_t PreviewRenderer::request(const SoundSettings& settings, bool sameSizes) {
    uint64_t generation = 0;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        generation = ++wanted_;
        if (queued_) ++dropped_;  // never started
        queued_ = Job{generation, settings, sameSizes};
    }
    wake_.notify_one();
    return generation;
}

void PreviewRenderer::cancel() {
    std::lock_guard<std::mutex> lock(mutex_);
    ++wanted_;
    if (queued_) ++dropped_;
    queued_.reset();
    if (done_) ++dropped_;
    done_.reset();
}

uint64_t PreviewRenderer::wanted() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return wanted_;
}

int PreviewRenderer::dropped() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return dropped_;
}

std::unique_ptr<PreviewRenderer::Result> PreviewRenderer::take() {
    std::lock_guard<std::mutex> lock(mutex_);
    std::unique_ptr<Result> result = std::move(done_);
    // A request that came after the signal was sent makes this one stale.
    if (result && result->generation != wanted_) {
        ++dropped_;
        return nullptr;
    }
    return result;
}

void PreviewRenderer::run() {
    for (;;) {
        Job job;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            wake_.wait(lock, [this] { return quit_ || queued_.has_value(); });
            if (quit_) return;
            job = std::move(*queued_);
            queued_.reset();
        }
        std::unique_ptr<Result> result = render(job);
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (job.generation != wanted_) {
                ++dropped_;
                continue;
            }
            if (done_) ++dropped_;  // never taken
            done_ = std::move(result);
        }
        emit ready();
    }
}

std::unique_ptr<PreviewRenderer::Result> PreviewRenderer::render(const Job& job) {
    if (!scratchReady_) {
        scratch_.settings = job.settings;
        scratch_.prepareAll();
        scratchReady_ = true;
    } else {
        scratch_.apply(job.settings, false);
    }
    scratch_.renderMainPart();
    auto result = std::make_unique<Result>();
    result->generation = job.generation;
    result->settings = job.settings;
    if (job.sameSizes) {
        result->mainPart = scratch_.rendered.mainPart();
    } else {
        // The whole buffer goes; the next render sizes a new one.
        result->whole = std::make_unique<RenderedSound>(std::move(scratch_.rendered));
        scratch_.rendered = RenderedSound();
        scratchReady_ = false;
    }
    return result;
}
