#include "bank/BankReader.h"

#include "core/RenderedSound.h"
#include "core/SoundRenderer.h"
#include "storage/Loudness.h"
#include "storage/SoundFile.h"

#include <utility>

BankReader::BankReader(QObject* parent) : QObject(parent) {
    worker_ = std::thread([this] { run(); });
}

BankReader::~BankReader() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        quit_ = true;
    }
    wake_.notify_one();
    worker_.join();
}

void BankReader::read(const QString& path, const FileStamp& stamp) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        reads_.push_back({path, stamp, false, 0});
    }
    wake_.notify_one();
}

void BankReader::play(const QString& path, uint64_t ticket) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        plays_.clear();
        plays_.push_back({path, FileStamp{}, true, ticket});
    }
    wake_.notify_one();
}

void BankReader::clear() {
    std::lock_guard<std::mutex> lock(mutex_);
    reads_.clear();
}

std::vector<BankReader::Result> BankReader::take() {
    std::lock_guard<std::mutex> lock(mutex_);
    signalled_ = false;
    return std::exchange(done_, {});
}

BankReader::Result BankReader::readFile(const QString& path, bool image) {
    Result result;
    result.path = path;
    // Regular files only: a named pipe in the folder must not hold the worker.
    const ReadResult read = soundfile::read(path, fileio::Streams::Refused);
    if (!read.ok) {
        result.reason = read.error;
        return result;
    }
    const RenderSizes sizes = sound_renderer::sizes(read.settings);
    if (!sizes.fits) {
        result.reason = QStringLiteral("The sound is too long to be rendered.");
        return result;
    }
    const RenderedSound sound = sound_renderer::render(read.settings);
    if (sound.sampleCount() > 0 && sound.samples().empty()) {
        result.reason = QStringLiteral("There is not enough memory to render the sound.");
        return result;
    }
    result.ok = true;
    result.durationMs = sound.totalMs();
    result.sampleCount = sound.sampleCount();
    if (image) {
        result.image = sound.wavImage(read.settings.repeatCount);
        if (result.image.empty()) {
            result.ok = false;
            result.reason = QStringLiteral("There is not enough memory to render the sound.");
        }
    } else {
        const loudness::Level level = loudness::measure(sound, read.settings.repeatCount);
        result.peakDb = level.peakDb;
        result.loudnessLufs = level.loudnessLufs;
    }
    return result;
}

void BankReader::run() {
    for (;;) {
        Job job;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            wake_.wait(lock, [this] { return quit_ || !plays_.empty() || !reads_.empty(); });
            if (quit_) return;
            std::deque<Job>& from = plays_.empty() ? reads_ : plays_;
            job = std::move(from.front());
            from.pop_front();
        }
        Result result = readFile(job.path, job.play);
        result.stamp = job.stamp;
        result.play = job.play;
        result.ticket = job.ticket;
        bool signal = false;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            done_.push_back(std::move(result));
            // One signal for a batch: a thousand quick reads are not a
            // thousand events for the interface.
            signal = !signalled_;
            signalled_ = true;
        }
        if (signal) emit ready();
    }
}
