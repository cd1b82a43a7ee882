#include "core/SoundModel.h"
#include "core/WavImage.h"
#include "platform/SdlPlayer.h"

#include <gtest/gtest.h>

#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <thread>

namespace {

std::vector<uint8_t> readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Where `pattern` first occurs in `bytes`, or -1.
long find(const std::vector<uint8_t>& bytes, const std::vector<uint8_t>& pattern, size_t from = 0) {
    const auto it = std::search(bytes.begin() + long(from), bytes.end(), pattern.begin(), pattern.end());
    return it == bytes.end() ? -1 : long(it - bytes.begin());
}

// What the editor does on Play: stop, then the sound as it stands, repeatCount
// times. False when there was nothing to play.
bool play(SdlPlayer& player, const SoundModel& m) {
    player.stop();
    const WavImage image = m.rendered.wavImage(m.settings.repeatCount);
    if (image.empty()) return false;
    player.playImage(image);
    return true;
}

void waitUntilDrained(const SdlPlayer& player) {
    for (int i = 0; i < 500 && player.queuedBytes() > 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));  // the last buffer
}

// SDL's disk driver writes exactly what is played to a file.
class DiskPlayback : public ::testing::Test {
protected:
    void SetUp() override {
        path_ = ::testing::TempDir() + "zindle-disk-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".raw";
        std::remove(path_.c_str());
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", path_.c_str(), 1);
    }
    void TearDown() override {
        unsetenv("SDL_DISKAUDIODELAY");
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        std::remove(path_.c_str());
    }
    std::string path_;
};

}  // namespace

TEST_F(DiskPlayback, PlaysTheRepeatedSamplesExactlyAndInOrder) {
    setenv("SDL_DISKAUDIODELAY", "0", 1);
    std::vector<uint8_t> samples;
    {
        SdlPlayer player;
        ASSERT_TRUE(player.available());
        SoundModel m;
        m.newSound();
        samples = m.rendered.samples();
        m.settings.repeatCount = 3;
        ASSERT_TRUE(play(player, m));
        waitUntilDrained(player);
    }
    const std::vector<uint8_t> out = readAll(path_);
    const long start = find(out, samples);
    ASSERT_GE(start, 0) << "the sound never reached the device";
    ASSERT_GE(out.size(), size_t(start) + 3 * samples.size());
    for (int r = 0; r < 3; ++r)
        EXPECT_TRUE(std::equal(samples.begin(), samples.end(), out.begin() + start + r * long(samples.size()))) << r;
    // Before and after it: silence only.
    EXPECT_TRUE(std::all_of(out.begin(), out.begin() + start, [](uint8_t b) { return b == 128; }));
    EXPECT_TRUE(
        std::all_of(out.begin() + start + 3 * long(samples.size()), out.end(), [](uint8_t b) { return b == 128; }));
}

TEST_F(DiskPlayback, ASecondPlayStopsTheFirstAndStartsFromItsBeginning) {
    // In real time: the first sound (4 s) is still playing when the second starts.
    std::vector<uint8_t> first, second;
    {
        SdlPlayer player;
        ASSERT_TRUE(player.available());
        SoundModel m;
        m.newSound();
        first = m.rendered.samples();
        m.settings.repeatCount = 10;
        play(player, m);
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
        m.settings.waveform = 200;
        m.apply(m.settings, true);
        second = m.rendered.samples();
        m.settings.repeatCount = 1;
        play(player, m);
        waitUntilDrained(player);
    }
    const std::vector<uint8_t> out = readAll(path_);
    const long start = find(out, second);
    ASSERT_GE(start, 0) << "the second sound never reached the device";
    EXPECT_LT(start, long(2 * first.size())) << "the first sound went on too long";
    // Nothing of the first after the second began.
    const std::vector<uint8_t> firstTail(first.begin() + 1, first.begin() + 200);
    EXPECT_EQ(find(out, firstTail, size_t(start)), -1);
    EXPECT_TRUE(std::all_of(out.begin() + start + long(second.size()), out.end(), [](uint8_t b) { return b == 128; }));
}

