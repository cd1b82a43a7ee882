#include "SoundModel.h"
#include "SoundTemplates.h"
#include "Waveforms.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <ostream>
#include <set>
#include <string>

namespace {

constexpr int kSeeds = 500;

bool isNoise(int32_t code) { return code >= 400 && code <= 405; }

float first(const Envelope& e) { return e.values().front(); }
float last(const Envelope& e) { return e.values().back(); }

// The quality a test asks each template to keep, turned with the seed.
SoundSettings quality(uint64_t seed) {
    static const int32_t rates[] = {11025, 22050, 44100};
    SoundSettings s;
    s.sampleRate = rates[seed % 3];
    s.bitsPerSample = (seed / 3) % 2 ? 16 : 8;
    return s;
}

// What makes each family what it is; an empty string when the sound has it.
std::string coinTraits(const SoundSettings& s) {
    const std::vector<float>& v = s.frequency.values();
    if (isNoise(s.waveform)) return "noise waveform";
    for (size_t i = 1; i < v.size(); ++i)
        if (v[i] < v[i - 1]) return "pitch falls at point " + std::to_string(i);
    if (!(double(v.back()) - double(v.front()) >= 0.05)) return "no step up of 0.05";
    return {};
}

std::string laserTraits(const SoundSettings& s) {
    if (!(double(first(s.frequency)) - double(last(s.frequency)) >= 0.2)) return "pitch falls less than 0.2";
    return {};
}

std::string explosionTraits(const SoundSettings& s) {
    if (!isNoise(s.waveform)) return "not a noise";
    const std::vector<float>& v = s.amplitude.values();
    const float loudest = *std::max_element(v.begin(), v.end());
    for (size_t i = 0; i < v.size(); ++i)
        if (v[i] == loudest && !(s.amplitude.time(int(i)) <= 0.2f)) return "loudest point after 20%";
    return {};
}

std::string powerupTraits(const SoundSettings& s) {
    if (!(double(last(s.frequency)) - double(first(s.frequency)) >= 0.2)) return "pitch rises less than 0.2";
    return {};
}

std::string hitTraits(const SoundSettings& s) {
    if (!(last(s.frequency) <= first(s.frequency))) return "pitch ends above its start";
    return {};
}

std::string jumpTraits(const SoundSettings& s) {
    if (isNoise(s.waveform)) return "noise waveform";
    if (!(s.frequency.valueAt(0.5f) > s.frequency.valueAt(0.0f))) return "pitch not up by the middle";
    return {};
}

std::string blipTraits(const SoundSettings& s) { return isNoise(s.waveform) ? "noise waveform" : std::string(); }

std::string noTraits(const SoundSettings&) { return {}; }

struct Family {
    const char* name;
    double minMs, maxMs;  // of the main part
    bool keepsQuality;
    std::string (*traits)(const SoundSettings&);
};

const Family kFamilies[] = {
    {"coin", 20, 600, true, coinTraits},
    {"laser", 20, 800, true, laserTraits},
    {"explosion", 400, 10000, true, explosionTraits},
    {"powerup", 20, 10000, true, powerupTraits},
    {"hit", 20, 400, true, hitTraits},
    {"jump", 20, 700, true, jumpTraits},
    {"blip", 20, 150, true, blipTraits},
    {"random", 20, 10000, false, noTraits},
};

void PrintTo(const Family& f, std::ostream* os) { *os << f.name; }

class TemplateFamily : public ::testing::TestWithParam<Family> {};

// Every seed: the family's traits, a sound that can be played as it is, and at
// most 1% of its samples at full scale unless the template chose distortion.
TEST_P(TemplateFamily, EverySeedIsAValidSoundOfItsFamily) {
    const Family& f = GetParam();
    SoundModel model;
    for (uint64_t seed = 0; seed < kSeeds; ++seed) {
        SCOPED_TRACE(std::string(f.name) + " seed " + std::to_string(seed));
        const SoundSettings keep = quality(seed);
        const std::optional<SoundSettings> made = sound_templates::generate(f.name, seed, keep);
        ASSERT_TRUE(made.has_value());
        const SoundSettings& s = *made;
        ASSERT_TRUE(s.amplitude.isValid()) << s.amplitude.toText();
        ASSERT_TRUE(s.frequency.isValid()) << s.frequency.toText();
        EXPECT_EQ(s.amplitude.kind(), EnvelopeKind::Amplitude);
        EXPECT_EQ(s.frequency.kind(), EnvelopeKind::Frequency);
        const std::vector<float>& a = s.amplitude.values();
        EXPECT_GT(*std::max_element(a.begin(), a.end()), 0.0f) << "silent";
        EXPECT_TRUE(waveforms::isKnown(s.waveform)) << s.waveform;
        for (float slider : {s.length, s.distort, s.echoVolume, s.echoDelay}) {
            EXPECT_GE(slider, 0.0f);
            EXPECT_LE(slider, 1.0f);
        }
        EXPECT_GE(s.repeatCount, 1);
        EXPECT_LE(s.repeatCount, 10);
        if (f.keepsQuality) {
            EXPECT_EQ(s.sampleRate, keep.sampleRate);
            EXPECT_EQ(s.bitsPerSample, keep.bitsPerSample);
        } else {
            EXPECT_TRUE(s.sampleRate == 11025 || s.sampleRate == 22050 || s.sampleRate == 44100) << s.sampleRate;
            EXPECT_TRUE(s.bitsPerSample == 8 || s.bitsPerSample == 16) << s.bitsPerSample;
        }
        const double ms = lengthMs(s.length);
        EXPECT_GE(ms, f.minMs);
        EXPECT_LE(ms, f.maxMs);
        EXPECT_EQ(f.traits(s), "") << s.amplitude.toText() << " / " << s.frequency.toText() << " / " << s.waveform;

        model.settings = s;
        model.applyAll();
        const int32_t clipped = model.rendered.clippedCount();
        ASSERT_GT(model.rendered.sampleCount(), 0);
        if (s.distort <= 0.0f) {
            EXPECT_LT(clipped * 100, model.rendered.sampleCount()) << clipped << " clipped";
        }
    }
}

// A seed must choose the sound: a family with a handful of sounds, or one that
// ignores part of the seed, would repeat itself.
TEST_P(TemplateFamily, SeedsGiveDifferentSounds) {
    const Family& f = GetParam();
    std::set<std::string> sounds;
    std::set<int32_t> waveformsUsed;
    for (uint64_t seed = 0; seed < 100; ++seed) {
        // Far-apart seeds too: the high bits count as much as the low ones.
        for (uint64_t s : {seed, seed << 40}) {
            const SoundSettings made = *sound_templates::generate(f.name, s, SoundSettings());
            sounds.insert(made.amplitude.toText() + "|" + made.frequency.toText() + "|" + std::to_string(made.length));
            waveformsUsed.insert(made.waveform);
        }
    }
    EXPECT_GE(sounds.size(), 195u);
    EXPECT_GE(waveformsUsed.size(), 4u);
}

INSTANTIATE_TEST_SUITE_P(AllTemplates, TemplateFamily, ::testing::ValuesIn(kFamilies),
                         [](const ::testing::TestParamInfo<Family>& info) { return std::string(info.param.name); });

}  // namespace

