#pragma once

#include "platform/SoundPlayer.h"

#include <cstdint>
#include <string>
#include <vector>

// Plays WAV images through SDL's audio subsystem (no SDL window). The device
// is opened in the image's own format, SDL converts for the hardware, and it
// stays open between sounds: closing it blocks for a few buffers, while
// clearing its queue stops a sound at once. Without a usable device every
// play does nothing, after one warning on stderr.
class SdlPlayer : public SoundPlayer {
public:
    SdlPlayer();
    ~SdlPlayer() override;
    SdlPlayer(const SdlPlayer&) = delete;
    SdlPlayer& operator=(const SdlPlayer&) = delete;

    void stop() override;
    void playImage(const WavImage& image) override;
    bool replaceImage(const WavImage& image) override;
    void playFile(const std::string& path) override;
    Playback poll() override;

    // False when the audio subsystem could not be started.
    bool available() const { return initialised_; }
    // Bytes still waiting to be played (0 without a device).
    uint32_t queuedBytes() const;

private:
    bool openFor(int rate, int bits);
    void warnOnce(const char* what);
    bool queueCopy();
    // Whether the image is one the device can play (8 or 16 bit, a rate, data).
    static bool playable(const WavImage& image);
    // Where playback is in playing_, in bytes (0 without a sound).
    uint64_t playedBytes() const;

    // The image now playing: its samples (kept for a loop), their width, and
    // how many bytes of it were handed to SDL in all.
    std::vector<uint8_t> playing_;
    int bytesPerSample_ = 1;
    uint64_t queuedTotal_ = 0;
    bool active_ = false;

    bool initialised_ = false;
    bool warned_ = false;
    uint32_t device_ = 0;
    int deviceRate_ = 0;
    int deviceBits_ = 0;
};
