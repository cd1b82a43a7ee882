#pragma once

#include "SoundPlayer.h"
#include "WavImage.h"

#include <string>
#include <vector>

// Remembers every call, in order, and a copy of every image it was handed.
class RecordingPlayer : public SoundPlayer {
public:
    void stop() override { calls.push_back("stop"); }
    void playImage(const WavImage& image) override {
        calls.push_back("image");
        images.push_back(image.bytes());
    }
    void playFile(const std::string& path) override { calls.push_back("file " + path); }

    std::vector<std::string> calls;
    std::vector<std::vector<uint8_t>> images;
};