TEST(SoundTemplates, NamesInMenuOrderAndEveryOneTested) {
    const std::vector<std::string> expected = {"coin", "laser", "explosion", "powerup",
                                               "hit",  "jump",  "blip",      "random"};
    EXPECT_EQ(sound_templates::names(), expected);
    ASSERT_EQ(std::size(kFamilies), expected.size());
    for (const Family& f : kFamilies) EXPECT_TRUE(sound_templates::isKnown(f.name)) << f.name;
}

TEST(SoundTemplates, UnknownNamesAreReportedNotMade) {
    for (const char* name : {"", "Coin", "coin ", "lasers", "noise", "random2"}) {
        EXPECT_FALSE(sound_templates::isKnown(name)) << name;
        EXPECT_FALSE(sound_templates::generate(name, 1, SoundSettings()).has_value()) << name;
    }
}

TEST(SoundTemplates, RandomReachesEveryWaveformAndQuality) {
    std::set<int32_t> codes;
    std::set<std::pair<int32_t, int32_t>> qualities;
    for (uint64_t seed = 0; seed < kSeeds; ++seed) {
        const SoundSettings s = *sound_templates::generate("random", seed, SoundSettings());
        codes.insert(s.waveform);
        qualities.insert({s.sampleRate, s.bitsPerSample});
    }
    EXPECT_EQ(codes.size(), 18u);
    EXPECT_EQ(qualities.size(), 6u);
}

