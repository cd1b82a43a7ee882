#pragma once

#include <string>

class WavImage;

// Audio output. Both plays return at once and sound in the background; a new
// play stops the old sound first. Implementations never fail loudly: without
// a device they play nothing.
class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    // Silences whatever is playing, at once.
    virtual void stop() = 0;
    // Plays a copy of this in-memory RIFF/WAVE image.
    virtual void playImage(const WavImage& image) = 0;
    // Plays a WAV file from disk.
    virtual void playFile(const std::string& path) = 0;
};
