// Keep while generating: the kept parts of the base come back bit for bit
// from every template, Randomize and Mutate, the rest as the seed would make
// them without keeping, and the sound stays one that can be played as it is.
#include "core/KeptParts.h"
#include "core/SoundModel.h"
#include "core/SoundMutation.h"
#include "core/SoundTemplates.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

// The bytes of a part, so that -0 and 0 (or two NaNs) are told apart.
template <typename T>
void addBytes(std::string& out, const T& value) {
    out.append(reinterpret_cast<const char*>(&value), sizeof value);
}
void addCurve(std::string& out, const Envelope& e) {
    addBytes(out, e.kind());
    for (float t : e.times()) addBytes(out, t);
    out += '|';
    for (float v : e.values()) addBytes(out, v);
}

std::string bitsOf(const SoundSettings& s, SoundPart part) {
    std::string out;
    switch (part) {
    case SoundPart::Amplitude: addCurve(out, s.amplitude); break;
    case SoundPart::Frequency: addCurve(out, s.frequency); break;
    case SoundPart::Waveform: addBytes(out, s.waveform); break;
    case SoundPart::Length: addBytes(out, s.length); break;
    case SoundPart::Effects:
        addBytes(out, s.distort);
        addBytes(out, s.echoVolume);
        addBytes(out, s.echoDelay);
        break;
    case SoundPart::Quality:
        addBytes(out, s.sampleRate);
        addBytes(out, s.bitsPerSample);
        addBytes(out, s.repeatCount);
        break;
    }
    return out;
}

// Every single part, every set of all but one, all of them, none, and pairs that
// pull against each other (a kept length under a new echo, a kept curve
// under a new echo and the other way round).
std::vector<KeptParts> keptSets() {
    std::vector<KeptParts> sets;
    for (SoundPart part : KeptParts::kAll) {
        sets.push_back(KeptParts{part});
        KeptParts allBut;
        for (SoundPart other : KeptParts::kAll) allBut.set(other, other != part);
        sets.push_back(allBut);
    }
    KeptParts all;
    for (SoundPart part : KeptParts::kAll) all.set(part, true);
    sets.push_back(all);
    sets.push_back({SoundPart::Amplitude, SoundPart::Waveform});
    sets.push_back({SoundPart::Length, SoundPart::Frequency});
    sets.push_back(KeptParts());  // nothing kept: today's sound exactly
    return sets;
}

// Sounds to keep from: generated ones of every quality (and repeats), and a
// long loud one with a strong echo and distortion.
std::vector<SoundSettings> bases() {
    std::vector<SoundSettings> b;
    for (uint64_t seed = 100; seed < 106; ++seed) b.push_back(*sound_templates::generate("random", seed, {}));
    SoundSettings loud;
    loud.amplitude.fromText("0:100 50:90 100:0");
    loud.length = 0.45f;
    loud.distort = 0.4f;
    loud.echoVolume = 0.9f;
    loud.echoDelay = 0.7f;
    loud.repeatCount = 3;
    loud.sampleRate = 22050;
    loud.bitsPerSample = 16;
    b.push_back(loud);
    return b;
}

std::string describe(const SoundSettings& s) {
    return s.amplitude.toText() + " length " + std::to_string(s.length) + " echo " + std::to_string(s.echoVolume) +
           "/" + std::to_string(s.echoDelay) + " distort " + std::to_string(s.distort);
}

// Curves valid, sliders in range and, without distortion, at most 1% of the
// samples at full scale: what every template promises for every seed.
void expectPlayable(const SoundSettings& s) {
    ASSERT_TRUE(s.amplitude.isValid() && s.frequency.isValid()) << describe(s);
    for (float slider : {s.length, s.distort, s.echoVolume, s.echoDelay}) {
        EXPECT_GE(slider, 0.0f) << describe(s);
        EXPECT_LE(slider, 1.0f) << describe(s);
    }
    SoundModel model;
    model.settings = s;
    model.applyAll();
    ASSERT_GT(model.rendered.sampleCount(), 0);
    if (s.distort <= 0.0f) {
        EXPECT_LT(model.rendered.clippedCount() * 100, model.rendered.sampleCount()) << describe(s);
    }
}

float peakOf(const Envelope& e) {
    float peak = 0.0f;
    for (float v : e.values()) peak = std::max(peak, v);
    return peak;
}

double echoTailMs(const SoundSettings& s) { return 3.0 * double(s.echoDelay) * lengthMs(s.length); }

}  // namespace

TEST(KeptParts, NamesReadBackAndAnythingElseIsRefused) {
    // Every one of the 63 non-empty sets is written and read back.
    for (unsigned bits = 1; bits < 64; ++bits) {
        KeptParts set;
        for (SoundPart part : KeptParts::kAll) set.set(part, (bits >> unsigned(part)) & 1u);
        const std::optional<KeptParts> back = KeptParts::parse(set.names());
        ASSERT_TRUE(back) << set.names();
        EXPECT_EQ(*back, set) << set.names();
    }
    EXPECT_EQ(KeptParts({SoundPart::Waveform, SoundPart::Amplitude}).names(), "amplitude,waveform");
    EXPECT_EQ(KeptParts::parse("waveform,amplitude,waveform"),
              std::optional<KeptParts>(KeptParts{SoundPart::Amplitude, SoundPart::Waveform}));
    const struct {
        const char* list;
        const char* unknown;
    } refused[] = {{"", ""},
                   {"amplitude,", ""},
                   {",amplitude", ""},
                   {"amplitude,,waveform", ""},
                   {"Amplitude", "Amplitude"},
                   {"waveform,repeats", "repeats"},
                   {"effect", "effect"},
                   {" length", " length"},
                   {"quality;length", "quality;length"}};
    for (const auto& r : refused) {
        std::string unknown = "unset";
        EXPECT_FALSE(KeptParts::parse(r.list, &unknown)) << r.list;
        EXPECT_EQ(unknown, r.unknown) << r.list;
    }
}