TEST_F(DiskPlayback, SixteenBitImagesReopenTheDeviceInTheirFormat) {
    setenv("SDL_DISKAUDIODELAY", "0", 1);
    std::vector<uint8_t> samples;
    {
        SdlPlayer player;
        SoundModel m;
        m.newSound();
        play(player, m);
        waitUntilDrained(player);
        m.settings.bitsPerSample = 16;
        m.apply(m.settings, true);
        samples = m.rendered.samples();
        play(player, m);
        waitUntilDrained(player);
    }
    EXPECT_GE(find(readAll(path_), samples), 0);
}

TEST(SdlPlayer, WithoutAudioEverythingStillWorksAfterOneWarning) {
    setenv("SDL_AUDIODRIVER", "nonexistent", 1);
    ::testing::internal::CaptureStderr();
    {
        SdlPlayer player;
        EXPECT_FALSE(player.available());
        SoundModel m;
        m.newSound();
        EXPECT_TRUE(play(player, m));  // the image is built; nothing sounds
        play(player, m);
        player.playFile("/nonexistent/About.wav");
        player.stop();
        EXPECT_EQ(player.queuedBytes(), 0u);
    }
    const std::string err = ::testing::internal::GetCapturedStderr();
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    EXPECT_NE(err.find("sounds will not play"), std::string::npos) << err;
    EXPECT_EQ(err.find("sounds will not play"), err.rfind("sounds will not play")) << "more than one warning: " << err;
}

TEST(SdlPlayer, PlaysAWavFileAndIgnoresOnesItCannotRead) {
    const std::string dir = ::testing::TempDir();
    SoundModel m;
    m.newSound();
    const WavImage image = WavImage::build(m.rendered.header(), m.rendered.samples().data(), m.rendered.dataSize(), 1);
    {
        std::ofstream(dir + "zindle-ok.wav", std::ios::binary)
            .write(reinterpret_cast<const char*>(image.data()), std::streamsize(image.size()));
        std::ofstream(dir + "zindle-bad.wav", std::ios::binary) << "RIFF not really";
    }
    setenv("SDL_AUDIODRIVER", "dummy", 1);  // plays in real time
    SdlPlayer player;
    ASSERT_TRUE(player.available());
    player.playFile(dir + "zindle-bad.wav");
    EXPECT_EQ(player.queuedBytes(), 0u);
    player.playFile(dir + "zindle-ok.wav");
    EXPECT_GT(player.queuedBytes(), 0u);
    player.stop();
    EXPECT_EQ(player.queuedBytes(), 0u);
}

namespace {

// A sound of `ms` at 11025 Hz, 8 bit, as the image play would hand over.
WavImage shortImage(float lengthPosition) {
    SoundModel m;
    m.newSound();
    m.settings.length = lengthPosition;
    m.apply(m.settings, true);
    return WavImage::build(m.rendered.header(), m.rendered.samples().data(), m.rendered.dataSize(), 1);
}

// Polls for up to `ms`, collecting what the player reports.
std::vector<SoundPlayer::Playback> pollFor(SoundPlayer& player, int ms) {
    std::vector<SoundPlayer::Playback> seen;
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < end) {
        seen.push_back(player.poll());
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return seen;
}

}  // namespace

// In real time (the dummy driver drains as a device would): the position
// runs forward through the image, the end is noticed once, and a loop keeps
// going with its position starting again.
TEST(SdlPlayer, ReportsThePositionTheEndAndKeepsALoopGoing) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    const WavImage image = shortImage(0.1f);  // 100 ms: 1102 samples
    const int64_t samples = int64_t(image.dataSize());
    for (const bool loop : {false, true}) {
        SCOPED_TRACE(loop ? "loop" : "once");
        SdlPlayer player;
        ASSERT_TRUE(player.available());
        player.setLoop(loop);
        player.playImage(image);
        const std::vector<SoundPlayer::Playback> seen = pollFor(player, 400);
        player.stop();
        int finished = 0, wraps = 0;
        int64_t previous = -1;
        for (const SoundPlayer::Playback& p : seen) {
            finished += p.finished ? 1 : 0;
            if (!p.playing) continue;
            EXPECT_GE(p.sample, 0);
            EXPECT_LT(p.sample, samples);
            if (p.sample < previous) ++wraps;
            previous = p.sample;
        }
        if (loop) {
            EXPECT_EQ(finished, 0);
            EXPECT_GE(wraps, 2) << "a 100 ms loop comes round several times in 400 ms";
            EXPECT_TRUE(seen.back().playing);
        } else {
            EXPECT_EQ(finished, 1);
            EXPECT_EQ(wraps, 0);
            EXPECT_FALSE(seen.back().playing);
        }
        EXPECT_FALSE(player.poll().playing) << "stop ends it";
    }
}

