// Play on change through the real SDL player: the sound a button makes
// reaches the device. SDL's disk driver writes what is played to a file, and
// keeps writing while the device is open, so the test is bounded in time and
// closes the device as soon as it has seen the sound.

#include "Gestures.h"
#include "ScriptedPrompts.h"
#include "document/DocumentCommands.h"
#include "document/RecentFiles.h"
#include "document/SoundDocument.h"
#include "platform/SdlPlayer.h"
#include "ui/drawing/DrawingTools.h"
#include "ui/window/EditorCanvas.h"
#include "ui/window/MainWindow.h"
#include "ui/window/MainWindowMenu.h"

#include <QAction>
#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>

namespace {

bool fileHolds(const std::string& path, const std::vector<uint8_t>& pattern) {
    std::ifstream in(path, std::ios::binary);
    const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    return std::search(bytes.begin(), bytes.end(), pattern.begin(), pattern.end()) != bytes.end();
}

// The editor on SDL's disk driver, writing what it plays to `path`. It
// closes the device when it goes (the file stops growing) and puts the dummy
// driver back, so a test that stops half-way leaves no device behind.
struct DiskWindow {
    explicit DiskWindow(const char* name, const SoundSettings* start = nullptr)
        : path(::testing::TempDir() + name), environment(path) {
        player = std::make_unique<SdlPlayer>();
        document = std::make_unique<SoundDocument>();
        if (start) document->load(*start);
        commands = std::make_unique<DocumentCommands>(*document, prompts, recent, dir.path());
        window = std::make_unique<MainWindow>(*document, *commands, recent, settings, *player, tools);
        window->show();
        window->resize(1000, 760);
        QCoreApplication::processEvents();
    }
    ~DiskWindow() {
        window.reset();  // stops the player before the sound goes
        commands.reset();
        document.reset();
        player.reset();  // closes the device: the file stops growing
    }

    struct Environment {
        explicit Environment(const std::string& file) : file(file) {
            std::remove(file.c_str());
            setenv("SDL_AUDIODRIVER", "disk", 1);
            setenv("SDL_DISKAUDIOFILE", file.c_str(), 1);
        }
        ~Environment() {
            setenv("SDL_AUDIODRIVER", "dummy", 1);
            std::remove(file.c_str());
        }
        std::string file;
    };

    std::string path;
    Environment environment;  // before the player, which reads it
    DrawingTools tools;
    QTemporaryDir dir;
    QSettings settings{dir.filePath(QStringLiteral("zindle.ini")), QSettings::IniFormat};
    RecentFiles recent{settings};
    ScriptedPrompts prompts;
    std::unique_ptr<SdlPlayer> player;
    std::unique_ptr<SoundDocument> document;
    std::unique_ptr<DocumentCommands> commands;
    std::unique_ptr<MainWindow> window;
};

TEST(PlaybackDevice, PlayOnChangeSendsTheNewSoundToTheDevice) {
    DiskWindow w("zindle-play-on-change.raw");
    ASSERT_TRUE(w.player->available());
    w.window->menu().playOnChangeAction->setChecked(true);
    const QRect square6 = w.window->editor().waveformGroup().button(6).rect();
    QTest::mouseClick(w.window->canvas(), Qt::LeftButton, {}, square6.center());
    ASSERT_EQ(w.document->settings().waveform, 200);
    // The middle of the sound: the start may follow a buffer of silence.
    const std::vector<uint8_t>& samples = w.document->rendered().samples();
    const std::vector<uint8_t> square(samples.begin() + 1000, samples.begin() + 1400);
    EXPECT_TRUE(QTest::qWaitFor([&] { return fileHolds(w.path, square); }, 5000))
        << "the Square never reached the device";
}

// A drag with live preview while the sound plays: the device goes on with
// the new sound from the place it was at, with no restart.
TEST(PlaybackDevice, ADragWhileItPlaysSendsTheNewSoundFromTheSamePlace) {
    SoundSettings longer = SoundDocument().settings();
    longer.length = 0.6f;  // 3.6 s: it plays on through the drag
    DiskWindow w("zindle-drag-while-playing.raw", &longer);
    ASSERT_TRUE(w.player->available());
    SoundDocument& document = *w.document;
    w.window->menu().livePreviewAction->setChecked(true);
    const std::vector<uint8_t> before = document.rendered().samples();
    QTest::keyClick(w.window.get(), Qt::Key_Space);
    QTest::qWait(200);  // lets it play a while before the drag
    const QPoint point = gestures::pointPos(w.window->editor().amplitudeGraph(), 2);
    const int renders = document.renderCount();
    QTest::mousePress(w.window->canvas(), Qt::LeftButton, {}, point);
    QTest::mouseMove(w.window->canvas(), point + QPoint(0, 25));
    const bool shown = QTest::qWaitFor([&] { return document.renderCount() > renders; }, 5000);
    const int64_t at = w.player->poll().sample;
    // A stretch of the new sound a little after the place it was put in
    // at, where it differs from the old one.
    const std::vector<uint8_t>& samples = document.rendered().samples();
    std::vector<uint8_t> ahead;
    for (size_t from = size_t(at) + 4000; shown && ahead.empty() && from + 400 < before.size(); from += 400) {
        if (std::equal(before.begin() + long(from), before.begin() + long(from + 400), samples.begin() + long(from)))
            continue;
        ahead.assign(samples.begin() + long(from), samples.begin() + long(from + 400));
    }
    ASSERT_FALSE(ahead.empty()) << "the drag changed nothing ahead " << at << " " << before.size() << " " << shown
                                << " " << document.renderCount() << " " << w.window->editor().isDragging();
    const bool reached = QTest::qWaitFor([&] { return fileHolds(w.path, ahead); }, 5000);
    QTest::mouseRelease(w.window->canvas(), Qt::LeftButton, {}, point + QPoint(0, 25));
    EXPECT_TRUE(reached) << "the dragged sound never reached the device from its place";
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