// Every template and Randomize, every set, many seeds and bases: the kept
// parts are the base's, the frequency curve and the waveform are otherwise
// the seed's own (with nothing kept, the whole sound is), and the sound is playable. A kept length never lengthens
// the echo tail the template drew; the effects and the amplitude curve give
// way only to a kept part they would clip with.
TEST(KeptParts, TemplatesKeepEachPartBitForBit) {
    const std::vector<SoundSettings> from = bases();
    const std::vector<KeptParts> sets = keptSets();
    int rendered = 0;
    for (const std::string& name : sound_templates::names()) {
        for (size_t k = 0; k < sets.size(); ++k) {
            const KeptParts kept = sets[k];
            for (uint64_t seed = 0; seed < 40; ++seed) {
                const SoundSettings& base = from[(seed + k) % from.size()];
                SCOPED_TRACE(name + " keeping " + kept.names() + " seed " + std::to_string(seed));
                const SoundSettings plain = *sound_templates::generate(name, seed, base);
                const SoundSettings s = *sound_templates::generate(name, seed, base, kept);
                for (SoundPart part : KeptParts::kAll) {
                    if (kept.has(part)) {
                        ASSERT_EQ(bitsOf(s, part), bitsOf(base, part)) << KeptParts::name(part);
                    }
                }
                for (SoundPart part :
                     {SoundPart::Frequency, SoundPart::Waveform, SoundPart::Length, SoundPart::Quality}) {
                    if (!kept.has(part)) {
                        EXPECT_EQ(bitsOf(s, part), bitsOf(plain, part)) << KeptParts::name(part);
                    }
                }
                const bool amplitude = kept.has(SoundPart::Amplitude), effects = kept.has(SoundPart::Effects);
                if (!effects && !amplitude && !kept.has(SoundPart::Length)) {
                    EXPECT_EQ(bitsOf(s, SoundPart::Effects), bitsOf(plain, SoundPart::Effects));
                }
                if (!amplitude && !effects) {
                    EXPECT_EQ(bitsOf(s, SoundPart::Amplitude), bitsOf(plain, SoundPart::Amplitude));
                }
                if (!effects) {
                    EXPECT_EQ(s.distort, plain.distort);
                    EXPECT_LE(echoTailMs(s), echoTailMs(plain) * (1.0 + 1e-6)) << describe(s);
                }
                // A render for a share of the seeds: every set and template
                // still gets several. A kept curve at full level is the
                // user's own loudness, which nothing else can lower.
                if (seed % 4 == 0 && (!amplitude || peakOf(base.amplitude) <= 0.95f)) {
                    expectPlayable(s);
                    ++rendered;
                }
            }
        }
    }
    EXPECT_GT(rendered, 1000);
}

// A kept length keeps the template's echo spacing in ms, not its share of a
// length it was not drawn for; a kept full-level curve leaves no room for an
// echo; a kept strong echo scales a new curve down under it.
TEST(KeptParts, TheOtherPartGivesWay) {
    SoundSettings longBase;
    longBase.length = 0.9f;  // 8.1 s
    uint64_t seed = 0;
    SoundSettings plain;
    do plain = *sound_templates::generate("coin", ++seed, longBase);
    while (plain.echoVolume <= 0.0f);
    const SoundSettings kept = *sound_templates::generate("coin", seed, longBase, {SoundPart::Length});
    EXPECT_NEAR(kept.echoDelay * lengthMs(kept.length), plain.echoDelay * lengthMs(plain.length), 1e-3);

    SoundSettings fullLevel;
    fullLevel.amplitude.fromText("0:96 100:96");
    plain = *sound_templates::generate("explosion", seed = 0, fullLevel);
    while (plain.echoVolume <= 0.0f) plain = *sound_templates::generate("explosion", ++seed, fullLevel);
    const SoundSettings dry = *sound_templates::generate("explosion", seed, fullLevel, {SoundPart::Amplitude});
    EXPECT_EQ(dry.echoVolume, 0.0f);
    EXPECT_EQ(dry.echoDelay, 0.0f);

    SoundSettings strongEcho;
    strongEcho.echoVolume = 1.0f;
    strongEcho.echoDelay = 0.2f;
    const SoundSettings under = *sound_templates::generate("hit", 5, strongEcho, {SoundPart::Effects});
    for (float v : under.amplitude.values()) EXPECT_LE(v, 0.475f);
}

TEST(KeptParts, MutateKeepsEachPartBitForBit) {
    const std::vector<SoundSettings> from = bases();
    for (const KeptParts kept : keptSets()) {
        for (uint64_t seed = 0; seed < 60; ++seed) {
            const SoundSettings& base = from[seed % from.size()];
            SCOPED_TRACE("keeping " + kept.names() + " seed " + std::to_string(seed));
            const SoundSettings plain = sound_mutation::mutate(base, seed, 0.5f);
            const SoundSettings s = sound_mutation::mutate(base, seed, 0.5f, kept);
            for (SoundPart part : KeptParts::kAll) {
                EXPECT_EQ(bitsOf(s, part), bitsOf(kept.has(part) ? base : plain, part)) << KeptParts::name(part);
            }
        }
    }
}
