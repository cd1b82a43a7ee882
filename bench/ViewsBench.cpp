// Drawing costs of the views at the largest window (client 2000 x 2000).
#include "core/Envelope.h"
#include "core/SoundModel.h"
#include "ui/drawing/DrawingTools.h"
#include "ui/drawing/ViewImage.h"
#include "ui/views/EnvelopeGraph.h"
#include "ui/views/OutputView.h"

#include <QGuiApplication>

#include "OffscreenBenchMain.h"

#include <benchmark/benchmark.h>

namespace {

constexpr int kClient = 2000;
constexpr int kGraph = (kClient - 68) / 3;  // height of each graph

// One step of a point drag: move the point, recompose the graph, copy it into
// the back buffer. This runs on every mouse move while a point is held.
void BM_PointDragStep(benchmark::State& state) {
    DrawingTools tools;
    Envelope envelope(EnvelopeKind::Amplitude);
    EnvelopeGraph graph(envelope, tools);
    graph.setRect(8, 20, kClient - 256, kGraph + 20);
    QImage back = view_image::create(kClient, kClient, 1.0);
    graph.draw(441000, 44100);
    const int y = 20 + 16 + (kGraph - 32) / 4;
    const int x = 8 + 40 + static_cast<int>((kClient - 256 - 8 - 56) * 0.4);
    graph.press(x, y);
    int step = 0;
    for (auto _ : state) {
        graph.move(x + (step & 7) * 3, y + (step & 3) * 5);
        view_image::copyTo(back, graph.rect(), graph.image());
        ++step;
    }
    benchmark::DoNotOptimize(back.constBits());
}
BENCHMARK(BM_PointDragStep)->Unit(benchmark::kMillisecond);

// The output plot of the longest main part: 10 s at 44100 Hz, 16 bit, with
// the longest echo tail behind it (not drawn, but allocated and rendered).
void BM_OutputPlotLongest(benchmark::State& state) {
    DrawingTools tools;
    SoundModel model;
    model.settings.length = 1.0f;
    model.settings.echoDelay = 1.0f;
    model.settings.echoVolume = 0.5f;
    model.settings.sampleRate = 44100;
    model.settings.bitsPerSample = 16;
    model.applyAll();
    OutputView view(model.rendered, tools);
    view.setRect(8, 2 * kGraph + 60, kClient - 256, 3 * kGraph + 60);
    for (auto _ : state) {
        view.draw();
        benchmark::DoNotOptimize(view.image().constBits());
    }
    state.counters["samples"] = model.rendered.lengthSamples();
}
BENCHMARK(BM_OutputPlotLongest)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return runOffscreenBenchmarks<QGuiApplication>(argc, argv); }
