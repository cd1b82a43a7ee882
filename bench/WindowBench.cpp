// The main window at its largest with the longest sound: a full redraw, a
// size change, and the time from process start to the first painted frame.

#include "document/DocumentCommands.h"
#include "document/Prompts.h"
#include "document/RecentFiles.h"
#include "document/SoundDocument.h"
#include "platform/SoundPlayer.h"
#include "ui/drawing/DrawingTools.h"
#include "ui/window/EditorCanvas.h"
#include "ui/window/MainWindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

class NoPlayer : public SoundPlayer {
public:
    void stop() override {}
    void playImage(const WavImage&) override {}
    void playFile(const std::string&) override {}
};

// Nothing here asks: every question is cancelled.
class NoPrompts : public Prompts {
public:
    Answer question(const QString&) override { return Answer::Cancel; }
    bool confirm(const QString&, const QString&) override { return false; }
    QString openFileName(const FileDialogRequest&) override { return QString(); }
    SaveChoice saveFile(const FileDialogRequest&) override { return {}; }
    void error(const QString&) override {}
};

// The editor window at 2000 x 2000 holding the longest sound: 10 s main part,
// full echo delay (40 s in all), 44100 Hz, 16 bit.
struct LargestWindow {
    LargestWindow()
        : settings(dir.filePath(QStringLiteral("zindle.ini")), QSettings::IniFormat),
          recent(settings),
          commands(document, prompts, recent, dir.path()) {
        SoundSettings s = document.settings();
        s.length = 1.0f;
        s.echoDelay = 1.0f;
        s.echoVolume = 0.5f;
        s.sampleRate = 44100;
        s.bitsPerSample = 16;
        document.load(s);
        window = std::make_unique<MainWindow>(document, commands, recent, settings, player, tools);
        window->resize(MainWindow::kMaxSize, MainWindow::kMaxSize);
        window->show();
        [[maybe_unused]] const bool exposed = QTest::qWaitForWindowExposed(window.get());
        QCoreApplication::processEvents();
    }

    QTemporaryDir dir;
    DrawingTools tools;
    NoPlayer player;
    NoPrompts prompts;
    SoundDocument document;
    QSettings settings;
    RecentFiles recent;
    DocumentCommands commands;
    std::unique_ptr<MainWindow> window;
};

void BM_RedrawAllLargestWindow(benchmark::State& state) {
    LargestWindow w;
    Editor& editor = w.window->editor();
    for (auto _ : state) {
        editor.redrawAll();
        benchmark::DoNotOptimize(editor.backBuffer().image().constBits());
    }
    state.counters["client_w"] = editor.layout().client.width();
    state.counters["client_h"] = editor.layout().client.height();
    state.counters["samples"] = w.document.rendered().lengthSamples();
}
BENCHMARK(BM_RedrawAllLargestWindow)->Unit(benchmark::kMillisecond);

// The size change: every view placed again, its image recreated and drawn.
void BM_RelayoutLargestWindow(benchmark::State& state) {
    LargestWindow w;
    Editor& editor = w.window->editor();
    const QSize client = editor.layout().client;
    for (auto _ : state) {
        editor.relayout(client, 1.0);
        benchmark::DoNotOptimize(editor.backBuffer().image().constBits());
    }
}
BENCHMARK(BM_RelayoutLargestWindow)->Unit(benchmark::kMillisecond);

// One edit at the largest window: a waveform button press renders the
// longest sound once and replots it.
void BM_WaveformButtonLargestWindow(benchmark::State& state) {
    LargestWindow w;
    EditorCanvas* canvas = w.window->canvas();
    Editor& editor = w.window->editor();
    const QPoint square = editor.waveformGroup().button(6).rect().center();
    for (auto _ : state) QTest::mouseClick(canvas, Qt::LeftButton, {}, square);
}
BENCHMARK(BM_WaveformButtonLargestWindow)->Unit(benchmark::kMillisecond);

// One live-preview step at the largest window: a point moved, the sound
// rendered, the output plot drawn and copied to the screen. (a) the longest
// sound at constant pitch, (b) the longest sound swept on every segment with
// Distort 0.3, as in the render benchmark.
void BM_LivePreviewStepLargestWindow(benchmark::State& state) {
    LargestWindow w;
    if (state.range(0) == 1) {
        SoundSettings s = w.document.settings();
        s.distort = 0.3f;
        s.frequency.fromText("0:10 20:90 40:20 60:80 80:30 100:70");
        w.document.load(s);
    }
    Editor& editor = w.window->editor();
    editor.setLivePreview(true);
    EditorCanvas* canvas = w.window->canvas();
    const QRect r = editor.amplitudeGraph().rect();
    const Envelope& e = editor.amplitudeGraph().envelope();
    const QPoint point(r.left() + 40 + static_cast<int>((r.width() - 56) * e.time(2)),
                       r.top() + 16 + static_cast<int>((r.height() - 32) * (1.0 - e.value(2))));
    QTest::mousePress(canvas, Qt::LeftButton, {}, point);
    int step = 0;
    const int renders = editor.renderCount();
    for (auto _ : state) {
        // Up and down by a few pixels, so every move changes the value.
        QTest::mouseMove(canvas, point + QPoint(0, (step++ % 2) ? 6 : -6));
        QCoreApplication::processEvents();  // the coalesced preview runs here
    }
    QTest::mouseRelease(canvas, Qt::LeftButton, {}, point);
    state.counters["renders_per_step"] =
        benchmark::Counter(double(editor.renderCount() - renders - 1), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_LivePreviewStepLargestWindow)->Arg(0)->Arg(1)->ArgNames({"swept"})->Unit(benchmark::kMillisecond);

// Process start to first frame, under a real X server (Xvfb): the editor
// prints the figure itself and quits (ZINDLE_EXIT_AFTER_FIRST_PAINT=1).
void BM_StartupToFirstPaint(benchmark::State& state) {
    const QProcessEnvironment parent = QProcessEnvironment::systemEnvironment();
    if (!parent.contains(QStringLiteral("DISPLAY"))) {
        state.SkipWithError("needs DISPLAY (e.g. Xvfb :99)");
        return;
    }
    QProcessEnvironment env = parent;
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.insert(QStringLiteral("ZINDLE_EXIT_AFTER_FIRST_PAINT"), QStringLiteral("1"));
    env.insert(QStringLiteral("SDL_AUDIODRIVER"), QStringLiteral("dummy"));
    double reportedTotal = 0;
    int runs = 0;
    for (auto _ : state) {
        QProcess editor;
        editor.setProcessEnvironment(env);
        editor.start(QStringLiteral(ZINDLE_EDITOR_PATH), {});
        if (!editor.waitForFinished(10000) || editor.exitCode() != 0) {
            state.SkipWithError("the editor did not start and quit");
            return;
        }
        // "first paint: N ms after process start"
        const QByteArray line = editor.readAllStandardOutput();
        const qsizetype colon = line.indexOf(':');
        reportedTotal += line.mid(colon + 1).trimmed().split(' ').value(0).toDouble();
        ++runs;
    }
    if (runs > 0) state.counters["first_paint_ms"] = reportedTotal / runs;
}
BENCHMARK(BM_StartupToFirstPaint)->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
