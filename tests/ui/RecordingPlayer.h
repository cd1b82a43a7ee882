#pragma once

#include "SoundPlayer.h"
#include "WavImage.h"

#include <string>
#include <vector>

// A SoundPlayer that remembers what it was asked to do instead of sounding.
class RecordingPlayer : public SoundPlayer {
public:
    void stop() override { ++stops; }
    void playImage(const WavImage& image) override {
        imageSizes.push_back(image.size());
        last = image;
    }
    void playFile(const std::string& path) override { files.push_back(path); }

    int plays() const { return static_cast<int>(imageSizes.size()); }

    int stops = 0;
    std::vector<size_t> imageSizes;
    std::vector<std::string> files;
    WavImage last;
};
