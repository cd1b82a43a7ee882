#include "core/SoundModel.h"
#include "core/SoundTemplates.h"
#include "core/Waveforms.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <ostream>
#include <set>
#include <string>

namespace {

constexpr int kSeeds = 500;
constexpr double kNoLimit = 1e9;

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

// The whole sound, echo tail included, once (every template but random plays
// once): as the settings give it and as it is rendered.
double wholeMs(const SoundSettings& s) { return lengthMs(s.length) * (1.0 + 3.0 * double(s.echoDelay)); }
double renderedMs(const RenderedSound& r) { return 1000.0 * r.sampleCount() / r.sampleRate(); }

// The pitch heard over [from, to) of the main part, in cycles per sample: a
// cycle is a rise above a quarter of the stretch's peak after a fall below
// minus that (so a waveform's ripples and narrow spikes count once), and the
// pitch is the cycles between the first and the last rise over the time
// between them, so a soft start does not lower it. With fewer than two rises,
// a bound from above: one more cycle than seen, over the whole stretch.
double heardPitch(const RenderedSound& r, double from, double to) {
    const int32_t a = int32_t(from * r.lengthSamples()), b = int32_t(to * r.lengthSamples());
    int peak = 0;
    for (int32_t i = a; i < b; ++i) peak = std::max(peak, std::abs(r.sampleAt(i)));
    const double h = 0.25 * peak;
    bool low = false;
    int32_t firstRise = -1, lastRise = -1, rises = 0;
    for (int32_t i = a; i < b; ++i) {
        const int v = r.sampleAt(i);
        if (v < -h) {
            low = true;
        } else if (v > h && low) {
            low = false;
            if (firstRise < 0) firstRise = i;
            lastRise = i;
            ++rises;
        }
    }
    return rises >= 2 ? double(rises - 1) / double(lastRise - firstRise) : double(rises + 1) / double(b - a);
}

// Where the loudest 10 ms (by RMS, in half-overlapping windows) of the whole
// rendered sound is centred, as a share of its duration.
double loudestAt(const RenderedSound& r) {
    const int32_t n = r.sampleCount(), w = r.sampleRate() / 100;
    double loudest = -1.0;
    int32_t at = 0;
    for (int32_t start = 0; start + w <= n; start += w / 2) {
        double energy = 0.0;
        for (int32_t i = start; i < start + w; ++i) energy += double(r.sampleAt(i)) * r.sampleAt(i);
        if (energy > loudest) {
            loudest = energy;
            at = start + w / 2;
        }
    }
    return double(at) / n;
}

// What makes each family what it is beyond its duration, pitch and noise;
// an empty string when the sound has it.
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

// The blast is the loudest part: the amplitude curve's highest point lies in
// the first fifth of the main part (so of the whole sound too).
std::string explosionTraits(const SoundSettings& s) {
    if (s.waveform != 404 && s.waveform != 405) return "not Noise 5 or Noise 6";
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

enum class Pitch { Any, Rises, Falls };

struct Family {
    const char* name;
    double minMs, maxMs;  // of the whole sound, echo tail included
    Pitch pitch;
    int minNoisePercent;  // of the seeds
    bool loudestInFirstFifth;
    bool keepsQuality;
    std::string (*traits)(const SoundSettings&);
};

const Family kFamilies[] = {
    {"coin", 20, 600, Pitch::Rises, 0, false, true, coinTraits},
    {"laser", 20, 700, Pitch::Falls, 0, false, true, laserTraits},
    {"explosion", 400, kNoLimit, Pitch::Any, 100, true, true, explosionTraits},
    {"powerup", 20, kNoLimit, Pitch::Rises, 0, false, true, powerupTraits},
    {"hit", 20, 350, Pitch::Any, 50, false, true, hitTraits},
    {"jump", 150, 450, Pitch::Rises, 0, false, true, jumpTraits},
    {"blip", 20, 150, Pitch::Any, 0, false, true, blipTraits},
    {"random", 20, kNoLimit, Pitch::Any, 0, false, false, noTraits},
};

void PrintTo(const Family& f, std::ostream* os) { *os << f.name; }

// The families a rule applies to.
std::vector<Family> familiesWhere(bool (*rule)(const Family&)) {
    std::vector<Family> v;
    for (const Family& f : kFamilies)
        if (rule(f)) v.push_back(f);
    return v;
}

std::string nameOf(const ::testing::TestParamInfo<Family>& info) { return info.param.name; }

class TemplateFamily : public ::testing::TestWithParam<Family> {};
class TemplatePitch : public TemplateFamily {};
class TemplateNoise : public TemplateFamily {};
class TemplateLoudness : public TemplateFamily {};

std::string describe(const SoundSettings& s) {
    return s.amplitude.toText() + " / " + s.frequency.toText() + " / waveform " + std::to_string(s.waveform) +
           " length " + std::to_string(s.length) + " echo " + std::to_string(s.echoVolume) + "/" +
           std::to_string(s.echoDelay) + " distort " + std::to_string(s.distort);
}

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
            EXPECT_EQ(s.repeatCount, 1);
            EXPECT_EQ(s.sampleRate, keep.sampleRate);
            EXPECT_EQ(s.bitsPerSample, keep.bitsPerSample);
        } else {
            EXPECT_TRUE(s.sampleRate == 11025 || s.sampleRate == 22050 || s.sampleRate == 44100) << s.sampleRate;
            EXPECT_TRUE(s.bitsPerSample == 8 || s.bitsPerSample == 16) << s.bitsPerSample;
        }
        EXPECT_EQ(f.traits(s), "") << describe(s);

