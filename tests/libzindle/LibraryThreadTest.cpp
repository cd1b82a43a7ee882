// Many threads rendering at once get what one thread gets. Run under the
// sanitizer build, this is also the check for data races on shared state.

#include "LibraryFixture.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr int kThreads = 8;
constexpr int kRounds = 12;

struct Job {
    Sound sound;
    int rate;
    int bits;
    Bytes wav;      // rendered by one thread, before the others start
    Bytes samples;  // the same at the job's rate and width
    const char* templateName;
    Bytes generated;  // the .zdl of the template's sound for the job's index as seed
};

Bytes generatedZdl(const char* name, uint64_t seed) {
    zindle_sound* sound = nullptr;
    unsigned char* zdl = nullptr;
    size_t size = 0;
    Bytes bytes;
    if (zindle_sound_generate(name, seed, &sound, nullptr, 0) == ZINDLE_OK &&
        zindle_sound_write_zdl(sound, &zdl, &size, nullptr, 0) == ZINDLE_OK)
        bytes.assign(zdl, zdl + size);
    zindle_free(zdl);
    zindle_sound_free(sound);
    return bytes;
}

// Different sounds: variations of the test files, in both widths and at every rate.
std::vector<Job> makeJobs() {
    const char* const files[] = {"sounds/laser.zdl", "sounds/boom.efc", "sounds/new.zdl", "sounds/old-v1000.zdl"};
    const int rates[] = {11025, 22050, 44100};
    std::vector<Job> jobs;
    for (int i = 0; i < kThreads; ++i) {
        const Sound original = readSound(readFile(dataFile(files[i % 4])));
        zindle_sound* variant = nullptr;
        EXPECT_EQ(zindle_sound_mutate(original.get(), uint64_t(i) * 7919u, 0.3f, &variant, nullptr, 0), ZINDLE_OK);
        Job job{Sound(variant),
                rates[i % 3],
                i % 2 ? 16 : 8,
                {},
                {},
                zindle_template_name(i % zindle_template_count()),
                {}};
        job.wav = renderWav(job.sound.get());
        job.samples = renderSamples(job.sound.get(), job.rate, job.bits);
        job.generated = generatedZdl(job.templateName, uint64_t(i));
        EXPECT_FALSE(job.generated.empty()) << job.templateName;
        jobs.push_back(std::move(job));
    }
    return jobs;
}

TEST(LibraryThreads, ConcurrentRendersMatchSingleThreadedOnes) {
    const std::vector<Job> jobs = makeJobs();
    ASSERT_EQ(jobs.size(), size_t(kThreads));
    const Bytes laser = readFile(dataFile("sounds/laser.zdl"));
    const Sound shared = readSound(laser);
    const Bytes sharedWav = renderWav(shared.get());
    std::atomic<int> mismatches{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            const Job& job = jobs[size_t(t)];
            Bytes samples(job.samples.size());
            for (int round = 0; round < kRounds; ++round) {
                unsigned char* wav = nullptr;
                size_t size = 0;
                // Each thread its own sound, read and rendered whole...
                if (zindle_sound_render_wav(job.sound.get(), 0, 0, &wav, &size, nullptr, 0) != ZINDLE_OK ||
                    Bytes(wav, wav + size) != job.wav)
                    ++mismatches;
                zindle_free(wav);
                size_t written = 0;
                if (zindle_sound_render_samples(job.sound.get(), job.rate, job.bits, samples.data(), samples.size(),
                                                &written, nullptr, 0) != ZINDLE_OK ||
                    samples != job.samples)
                    ++mismatches;
                // ...and all of them the one shared sound, and from bytes.
                if (zindle_sound_render_wav(shared.get(), 0, 0, &wav, &size, nullptr, 0) != ZINDLE_OK ||
                    Bytes(wav, wav + size) != sharedWav)
                    ++mismatches;
                zindle_free(wav);
                if (zindle_render_wav(laser.data(), laser.size(), &wav, &size, nullptr, 0) != ZINDLE_OK ||
                    Bytes(wav, wav + size) != sharedWav)
                    ++mismatches;
                zindle_free(wav);
                if (generatedZdl(job.templateName, uint64_t(t)) != job.generated) ++mismatches;
            }
        });
    }
    for (std::thread& thread : threads) thread.join();
    EXPECT_EQ(mismatches.load(), 0);
    // The jobs differ, or the test would not tell one thread's sound from another's.
    for (int t = 1; t < kThreads; ++t) EXPECT_NE(jobs[size_t(t)].wav, jobs[0].wav) << t;
}

}  // namespace
