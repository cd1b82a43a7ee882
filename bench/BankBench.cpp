// The sound bank in the editor window: a folder of 1,000 generated game
// sounds listed to the panel's first paint and until every duration and
// loudness is known; and Up or Down to sound, from the key to the player
// receiving the image, for the longest sound.

#include "bank/SoundBank.h"
#include "core/SoundRenderer.h"
#include "core/SoundTemplates.h"
#include "document/DocumentCommands.h"
#include "document/Prompts.h"
#include "document/RecentFiles.h"
#include "document/SoundDocument.h"
#include "platform/SoundPlayer.h"
#include "storage/SoundFile.h"
#include "ui/bank/BankPanel.h"
#include "ui/bank/BankView.h"
#include "ui/drawing/DrawingTools.h"
#include "ui/window/MainWindow.h"

#include <QApplication>
#include <QDir>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include "BenchWindow.h"
#include "OffscreenBenchMain.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <string>

namespace {

double nowMs() {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// Notes when an image arrives, as a device would take it.
class ClockPlayer : public SoundPlayer {
public:
    void stop() override {}
    void playImage(const WavImage& image) override {
        receivedAt = nowMs();
        bytes = image.size();
        ++plays;
    }
    bool replaceImage(const WavImage&) override { return false; }
    void playFile(const std::string&) override {}
    double receivedAt = 0;
    size_t bytes = 0;
    int plays = 0;
};

// Counts the paints of a widget.
class PaintCounter : public QObject {
public:
    int paints = 0;
    double firstAt = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint && paints++ == 0) firstAt = nowMs();
        return false;
    }
};

// A folder of `count` sounds from the templates in turn, each its own seed:
// the mix of lengths a game's set has.
void writeBank(const QString& folder, int count) {
    const std::vector<std::string>& names = sound_templates::names();
    const SoundSettings quality;
    for (int i = 0; i < count; ++i) {
        const std::string& name = names[static_cast<size_t>(i) % names.size()];
        const SoundSettings s = *sound_templates::generate(name, static_cast<uint64_t>(i) * 7919 + 1, quality);
        soundfile::write(QStringLiteral("%1/%2_%3.zdl").arg(folder, QString::fromStdString(name)).arg(i), s);
    }
}

struct BankWindow : BenchWindow<ClockPlayer> {
    BankWindow() : BenchWindow(QSize(1400, 900)) {}
};

// A fresh window each time (nothing cached): the time to the panel's first
// painted frame with the names, and (all_known_ms) until every entry is read.
void BM_ListBankOf1000(benchmark::State& state) {
    QTemporaryDir folder;
    writeBank(folder.path(), 1000);
    double allKnown = 0;
    for (auto _ : state) {
        BankWindow w;
        PaintCounter counter;
        w.window->bankPanel()->view()->viewport()->installEventFilter(&counter);
        const double t0 = nowMs();
        w.window->openFolder(folder.path());
        while (counter.paints == 0) QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        state.SetIterationTime((counter.firstAt - t0) / 1000.0);
        SoundBank& bank = w.window->bank();
        while (bank.pendingCount() > 0) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        allKnown += nowMs() - t0;
        w.window->bankPanel()->view()->viewport()->removeEventFilter(&counter);
    }
    state.counters["all_known_ms"] = allKnown / double(state.iterations());
    state.counters["sounds"] = 1000;
}
BENCHMARK(BM_ListBankOf1000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

// Down onto the longest sound from the key press to the player's image
// (read, rendered whole and built in the worker); render_ms is the render
// alone for comparison.
void BM_DownToSoundLongest(benchmark::State& state) {
    BankWindow w;
    QTemporaryDir folder;
    soundfile::write(folder.filePath(QStringLiteral("a.zdl")), SoundSettings());
    soundfile::write(folder.filePath(QStringLiteral("b.zdl")), longestSound());
    w.window->openFolder(folder.path());
    SoundBank& bank = w.window->bank();
    while (bank.pendingCount() > 0) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    BankView* view = w.window->bankPanel()->view();
    view->setFocus();
    w.window->bankPanel()->selectPath(QDir(folder.path()).filePath(QStringLiteral("a.zdl")));
    for (auto _ : state) {
        int before = w.player.plays;
        const double t0 = nowMs();
        QTest::keyClick(view, Qt::Key_Down);
        while (w.player.plays == before) QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        state.SetIterationTime((w.player.receivedAt - t0) / 1000.0);
        state.counters["image_bytes"] = double(w.player.bytes);
        before = w.player.plays;
        QTest::keyClick(view, Qt::Key_Up);  // back onto the short one, untimed
        while (w.player.plays == before) QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
    }
    const double r0 = nowMs();
    const RenderedSound r = sound_renderer::render(longestSound());
    benchmark::DoNotOptimize(r.samples().data());
    state.counters["render_ms"] = nowMs() - r0;
}
BENCHMARK(BM_DownToSoundLongest)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

int main(int argc, char** argv) { return runOffscreenBenchmarks<QApplication>(argc, argv); }