TEST(SdlPlayer, WithoutADeviceNothingEverPlays) {
    setenv("SDL_AUDIODRIVER", "nonexistent", 1);
    ::testing::internal::CaptureStderr();
    {
        SdlPlayer player;
        player.setLoop(true);
        player.playImage(shortImage(0.1f));
        const SoundPlayer::Playback now = player.poll();
        EXPECT_FALSE(now.playing);
        EXPECT_FALSE(now.finished);
    }
    ::testing::internal::GetCapturedStderr();
    setenv("SDL_AUDIODRIVER", "dummy", 1);
}

// In real time: a second image put in place of a playing one goes on from
// the same sample, with nothing lost or repeated at the seam, for a single
// sound and for a loop; one too short for the place ends the sound.
TEST_F(DiskPlayback, AReplacedImageGoesOnFromTheSamePlace) {
    for (const bool loop : {false, true}) {
        SCOPED_TRACE(loop ? "loop" : "once");
        std::remove(path_.c_str());
        SoundModel m;
        m.newSound();
        m.settings.length = 0.45f;  // about two seconds with the echo
        m.apply(m.settings, true);
        const std::vector<uint8_t> first = m.rendered.samples();
        const WavImage firstImage = m.rendered.wavImage(1);
        m.settings.waveform = 300;
        m.apply(m.settings, true);
        const std::vector<uint8_t> second = m.rendered.samples();
        ASSERT_EQ(second.size(), first.size());
        int64_t before = 0, after = 0;
        bool replaced = false, idleReplace = true, shortEnds = false;
        {
            SdlPlayer player;
            ASSERT_TRUE(player.available());
            idleReplace = player.replaceImage(firstImage);
            player.setLoop(loop);
            player.playImage(firstImage);
            std::this_thread::sleep_for(std::chrono::milliseconds(250));
            before = player.poll().sample;
            replaced = player.replaceImage(m.rendered.wavImage(1));
            after = player.poll().sample;
            if (!loop) {
                waitUntilDrained(player);
                // Played to its end, then a sound shorter than any place.
                player.playImage(firstImage);
                std::this_thread::sleep_for(std::chrono::milliseconds(250));
                player.replaceImage(shortImage(0.01f));
                shortEnds = !player.poll().playing;
            } else {
                // Past the end of the image, so that the loop came round.
                std::this_thread::sleep_for(std::chrono::milliseconds(long(first.size()) * 1000 / 11025));
                player.stop();
            }
        }  // the device closes: the file stops growing
        EXPECT_FALSE(idleReplace) << "nothing played";
        ASSERT_TRUE(replaced);
        EXPECT_GT(before, 0);
        EXPECT_GE(after, before);
        EXPECT_LT(after, before + 1024) << "the place moved on";
        const std::vector<uint8_t> out = readAll(path_);
        const std::vector<uint8_t> opening(first.begin(), first.begin() + 400);
        const long start = find(out, opening);
        ASSERT_GE(start, 0) << "the first sound never reached the device";
        // The seam: the first sound up to it, the second from there on.
        size_t seam = 0;
        while (seam < first.size() && size_t(start) + seam < out.size() && out[size_t(start) + seam] == first[seam])
            ++seam;
        EXPECT_GT(seam, 0u);
        EXPECT_LT(seam, first.size()) << "the first sound played to its end";
        const size_t rest = loop ? first.size() - seam : second.size() - seam;
        ASSERT_GE(out.size(), size_t(start) + seam + rest);
        EXPECT_TRUE(std::equal(second.begin() + long(seam), second.begin() + long(seam + rest),
                               out.begin() + start + long(seam)))
            << "the second sound from the same place, at " << seam;
        if (!loop) {
            EXPECT_TRUE(shortEnds) << "a sound that ended before the place ends";
        }
    }
}
