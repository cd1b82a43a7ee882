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

TEST(PlaybackDevice, PlayOnChangeSendsTheNewSoundToTheDevice) {
    const std::string path = ::testing::TempDir() + "zindle-play-on-change.raw";
    std::remove(path.c_str());
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", path.c_str(), 1);
    std::vector<uint8_t> square;
    bool reached = false;
    {
        DrawingTools tools;
        auto player = std::make_unique<SdlPlayer>();
        ASSERT_TRUE(player->available());
        QTemporaryDir dir;
        QSettings settings(dir.filePath(QStringLiteral("zindle.ini")), QSettings::IniFormat);
        RecentFiles recent(settings);
        ScriptedPrompts prompts;
        auto document = std::make_unique<SoundDocument>();
        DocumentCommands commands(*document, prompts, recent, dir.path());
        auto window = std::make_unique<MainWindow>(*document, commands, recent, settings, *player, tools);
        window->show();
        window->resize(1000, 760);
        QCoreApplication::processEvents();
        window->menu().playOnChangeAction->setChecked(true);
        const QRect square6 = window->editor().waveformGroup().button(6).rect();
        QTest::mouseClick(window->canvas(), Qt::LeftButton, {}, square6.center());
        ASSERT_EQ(document->settings().waveform, 200);
        // The middle of the sound: the start may follow a buffer of silence.
        const std::vector<uint8_t>& samples = document->rendered().samples();
        square.assign(samples.begin() + 1000, samples.begin() + 1400);
        reached = QTest::qWaitFor([&] { return fileHolds(path, square); }, 5000);
        window.reset();  // stops the player before the sound goes
        document.reset();
        player.reset();  // closes the device: the file stops growing
    }
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    std::remove(path.c_str());
    EXPECT_TRUE(reached) << "the Square never reached the device";
}

// A drag with live preview while the sound plays: the device goes on with
// the new sound from the place it was at, with no restart.
TEST(PlaybackDevice, ADragWhileItPlaysSendsTheNewSoundFromTheSamePlace) {
    const std::string path = ::testing::TempDir() + "zindle-drag-while-playing.raw";
    std::remove(path.c_str());
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", path.c_str(), 1);
    bool reached = false;
    {
        DrawingTools tools;
        auto player = std::make_unique<SdlPlayer>();
        ASSERT_TRUE(player->available());
        QTemporaryDir dir;
        QSettings settings(dir.filePath(QStringLiteral("zindle.ini")), QSettings::IniFormat);
        RecentFiles recent(settings);
        ScriptedPrompts prompts;
        auto document = std::make_unique<SoundDocument>();
        SoundSettings longer = document->settings();
        longer.length = 0.6f;  // 3.6 s: it plays on through the drag
        document->load(longer);
        DocumentCommands commands(*document, prompts, recent, dir.path());
        auto window = std::make_unique<MainWindow>(*document, commands, recent, settings, *player, tools);
        window->show();
        window->resize(1000, 760);
        QCoreApplication::processEvents();
        window->menu().livePreviewAction->setChecked(true);
        const std::vector<uint8_t> before = document->rendered().samples();
        QTest::keyClick(window.get(), Qt::Key_Space);
        QTest::qWait(200);
        const QPoint point = gestures::pointPos(window->editor().amplitudeGraph(), 2);
        const int renders = document->renderCount();
        QTest::mousePress(window->canvas(), Qt::LeftButton, {}, point);
        QTest::mouseMove(window->canvas(), point + QPoint(0, 25));
        const bool shown = QTest::qWaitFor([&] { return document->renderCount() > renders; }, 5000);
        const int64_t at = player->poll().sample;
        // A stretch of the new sound a little after the place it was put in
        // at, where it differs from the old one.
        const std::vector<uint8_t>& samples = document->rendered().samples();
        std::vector<uint8_t> ahead;
        for (size_t from = size_t(at) + 4000; shown && ahead.empty() && from + 400 < before.size(); from += 400) {
            if (std::equal(before.begin() + long(from), before.begin() + long(from + 400),
                           samples.begin() + long(from)))
                continue;
            ahead.assign(samples.begin() + long(from), samples.begin() + long(from + 400));
        }
        ASSERT_FALSE(ahead.empty()) << "the drag changed nothing ahead " << at << " " << before.size() << " " << shown
                                    << " " << document->renderCount() << " " << window->editor().isDragging();
        reached = !ahead.empty() && QTest::qWaitFor([&] { return fileHolds(path, ahead); }, 5000);
        QTest::mouseRelease(window->canvas(), Qt::LeftButton, {}, point + QPoint(0, 25));
        window.reset();  // stops the player before the sound goes
        document.reset();
        player.reset();  // closes the device: the file stops growing
    }
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    std::remove(path.c_str());
    EXPECT_TRUE(reached) << "the dragged sound never reached the device from its place";
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