        model.settings = s;
        model.applyAll();
        const int32_t clipped = model.rendered.clippedCount();
        ASSERT_GT(model.rendered.sampleCount(), 0);
        if (s.distort <= 0.0f) {
            EXPECT_LT(clipped * 100, model.rendered.sampleCount()) << clipped << " clipped";
        }
    }
}

// The duration of the whole sound, echo tail included, on the settings and
// on the samples rendered at the seed's quality.
TEST_P(TemplateFamily, LastsAsLongAsItsName) {
    const Family& f = GetParam();
    SoundModel model;
    for (uint64_t seed = 0; seed < kSeeds; ++seed) {
        model.settings = *sound_templates::generate(f.name, seed, quality(seed));
        model.applyAll();
        const double settingsMs = wholeMs(model.settings), heardMs = renderedMs(model.rendered);
        ASSERT_TRUE(settingsMs >= f.minMs && settingsMs <= f.maxMs && heardMs >= f.minMs && heardMs <= f.maxMs)
            << f.name << " seed " << seed << ": " << settingsMs << " ms set, " << heardMs << " ms rendered; "
            << describe(model.settings);
    }
}

// Rising or falling: the frequency curve's last value against its first, and
// the pitch heard in the second fifth from the end of the main part against
// the first fifth. Heard at 44100 Hz, 16 bits, where the waveform's narrow
// features are not lost between samples.
TEST_P(TemplatePitch, MovesAsItsNameSays) {
    const Family& f = GetParam();
    SoundSettings finest;
    finest.sampleRate = 44100;
    finest.bitsPerSample = 16;
    SoundModel model;
    for (uint64_t seed = 0; seed < kSeeds; ++seed) {
        model.settings = *sound_templates::generate(f.name, seed, finest);
        model.applyAll();
        const Envelope& curve = model.settings.frequency;
        const double early = heardPitch(model.rendered, 0.0, 0.2), late = heardPitch(model.rendered, 0.6, 0.8);
        const bool rises = first(curve) < last(curve) && early < late;
        const bool falls = first(curve) > last(curve) && early > late;
        ASSERT_TRUE(f.pitch == Pitch::Rises ? rises : falls)
            << f.name << " seed " << seed << ": heard " << early << " -> " << late << " cycles a sample; "
            << describe(model.settings);
    }
}

// The share of seeds on a noise waveform.
TEST_P(TemplateNoise, AsOftenAsItsNameSays) {
    const Family& f = GetParam();
    int noisy = 0;
    for (uint64_t seed = 0; seed < kSeeds; ++seed)
        noisy += isNoise(sound_templates::generate(f.name, seed, SoundSettings())->waveform) ? 1 : 0;
    EXPECT_GE(noisy * 100, f.minNoisePercent * kSeeds) << noisy << " of " << kSeeds;
}

// The loudest moment of the rendered sound (its settings: see the traits).
TEST_P(TemplateLoudness, LoudestInItsFirstFifth) {
    const Family& f = GetParam();
    SoundModel model;
    for (uint64_t seed = 0; seed < kSeeds; ++seed) {
        model.settings = *sound_templates::generate(f.name, seed, quality(seed));
        model.applyAll();
        const double at = loudestAt(model.rendered);
        ASSERT_LE(at, 0.2) << f.name << " seed " << seed << "; " << describe(model.settings);
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
    // Explosions use the two finest noises only.
    EXPECT_GE(waveformsUsed.size(), std::string(f.name) == "explosion" ? 2u : 4u);
}

INSTANTIATE_TEST_SUITE_P(AllTemplates, TemplateFamily, ::testing::ValuesIn(kFamilies), nameOf);
INSTANTIATE_TEST_SUITE_P(RisingOrFalling, TemplatePitch,
                         ::testing::ValuesIn(familiesWhere([](const Family& f) { return f.pitch != Pitch::Any; })),
                         nameOf);
INSTANTIATE_TEST_SUITE_P(Noisy, TemplateNoise,
                         ::testing::ValuesIn(familiesWhere([](const Family& f) { return f.minNoisePercent > 0; })),
                         nameOf);
INSTANTIATE_TEST_SUITE_P(LoudFirst, TemplateLoudness,
                         ::testing::ValuesIn(familiesWhere([](const Family& f) { return f.loudestInFirstFifth; })),
                         nameOf);

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
         0.187120348f, 0.0f, 0.0f, 0.0f, 1, 22050, 16},
        {"laser", 2u, "0:51.2578 23.5793:39.7315 100:0", "0:77.7897 40.4224:55.3486 100:40.6579", 100, 0.197389469f,
         0.0f, 0.0f, 0.0f, 1, 22050, 16},
        {"explosion", 7u, "0:22.2875 9.63887:63.3565 33.2452:35.5683 100:0", "0:31.311 38.7181:14.4297 100:6.18711",
         404, 0.223357648f, 0.0f, 0.0f, 0.0f, 1, 22050, 16},
        {"powerup", 12345u, "0:0 4.28141:66.0257 76.7799:62.7965 100:0",
         "0:41.7407 25:41.7407 25:50.8917 50:50.8917 50:60.0427 75:60.0427 75:69.1937 100:69.1937", 202, 0.228674322f,
         0.0f, 0.152835339f, 0.201376036f, 1, 22050, 16},
        {"hit", 3u, "0:64.4049 22.9346:59.2239 100:0", "0:47.1872 37.9374:39.3467 100:19.9739", 404, 0.127427205f,
         0.544359207f, 0.143287823f, 0.195433348f, 1, 22050, 16},
        {"jump", 4u, "0:0 5.22603:58.4622 61.7619:51.3721 100:0", "0:54.8355 69.3359:72.7271 100:72.0175", 202,
         0.183006436f, 0.0f, 0.0f, 0.0f, 1, 22050, 16},
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
