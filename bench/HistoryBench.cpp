// The memory the undo history holds after 1,000 edits of a sound whose two
// curves have 65,536 points each: slider edits (the curves never change) and
// point moves (every step changes the amplitude curve).

#include "document/SoundDocument.h"
#include "ui/drawing/DrawingTools.h"
#include "ui/editor/Editor.h"

#include <QGuiApplication>

#include <malloc.h>

#include "OffscreenBenchMain.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

namespace {

constexpr int kPoints = 65536;
constexpr int kEdits = 1000;

// Bytes the allocator has handed out and not taken back (large blocks are
// mapped, so they count apart).
double heapBytes() {
    const struct mallinfo2 info = mallinfo2();
    return static_cast<double>(info.uordblks + info.hblkhd);
}

SoundSettings denseSound() {
    SoundSettings s;
    std::vector<float> times(kPoints);
    std::vector<float> amplitude(kPoints);
    std::vector<float> frequency(kPoints);
    for (int i = 0; i < kPoints; ++i) {
        times[size_t(i)] = static_cast<float>(i) / (kPoints - 1);
        amplitude[size_t(i)] = 0.5f + 0.25f * static_cast<float>(i % 7) / 7.0f;
        frequency[size_t(i)] = 0.3f + 0.4f * static_cast<float>(i % 11) / 11.0f;
    }
    s.amplitude.assign(times, amplitude);
    s.frequency.assign(times, frequency);
    return s;
}

// The document with the editor showing it, as in the window (without one).
struct DenseEditor {
    DenseEditor() : editor(document, tools) { document.load(denseSound()); }
    DrawingTools tools;
    SoundDocument document;
    Editor editor;
};

// `edit(document, i)` makes the i-th edit; the counters are the bytes the heap
// grew by over all the edits (what the history holds), per edit, and the
// history's own estimate.
template <typename Edit>
void measureHistory(benchmark::State& state, Edit edit) {
    double held = 0;
    double estimate = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto dense = std::make_unique<DenseEditor>();
        const double before = heapBytes();
        state.ResumeTiming();
        for (int i = 0; i < kEdits; ++i) edit(dense->document, i);
        state.PauseTiming();
        held = heapBytes() - before;
        estimate = static_cast<double>(dense->document.history().bytes());
        state.counters["steps"] = dense->document.history().count();
        dense.reset();
        state.ResumeTiming();
    }
    state.counters["history_MB"] = held / (1024.0 * 1024.0);
    state.counters["bytes_per_step"] = held / kEdits;
    // What the history itself counts (the figure its 64 MiB bound applies to).
    state.counters["estimate_MB"] = estimate / (1024.0 * 1024.0);
}

void BM_HistoryOfSliderEdits(benchmark::State& state) {
    measureHistory(state, [](SoundDocument& document, int i) {
        SoundSettings next = document.settings();
        next.distort = static_cast<float>(i + 1) / 2048.0f;
        document.commit(next, QStringLiteral("Distort"));
    });
}
BENCHMARK(BM_HistoryOfSliderEdits)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_HistoryOfPointMoves(benchmark::State& state) {
    measureHistory(state, [](SoundDocument& document, int i) {
        SoundSettings next = document.settings();
        next.amplitude.movePoint(kPoints / 2, next.amplitude.time(kPoints / 2), static_cast<float>(i % 97) / 97.0f);
        document.commit(next, QStringLiteral("Move Point"));
    });
}
BENCHMARK(BM_HistoryOfPointMoves)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv) { return runOffscreenBenchmarks<QGuiApplication>(argc, argv); }
