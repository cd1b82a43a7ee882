#pragma once

#include "core/PhaseMemory.h"
#include "core/RenderedSound.h"
#include "core/SoundModel.h"
#include "core/SoundSettings.h"
#include "document/RenderHelperThread.h"

#include <QObject>

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

// Renders live previews in a thread of its own, so that a drag never waits
// for a render. It holds a queue of one: a request replaces any not yet
// started, and a render finished for anything but the newest request (or
// after cancel()) is dropped. Each result comes back on the owner's thread
// through a queued signal and is handed out once by take(). The main part
// comes first, for the plot; the echo tail follows in a second result while
// no newer request waits, so that what plays has its tail too.
class PreviewRenderer : public QObject {
    Q_OBJECT
public:
    // One render's outcome: the main part's bytes when the request said the
    // buffer keeps its sizes, else the whole buffer with its tail; and then
    // (in the same result when it was not yet taken) the tail's bytes.
    struct Result {
        uint64_t generation = 0;
        SoundSettings settings;
        std::vector<uint8_t> mainPart;
        // Or, when no tail follows, the worker's whole buffer with the main
        // part rendered (the rest as it was): taken without a copy, and the
        // receiver's old buffer goes back through recycle().
        std::vector<uint8_t> samples;
        std::unique_ptr<RenderedSound> whole;
        bool hasMain = false;
        std::vector<uint8_t> tail;
        bool hasTail = false;
    };
    // The tail is rendered in pieces of this many samples, looking for a
    // newer request between them.
    static constexpr int32_t kTailPiece = 32768;

    explicit PreviewRenderer(QObject* parent = nullptr);
    ~PreviewRenderer() override;  // waits for a render in progress

    // Asks for the main part of `settings`; `sameSizes` when the receiver's
    // buffer already has the sizes they give; `withTail` when the echo tail
    // is wanted too (something plays it). Returns the request's number.
    uint64_t request(const SoundSettings& settings, bool sameSizes, bool withTail = true);
    // No request is wanted any more: whatever is queued or rendering is dropped.
    void cancel();
    // The newest request's number (0 before any).
    uint64_t wanted() const;

    // The result of the newest request, once `ready` came; none when it was
    // dropped meanwhile.
    std::unique_ptr<Result> take();

    // Renders dropped because a newer request or a cancel came first (a tail
    // given up on is none).
    int dropped() const;

    // A buffer a result's samples replaced, for the worker to render into
    // next (sparing it an allocation).
    void recycle(std::vector<uint8_t>&& buffer);

signals:
    // A result may be waiting (emitted from the worker, queued to the owner).
    void ready();

private:
    struct Job {
        uint64_t generation = 0;
        SoundSettings settings;
        bool sameSizes = false;
        bool withTail = true;
    };
    void run();
    std::unique_ptr<Result> render(const Job& job);
    // The tail of the job just rendered; false when a newer request or the
    // end came first.
    bool renderTail(const Job& job);
    // Hands a result over unless a newer request came; true when it did.
    bool publish(const Job& job, std::unique_ptr<Result> result);
    // Moves the scratch buffer into `result`, giving the scratch a recycled
    // one of the same size (or a new one).
    void handOver(Result& result);

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::optional<Job> queued_;
    std::unique_ptr<Result> done_;
    std::vector<uint8_t> recycled_;
    uint64_t wanted_ = 0;
    int dropped_ = 0;
    bool quit_ = false;

    // Only the worker touches these. The helper takes the frequency curve's
    // share of each render, on the second core the interface leaves idle
    // while it waits for the frame; the memory spares a drag the phases its
    // edit leaves as they were.
    SoundModel scratch_;
    bool scratchReady_ = false;
    RenderHelperThread helper_;
    sample_render::PhaseMemory phases_;

    std::thread worker_;
};
