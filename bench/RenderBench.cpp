// Render speed: the real renderer against the plain reference, on the sounds
// that matter for editing (the New sound, and the longest sound at 44100 Hz,
// 16 bit, with and without a pitch sweep, with noise, and with an echo only 44
// samples back, which must be rendered strictly in order).
#include "ReferenceRenderer.h"
#include "core/PhaseMemory.h"
#include "core/SoundModel.h"
#include "document/RenderHelperThread.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <ctime>
#include <vector>

namespace {

enum Sound { NewSound, LongestConstant, LongestSweep, LongestNoise, LongestShortEcho };

void setUp(SoundModel& m, Sound sound) {
    m.settings.resetToNew();
    if (sound != NewSound) {
        m.settings.length = 1.0f;
        m.settings.echoDelay = 1.0f;
        m.settings.echoVolume = 0.5f;
        m.settings.sampleRate = 44100;
        m.settings.bitsPerSample = 16;
    }
    if (sound == LongestSweep) {
        m.settings.distort = 0.3f;
        m.settings.frequency.fromText("0:10 20:90 40:20 60:80 80:30 100:70");
    }
    if (sound == LongestNoise) m.settings.waveform = 405;
    if (sound == LongestShortEcho) m.settings.echoDelay = 0.0001f;
    m.applyAll();
}

void report(benchmark::State& state, const SoundModel& m) {
    const double samples = m.rendered.sampleCount();
    state.counters["samples"] = samples;
    // Time per sample (printed as e.g. 1.2n, seconds).
    state.counters["per_sample"] =
        benchmark::Counter(samples, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    // Seconds of sound rendered per second of work.
    state.counters["realtime_x"] =
        benchmark::Counter(double(m.rendered.totalMs()) * 0.001, benchmark::Counter::kIsIterationInvariantRate);
}

void BM_Render(benchmark::State& state) {
    SoundModel m;
    setUp(m, Sound(state.range(0)));
    for (auto _ : state) {
        m.render();
        benchmark::DoNotOptimize(m.rendered.samples().data());
    }
    report(state, m);
}

// The main part alone, as a live-preview step renders it. help: 0 none,
// 1 the preview worker's helper thread, 2 that and the phases of the render
// before (a step of an amplitude drag, which leaves them as they were).
void BM_RenderMainPart(benchmark::State& state) {
    SoundModel m;
    setUp(m, Sound(state.range(0)));
    RenderHelperThread helper;
    sample_render::PhaseMemory memory;
    const int64_t help = state.range(1);
    for (auto _ : state) {
        m.renderMainPart(help >= 1 ? &helper : nullptr, help == 2 ? &memory : nullptr);
        benchmark::DoNotOptimize(m.rendered.samples().data());
    }
    state.counters["samples"] = m.rendered.lengthSamples();
}

void BM_RenderPlain(benchmark::State& state) {
    SoundModel m;
    setUp(m, Sound(state.range(0)));
    const SoundSettings& s = m.settings;
    for (auto _ : state) {
        auto out = referenceRender(m.table, s.amplitude, s.frequency, s.echoVolume, s.echoDelay, s.distort,
                                   s.sampleRate, s.bitsPerSample, m.rendered.lengthMs(), m.rendered.totalMs());
        benchmark::DoNotOptimize(out.data());
    }
    report(state, m);
}

// CPU time of this thread, in seconds: the machine is shared, so wall time
// would charge the renders with other work.
double threadSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[v.size() / 2];
}

// The plain reference over the real renderer, each iteration rendering the
// sound with both in turn so that both see the same load; the ratio of their
// median times is the counter plain_over_fast.
void BM_PlainOverFast(benchmark::State& state) {
    SoundModel m;
    setUp(m, Sound(state.range(0)));
    const SoundSettings& s = m.settings;
    std::vector<double> fast, plain;
    for (auto _ : state) {
        const double t0 = threadSeconds();
        m.render();
        benchmark::DoNotOptimize(m.rendered.samples().data());
        const double t1 = threadSeconds();
        auto out = referenceRender(m.table, s.amplitude, s.frequency, s.echoVolume, s.echoDelay, s.distort,
                                   s.sampleRate, s.bitsPerSample, m.rendered.lengthMs(), m.rendered.totalMs());
        benchmark::DoNotOptimize(out.data());
        const double t2 = threadSeconds();
        fast.push_back(t1 - t0);
        plain.push_back(t2 - t1);
    }
    state.counters["fast_ms"] = median(fast) * 1e3;
    state.counters["plain_ms"] = median(plain) * 1e3;
    state.counters["plain_over_fast"] = median(plain) / median(fast);
}

void sounds(benchmark::internal::Benchmark* b) {
    b->ArgName("sound");
    for (int s : {NewSound, LongestConstant, LongestSweep, LongestNoise, LongestShortEcho}) b->Arg(s);
    b->Unit(benchmark::kMillisecond);
}

}  // namespace

// sound: 0 New, 1 longest at constant pitch, 2 longest swept with Distort 0.3, 3 longest Noise 6,
// 4 longest with an echo 44 samples back (so barely longer than its main part).
BENCHMARK(BM_Render)->Apply(sounds)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_RenderMainPart)
    ->ArgNames({"sound", "help"})
    ->ArgsProduct({{NewSound, LongestConstant, LongestSweep, LongestNoise, LongestShortEcho}, {0, 1, 2}})
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_RenderPlain)->Apply(sounds)->Repetitions(3)->ReportAggregatesOnly(true);
BENCHMARK(BM_PlainOverFast)->ArgName("sound")->Arg(LongestConstant)->Arg(LongestSweep)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
