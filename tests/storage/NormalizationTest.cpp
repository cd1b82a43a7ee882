#include "core/SoundModel.h"
#include "core/SoundTemplates.h"
#include "storage/Loudness.h"
#include "storage/Normalization.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

using normalization::Normalization;
using normalization::Target;

// A template's sound at a chosen width, rate and length (slider position).
SoundModel templateSound(const std::string& name, uint64_t seed, int bits, int rate, float length) {
    SoundSettings quality;
    quality.resetToNew();
    quality.bitsPerSample = bits;
    quality.sampleRate = rate;
    SoundModel model;
    model.settings = *sound_templates::generate(name, seed, quality);
    model.settings.length = length;
    model.applyAll();
    return model;
}

TEST(Normalization, ParseReadsTargetsAndExplainsBadText) {
    const struct {
        const char* text;
        Target target;
        double level;
        const char* error;  // a word the reason holds; null when it parses
    } cases[] = {
        {"peak:-1", Target::Peak, -1, nullptr},
        {"PEAK:-0.5", Target::Peak, -0.5, nullptr},
        {" lufs : -16 ", Target::Loudness, -16, nullptr},
        {"lufs:-23.5", Target::Loudness, -23.5, nullptr},
        {"peak:0", Target::Peak, 0, nullptr},
        {"none", Target::None, 0, nullptr},
        {"None", Target::None, 0, nullptr},
        {"", Target::None, 0, "peak:DB"},
        {"peak", Target::None, 0, "peak:DB"},
        {"rms:-3", Target::None, 0, "peak:DB"},
        {"peak:", Target::None, 0, "number"},
        {"peak:loud", Target::None, 0, "number"},
        {"lufs:nan", Target::None, 0, "number"},
        {"peak:3", Target::None, 0, "dBFS"},
        {"peak:-61", Target::None, 0, "dBFS"},
        {"lufs:0", Target::None, 0, "LUFS"},
        {"lufs:-80", Target::None, 0, "LUFS"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        QString error;
        const auto parsed = normalization::parse(QString::fromLatin1(c.text), &error);
        if (c.error) {
            EXPECT_FALSE(parsed.has_value());
            EXPECT_TRUE(error.contains(QLatin1String(c.error))) << error.toStdString();
            continue;
        }
        ASSERT_TRUE(parsed.has_value()) << error.toStdString();
        EXPECT_EQ(parsed->target, c.target);
        EXPECT_EQ(parsed->level, c.level);
        EXPECT_EQ(normalization::parse(normalization::text(*parsed), nullptr), parsed);
    }
}

// Every template at both widths meets its target after the gain: the peak
// within 0.1 dB, the loudness within 0.2 LU unless the ceiling stopped it,
// and never a peak above the ceiling.
TEST(Normalization, TargetsAreMetWithinATenthOfADecibel) {
    const Normalization targets[] = {{Target::Peak, -1.0},
                                     {Target::Peak, -6.0},
                                     {Target::Loudness, -16.0},
                                     {Target::Loudness, -24.0},
                                     {Target::Loudness, -8.0}};
    int limited = 0;
    int reached = 0;
    for (const std::string& name : sound_templates::names()) {
        for (const int bits : {8, 16}) {
            for (const Normalization& target : targets) {
                SoundModel model = templateSound(name, 7, bits, 22050, 0.4f);
                SCOPED_TRACE(name + " " + std::to_string(bits) + " bit " + normalization::text(target).toStdString());
                ASSERT_GE(model.rendered.totalMs(), 1000.0f);
                const loudness::Level before = loudness::measure(model.rendered, 1);
                const normalization::Gain gain = normalization::gainFor(target, before, model.rendered.bits());
                normalization::apply(model.rendered, gain.db);
                const loudness::Level after = loudness::measure(model.rendered, 1);
                EXPECT_NEAR(after.peakDb - before.peakDb, gain.db, model.rendered.bits() == 8 ? 0.3 : 0.01);
                if (target.target == Target::Peak) {
                    EXPECT_NEAR(after.peakDb, target.level, 0.1);
                    EXPECT_LE(after.peakDb, target.level);
                    EXPECT_FALSE(gain.limited);
                    continue;
                }
                EXPECT_LE(after.peakDb, normalization::kPeakCeilingDb);
                if (gain.limited) {
                    ++limited;
                    EXPECT_NEAR(after.peakDb, normalization::kPeakCeilingDb, 0.1);
                    EXPECT_LT(after.loudnessLufs, target.level);
                } else {
                    ++reached;
                    EXPECT_NEAR(after.loudnessLufs, target.level, 0.2);
                }
            }
        }
    }
    // The table exercises both outcomes.
    EXPECT_GT(limited, 0);
    EXPECT_GT(reached, 0);
}

TEST(Normalization, NoTargetOrSilenceGetsNoGain) {
    const loudness::Level loud{-3.0, -10.0};
    const loudness::Level silent{-INFINITY, -INFINITY};
    EXPECT_EQ(normalization::gainFor(Normalization{}, loud, 16).db, 0.0);
    EXPECT_EQ(normalization::gainFor({Target::Peak, -1}, silent, 16).db, 0.0);
    EXPECT_EQ(normalization::gainFor({Target::Loudness, -16}, silent, 8).db, 0.0);
    // Too quiet to gate: as loud as the ceiling allows, and said so.
    const normalization::Gain quiet = normalization::gainFor({Target::Loudness, -16}, {-50.0, -INFINITY}, 16);
    EXPECT_TRUE(quiet.limited);
    EXPECT_NEAR(quiet.db, 49.0, 0.01);
}

// A gain of 0 dB changes no byte; two runs of one gain give the same bytes.
TEST(Normalization, TheGainIsDeterministic) {
    for (const int bits : {8, 16}) {
        SoundModel a = templateSound("explosion", 3, bits, 11025, 0.3f);
        SoundModel b = templateSound("explosion", 3, bits, 11025, 0.3f);
        const std::vector<uint8_t> original = a.rendered.samples();
        normalization::apply(a.rendered, 0.0);
        EXPECT_EQ(a.rendered.samples(), original) << bits;
        normalization::apply(a.rendered, 4.5);
        normalization::apply(b.rendered, 4.5);
        EXPECT_EQ(a.rendered.samples(), b.rendered.samples()) << bits;
        EXPECT_NE(a.rendered.samples(), original) << bits;
    }
}

}  // namespace
