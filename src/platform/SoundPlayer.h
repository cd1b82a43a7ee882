#pragma once

#include <cstdint>
#include <string>

class WavImage;

// Audio output. Both plays return at once and sound in the background; a new
// play stops the old sound first. Implementations never fail loudly: without
// a device they play nothing, and poll() says nothing plays.
class SoundPlayer {
public:
    // What poll() reports: whether a sound plays, which sample of the image's
    // data is being heard (counted from the image's start; a looping image
    // starts again at 0), and whether the sound ended since the last poll.
    struct Playback {
        bool playing = false;
        int64_t sample = 0;
        bool finished = false;
    };

    virtual ~SoundPlayer() = default;
    // Silences whatever is playing, at once.
    virtual void stop() = 0;
    // Plays a copy of this in-memory RIFF/WAVE image.
    virtual void playImage(const WavImage& image) = 0;
    // Puts this image in place of the one playing, without a break: the
    // sound goes on from the same sample of the new image (a looping image
    // from the same place in the loop). An image that ends before that
    // place ends the sound. Returns false, doing nothing, when nothing plays.
    virtual bool replaceImage(const WavImage& image) = 0;
    // Plays a WAV file from disk.
    virtual void playFile(const std::string& path) = 0;

    // Called often (a few dozen times a second) from the thread that plays:
    // where playback is, and the place where a looping image is kept going.
    virtual Playback poll() { return {}; }
    // When set, each image played repeats until stopped or replaced.
    virtual void setLoop(bool loop) { loop_ = loop; }
    bool loop() const { return loop_; }

private:
    bool loop_ = false;
};
