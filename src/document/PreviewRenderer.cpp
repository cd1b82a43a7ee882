#include "document/PreviewRenderer.h"

#include <algorithm>
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

uint64_t PreviewRenderer::request(const SoundSettings& settings, bool sameSizes, bool withTail) {
    uint64_t generation = 0;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        generation = ++wanted_;
        if (queued_) ++dropped_;  // never started
        queued_ = Job{generation, settings, sameSizes, withTail};
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
        if (result->hasMain) ++dropped_;  // a tail alone is no render of its own
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
        // A new size comes whole; a sound without a tail, or whose tail
        // nobody hears, is done.
        const bool done = !job.sameSizes || !job.withTail;
        if (!publish(job, render(job)) || done) continue;
        if (scratch_.rendered.sampleCount() > scratch_.rendered.lengthSamples()) renderTail(job);
    }
}

bool PreviewRenderer::publish(const Job& job, std::unique_ptr<Result> result) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (job.generation != wanted_) {
            if (result->hasMain) ++dropped_;
            return false;
        }
        if (result->hasTail && done_ && done_->generation == job.generation) {
            // The main part still waits to be taken: the tail goes with it.
            done_->tail = std::move(result->tail);
            done_->hasTail = true;
            return true;
        }
        if (done_ && done_->hasMain) ++dropped_;  // never taken
        done_ = std::move(result);
    }
    emit ready();
    return true;
}

bool PreviewRenderer::renderTail(const Job& job) {
    const int32_t end = scratch_.rendered.sampleCount();
    for (int32_t from = scratch_.rendered.lengthSamples(); from < end; from += kTailPiece) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (quit_ || queued_ || job.generation != wanted_) return false;
        }
        scratch_.renderTail(from, std::min(end, from + kTailPiece));
    }
    auto result = std::make_unique<Result>();
    result->generation = job.generation;
    result->settings = job.settings;
    result->tail = scratch_.rendered.tail();
    result->hasTail = true;
    return publish(job, std::move(result));
}

void PreviewRenderer::recycle(std::vector<uint8_t>&& buffer) {
    std::lock_guard<std::mutex> lock(mutex_);
    recycled_ = std::move(buffer);
}

void PreviewRenderer::handOver(Result& result) {
    std::vector<uint8_t> next;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        next.swap(recycled_);
    }
    if (next.size() != scratch_.rendered.dataSize()) next.assign(scratch_.rendered.dataSize(), 0);
    scratch_.rendered.swapSamples(next);
    result.samples = std::move(next);
}

std::unique_ptr<PreviewRenderer::Result> PreviewRenderer::render(const Job& job) {
    if (!scratchReady_) {
        scratch_.settings = job.settings;
        scratch_.prepareAll();
        scratchReady_ = true;
    } else {
        scratch_.apply(job.settings, false);
    }
    auto result = std::make_unique<Result>();
    result->generation = job.generation;
    result->settings = job.settings;
    result->hasMain = true;
    if (job.sameSizes) {
        scratch_.renderMainPart(&helper_, &phases_);
        // With a tail to follow the buffer stays here, for the tail.
        if (job.withTail)
            result->mainPart = scratch_.rendered.mainPart();
        else
            handOver(*result);
    } else {
        // New sizes: the whole sound at once, with its tail when it is
        // wanted; the buffer goes and the next render sizes a new one.
        if (job.withTail)
            scratch_.render(&helper_, &phases_);
        else
            scratch_.renderMainPart(&helper_, &phases_);
        result->whole = std::make_unique<RenderedSound>(std::move(scratch_.rendered));
        result->hasTail = job.withTail;
        scratch_.rendered = RenderedSound();
        scratchReady_ = false;
    }
    return result;
}
