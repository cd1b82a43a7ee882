#pragma once

#include "core/WavImage.h"
#include "platform/SoundPlayer.h"

#include <string>
#include <vector>

// A SoundPlayer that remembers what it was asked to do instead of sounding:
// every call in order, and a copy of every image it was handed.
class RecordingPlayer : public SoundPlayer {
public:
    void stop() override {
        calls.push_back("stop");
        ++stops;
    }
    void playImage(const WavImage& image) override {
        calls.push_back("image");
        images.push_back(image.bytes());
        imageSizes.push_back(image.size());
        last = image;
    }
    // Replaces only while `state` says a sound plays, as a device would.
    bool replaceImage(const WavImage& image) override {
        calls.push_back("replace");
        if (!state.playing) return false;
        replacements.push_back(image.bytes());
        last = image;
        return true;
    }
    void playFile(const std::string& path) override {
        calls.push_back("file " + path);
        files.push_back(path);
    }

    // What the next poll() reports; a test moves it along as a device would.
    Playback poll() override {
        const Playback now = state;
        state.finished = false;
        return now;
    }

    int plays() const { return static_cast<int>(imageSizes.size()); }

    Playback state;

    std::vector<std::string> calls;
    std::vector<std::vector<uint8_t>> images;
    std::vector<std::vector<uint8_t>> replacements;  // the images that replaced a playing one
    int stops = 0;
    std::vector<size_t> imageSizes;
    std::vector<std::string> files;
    WavImage last;
};
