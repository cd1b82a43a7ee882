#include "platform/SdlPlayer.h"

#include "core/WavImage.h"

#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

SdlPlayer::SdlPlayer() {
    // Otherwise SDL takes over SIGINT and SIGTERM and the editor could not be
    // stopped from a terminal.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) == 0)
        initialised_ = true;
    else
        warnOnce("audio could not be started");
}

SdlPlayer::~SdlPlayer() {
    if (device_ != 0) SDL_CloseAudioDevice(device_);
    if (initialised_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void SdlPlayer::warnOnce(const char* what) {
    if (warned_) return;
    warned_ = true;
    std::fprintf(stderr, "zindle: %s (%s); sounds will not play\n", what, SDL_GetError());
}

bool SdlPlayer::openFor(int rate, int bits) {
    if (!initialised_) return false;
    if (device_ != 0 && rate == deviceRate_ && bits == deviceBits_) return true;
    if (device_ != 0) {
        SDL_CloseAudioDevice(device_);
        device_ = 0;
    }
    SDL_AudioSpec want{};
    want.freq = rate;
    want.format = bits == 16 ? AUDIO_S16LSB : AUDIO_U8;
    want.channels = 1;
    want.samples = 512;  // short buffers: a click plays at once
    SDL_AudioSpec have{};
    device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (device_ == 0) {
        warnOnce("no audio device could be opened");
        return false;
    }
    deviceRate_ = rate;
    deviceBits_ = bits;
    SDL_PauseAudioDevice(device_, 0);
    return true;
}

void SdlPlayer::stop() {
    if (device_ != 0) SDL_ClearQueuedAudio(device_);
    active_ = false;
    playing_.clear();
    queuedTotal_ = 0;
}

bool SdlPlayer::queueCopy() {
    if (SDL_QueueAudio(device_, playing_.data(), static_cast<uint32_t>(playing_.size())) != 0) {
        warnOnce("a sound could not be queued");
        return false;
    }
    queuedTotal_ += playing_.size();
    return true;
}

bool SdlPlayer::playable(const WavImage& image) {
    if (image.empty()) return false;
    const int bits = image.bitsPerSample();
    const uint32_t size = image.dataSize();
    return (bits == 8 || bits == 16) && image.sampleRate() > 0 && size > 0 &&
           size <= image.size() - WavImage::kHeaderSize;
}

void SdlPlayer::playImage(const WavImage& image) {
    stop();
    if (!playable(image)) return;
    const int bits = image.bitsPerSample();
    if (!openFor(static_cast<int>(image.sampleRate()), bits)) return;
    playing_.assign(image.sampleData(), image.sampleData() + image.dataSize());
    bytesPerSample_ = bits / 8;
    // A loop keeps a second copy queued, so that poll() has a whole image's
    // time to add the next one.
    active_ = queueCopy() && (!loop() || queueCopy());
}

uint64_t SdlPlayer::playedBytes() const {
    if (device_ == 0 || playing_.empty()) return 0;
    const uint64_t queued = SDL_GetQueuedAudioSize(device_);
    return (queuedTotal_ - std::min(queued, queuedTotal_)) % playing_.size();
}

bool SdlPlayer::replaceImage(const WavImage& image) {
    if (!active_ || device_ == 0 || playing_.empty()) return false;
    if (!playable(image)) {
        stop();
        return true;
    }
    const int bits = image.bitsPerSample();
    const int rate = static_cast<int>(image.sampleRate());
    // The device's lock keeps its callback out between the clear and the
    // queue: no buffer in between finds the queue empty.
    SDL_LockAudioDevice(device_);
    uint64_t sample = playedBytes() / uint64_t(bytesPerSample_);
    if (rate != deviceRate_ || bits != deviceBits_) {
        // Another format needs another device; the place is kept in time.
        sample = sample * uint64_t(rate) / uint64_t(deviceRate_);
        SDL_UnlockAudioDevice(device_);
        if (!openFor(rate, bits)) {
            stop();
            return true;
        }
        SDL_LockAudioDevice(device_);
    }
    SDL_ClearQueuedAudio(device_);
    playing_.assign(image.sampleData(), image.sampleData() + image.dataSize());
    bytesPerSample_ = bits / 8;
    uint64_t offset = sample * uint64_t(bytesPerSample_);
    if (offset >= playing_.size()) offset = loop() ? offset % playing_.size() : playing_.size();
    // Counted as if the new image had played from its start: poll() goes on
    // from here.
    queuedTotal_ = offset;
    bool ok = true;
    if (offset < playing_.size()) {
        const uint32_t rest = static_cast<uint32_t>(playing_.size() - offset);
        ok = SDL_QueueAudio(device_, playing_.data() + offset, rest) == 0;
        if (ok) queuedTotal_ += rest;
    }
    if (ok && loop()) ok = queueCopy();
    SDL_UnlockAudioDevice(device_);
    if (!ok) warnOnce("a sound could not be queued");
    // An image that ended before the place: the next poll() reports the end.
    return true;
}

SoundPlayer::Playback SdlPlayer::poll() {
    Playback now;
    if (!active_ || device_ == 0 || playing_.empty()) return now;
    uint64_t queued = SDL_GetQueuedAudioSize(device_);
    if (loop()) {
        while (queued < playing_.size() && queueCopy()) queued += playing_.size();
    } else if (queued == 0) {
        active_ = false;
        now.finished = true;
        return now;
    }
    const uint64_t played = queuedTotal_ - std::min(queued, queuedTotal_);
    now.playing = true;
    now.sample = static_cast<int64_t>((played % playing_.size()) / uint64_t(bytesPerSample_));
    return now;
}

void SdlPlayer::playFile(const std::string& path) {
    stop();
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in) return;
    // Our sounds last seconds; anything far larger is not one of them.
    constexpr std::streamoff kMaxBytes = 64 << 20;
    const std::streamoff size = in.tellg();
    if (size <= 0 || size > kMaxBytes) return;
    in.seekg(0);
    const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    playImage(WavImage::parse(bytes));
}

uint32_t SdlPlayer::queuedBytes() const { return device_ != 0 ? SDL_GetQueuedAudioSize(device_) : 0; }