// The same template and seed give these settings on every machine and build;
// a change of the generator or of a recipe changes them.
TEST(SoundTemplates, GoldenSounds) {
    struct Case {
        const char* name;
        uint64_t seed;
        const char* amplitude;
        const char* frequency;
        int32_t waveform;
        float length, distort, echoVolume, echoDelay;
        int32_t repeatCount, sampleRate, bitsPerSample;
    } cases[] = {
        {"coin", 1u, "0:53.5653 39.145:45.111 100:0", "0:70.2197 24.7837:70.2197 24.7837:81.4225 100:81.4225", 100,
         0.202035993f, 0.0f, 0.0f, 0.0f, 1, 22050, 16},
        {"laser", 2u, "0:51.2578 23.5793:39.7315 100:0", "0:77.7897 40.4224:55.3486 100:40.6579", 100, 0.22735545f,
         0.0f, 0.0f, 0.0f, 1, 22050, 16},
        {"explosion", 7u, "0:22.2875 9.63887:63.3565 42.5894:41.4963 100:0", "0:35.8355 38.7181:16.369 100:6.86423",
         402, 0.223357648f, 0.0f, 0.0f, 0.0f, 1, 22050, 16},
        {"powerup", 12345u, "0:0 4.28141:66.0257 76.7799:62.7965 100:0",
         "0:41.7407 25:41.7407 25:50.8917 50:50.8917 50:60.0427 75:60.0427 75:69.1937 100:69.1937", 202, 0.228674322f,
         0.0f, 0.152835339f, 0.201376036f, 1, 22050, 16},
        {"hit", 3u, "0:64.4049 22.9346:59.2239 100:0", "0:47.1872 37.9374:39.3467 100:19.9739", 404, 0.139686704f,
         0.544359207f, 0.143287823f, 0.195433348f, 1, 22050, 16},
        {"jump", 4u, "0:0 5.22603:58.4622 61.7619:51.3721 100:0", "0:54.8355 69.3359:72.7271 100:72.0175", 202,
         0.248164743f, 0.0f, 0.0f, 0.0f, 1, 22050, 16},
        {"blip", 5u, "0:69.6391 70.4441:69.6391 100:0", "0:58.1448 37.5184:58.1448 37.5184:56.2346 100:56.2346", 100,
         0.10266149f, 0.0f, 0.0f, 0.0f, 1, 22050, 16},
        {"random", 0xFFFFFFFFFFFFFFFFull,
         "0:17.0511 15.1495:14.6793 20.4385:27.0901 "
         "21.9879:40.2791 41.1985:7.8246 66.8496:7.42875 100:23.9766",
         "0:10.9745 75.873:11.155 100:74.5182", 404, 0.259018451f, 0.0f, 0.0f, 0.0f, 1, 44100, 8},
    };
    SoundSettings keep;
    keep.sampleRate = 22050;
    keep.bitsPerSample = 16;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " seed " + std::to_string(c.seed));
        const SoundSettings s = *sound_templates::generate(c.name, c.seed, keep);
        EXPECT_EQ(s.amplitude.toText(), c.amplitude);
        EXPECT_EQ(s.frequency.toText(), c.frequency);
        EXPECT_EQ(s.waveform, c.waveform);
        EXPECT_EQ(s.length, c.length);
        EXPECT_EQ(s.distort, c.distort);
        EXPECT_EQ(s.echoVolume, c.echoVolume);
        EXPECT_EQ(s.echoDelay, c.echoDelay);
        EXPECT_EQ(s.repeatCount, c.repeatCount);
        EXPECT_EQ(s.sampleRate, c.sampleRate);
        EXPECT_EQ(s.bitsPerSample, c.bitsPerSample);
        // Twice in a row alike, whatever was generated in between.
        EXPECT_EQ(*sound_templates::generate(c.name, c.seed, keep), s);
    }
}
