#pragma once

#include <QtGlobal>

#include <benchmark/benchmark.h>

// A benchmark program's main() around an application object of type App
// (QGuiApplication, QApplication), on the offscreen platform unless one is set.
template <typename App>
int runOffscreenBenchmarks(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    App app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
