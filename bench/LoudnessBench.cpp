// Loudness and normalisation speed: the bank measures every sound it lists,
// and Export All measures each twice around its gain. The New sound, and the
// longest sound at 44100 Hz, 16 bit, once and repeated ten times.
#include "core/SoundModel.h"
#include "storage/Loudness.h"
#include "storage/Normalization.h"

#include <benchmark/benchmark.h>

namespace {

SoundModel sound(bool longest) {
    SoundModel m;
    m.settings.resetToNew();
    if (longest) {
        m.settings.length = 1.0f;
        m.settings.echoDelay = 1.0f;
        m.settings.echoVolume = 0.5f;
        m.settings.sampleRate = 44100;
        m.settings.bitsPerSample = 16;
    }
    m.applyAll();
    return m;
}

void BM_Measure(benchmark::State& state) {
    const SoundModel m = sound(state.range(0) != 0);
    const int repeats = int(state.range(1));
    for (auto _ : state) benchmark::DoNotOptimize(loudness::measure(m.rendered, repeats));
    state.counters["samples"] = double(m.rendered.sampleCount()) * repeats;
}

void BM_ApplyGain(benchmark::State& state) {
    SoundModel m = sound(true);
    for (auto _ : state) normalization::apply(m.rendered, 0.0);
    state.counters["samples"] = double(m.rendered.sampleCount());
}

}  // namespace

BENCHMARK(BM_Measure)->Args({0, 1})->Args({1, 1})->Args({1, 10})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ApplyGain)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
