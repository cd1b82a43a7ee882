// The sliders' values as typed and the wheel's step: every value typed shows
// back exactly as typed, and refused texts say why.

#include "core/SoundSettings.h"
#include "ui/controls/Slider.h"
#include "ui/controls/SliderValue.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace {

enum { kLength = 0, kDistort = 1, kEchoVolume = 2, kEchoDelay = 3 };

SoundSettings withLength(float length) {
    SoundSettings s;
    s.length = length;
    return s;
}

// What the field would show for a slider at `position`.
int shownAt(int slider, SoundSettings s, float position) {
    float* fields[] = {&s.length, &s.distort, &s.echoVolume, &s.echoDelay};
    *fields[slider] = position;
    return slider_value::field(slider, s).shown;
}

TEST(SliderValue, EveryValueInRangeShowsBackAsTyped) {
    // Echo Delay over lengths whose ms are and are not whole numbers.
    const SoundSettings settings[] = {withLength(0.2f), withLength(0.0f), withLength(0.3f), withLength(0.73f),
                                      withLength(1.0f)};
    for (int slider = 0; slider < 4; ++slider) {
        for (const SoundSettings& s : settings) {
            const slider_value::Field f = slider_value::field(slider, s);
            for (int v = f.minimum; v <= f.maximum; ++v) {
                const std::optional<float> p = slider_value::position(f, s, v);
                ASSERT_TRUE(p) << f.name.toStdString() << " " << v;
                ASSERT_GE(*p, 0.0f);
                ASSERT_LE(*p, 1.0f);
                ASSERT_EQ(shownAt(slider, s, *p), v) << f.name.toStdString() << " " << v;
            }
            EXPECT_FALSE(slider_value::position(f, s, f.minimum - 1));
            EXPECT_FALSE(slider_value::position(f, s, f.maximum + 1));
            if (slider != kEchoDelay) break;  // the others do not depend on the length
        }
    }
    // The captions agree with the fields.
    const SoundSettings s;
    const slider_value::Field length = slider_value::field(kLength, s);
    for (int ms : {20, 21, 399, 400, 900, 4321, 9999, 10000})
        EXPECT_EQ(slider_text::lengthLine(*slider_value::position(length, s, ms)), QStringLiteral("%1ms").arg(ms));
    const slider_value::Field distort = slider_value::field(kDistort, s);
    for (int pc : {0, 1, 28, 29, 57, 99, 100})
        EXPECT_EQ(slider_text::percentLine(*slider_value::position(distort, s, pc)), QStringLiteral("%1%").arg(pc));
    EXPECT_EQ(*slider_value::position(length, s, 10000), 1.0f);
    EXPECT_EQ(*slider_value::position(distort, s, 100), 1.0f);
    EXPECT_EQ(*slider_value::position(distort, s, 0), 0.0f);
}

TEST(SliderValue, FieldsFollowTheSettings) {
    SoundSettings s;    // 400 ms
    s.distort = 0.29f;  // shows 28 %, as the caption does
    s.echoVolume = 0.5f;
    s.echoDelay = 0.25f;
    const struct {
        int slider;
        const char* name;
        const char* unit;
        int minimum, maximum, shown;
    } cases[] = {
        {kLength, "Length", "ms", 20, 10000, 400},
        {kDistort, "Distort", "%", 0, 100, 28},
        {kEchoVolume, "Echo Volume", "%", 0, 100, 50},
        {kEchoDelay, "Echo Delay", "ms", 0, 400, 100},
    };
    for (const auto& c : cases) {
        const slider_value::Field f = slider_value::field(c.slider, s);
        EXPECT_EQ(f.name.toStdString(), c.name);
        EXPECT_EQ(f.unit.toStdString(), c.unit);
        EXPECT_EQ(f.minimum, c.minimum) << c.name;
        EXPECT_EQ(f.maximum, c.maximum) << c.name;
        EXPECT_EQ(f.shown, c.shown) << c.name;
    }
    // The delay is a share of the main part: a longer sound, a longer delay.
    s.length = 0.5f;
    EXPECT_EQ(slider_value::field(kEchoDelay, s).maximum, 2500);
    EXPECT_EQ(slider_value::field(kEchoDelay, s).shown, 625);
}

TEST(SliderValue, TextsAreReadOrRefusedWithAReason) {
    const SoundSettings s;  // 400 ms
    const struct {
        int slider;
        const char* text;
        std::optional<int> value;
        const char* reason;
    } cases[] = {
        {kLength, "900", 900, ""},
        {kLength, " 900 ms ", 900, ""},
        {kLength, "900MS", 900, ""},
        {kLength, "20", 20, ""},
        {kLength, "10000", 10000, ""},
        {kLength, "19", std::nullopt, "Length can't be less than 20 ms."},
        {kLength, "10001", std::nullopt, "Length can't be more than 10000 ms."},
        {kLength, "12.5", std::nullopt, "Type a whole number from 20 ms to 10000 ms."},
        {kLength, "", std::nullopt, "Type a whole number from 20 ms to 10000 ms."},
        {kLength, "ms", std::nullopt, "Type a whole number from 20 ms to 10000 ms."},
        {kLength, "9 00", std::nullopt, "Type a whole number from 20 ms to 10000 ms."},
        {kLength, "99999999999", std::nullopt, "Type a whole number from 20 ms to 10000 ms."},
        {kDistort, "50%", 50, ""},
        {kDistort, "0", 0, ""},
        {kDistort, "-1", std::nullopt, "Distort can't be less than 0%."},
        {kDistort, "101", std::nullopt, "Distort can't be more than 100%."},
        {kEchoVolume, "100 %", 100, ""},
        {kEchoVolume, "1e2", std::nullopt, "Type a whole number from 0% to 100%."},
        {kEchoDelay, "400", 400, ""},
        {kEchoDelay, "401", std::nullopt, "Echo Delay can't be longer than the Length, 400 ms."},
    };
    for (const auto& c : cases) {
        const slider_value::Field f = slider_value::field(c.slider, s);
        const QString text = QString::fromUtf8(c.text);
        EXPECT_EQ(slider_value::read(f, text), c.value) << f.name.toStdString() << " '" << c.text << "'";
        EXPECT_EQ(slider_value::refusal(f, text).toStdString(), c.reason) << "'" << c.text << "'";
    }
    EXPECT_EQ(slider_value::range(slider_value::field(kLength, s)), QStringLiteral("From 20 ms to 10000 ms."));
    EXPECT_EQ(slider_value::range(slider_value::field(kDistort, s)), QStringLiteral("From 0% to 100%."));
    EXPECT_EQ(slider_value::range(slider_value::field(kEchoDelay, s)),
              QStringLiteral("From 0 ms to the Length, 400 ms."));
}

TEST(SliderValue, AWheelNotchMovesOneHundredthOfTheTrack) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const struct {
        float from;
        int notches;
        int shows;  // the hundredth it lands on, as Distort's caption shows it
    } cases[] = {
        {0.5f, 1, 51},   {0.5f, -1, 49}, {0.29f, 1, 29},  // 0.29 shows 28 %: one up shows 29 %
        {0.29f, -1, 27}, {0.0f, 1, 1},   {0.0f, -1, 0},  {1.0f, 1, 100}, {1.0f, -1, 99}, {0.995f, 1, 100},
        {0.5f, 3, 53},   {0.5f, -60, 0}, {1.5f, 1, 100}, {-0.3f, -1, 0}, {nan, 1, 1},
    };
    for (const auto& c : cases) {
        const float p = slider_value::stepped(c.from, c.notches);
        EXPECT_EQ(slider_text::percentLine(p).toStdString(), std::to_string(c.shows) + "%")
            << c.from << " " << c.notches;
        EXPECT_GE(p, 0.0f);
        EXPECT_LE(p, 1.0f);
    }
    // The ends are exact, and a hundred notches cross the whole track one
    // shown percent at a time.
    EXPECT_EQ(slider_value::stepped(0.01f, -1), 0.0f);
    EXPECT_EQ(slider_value::stepped(0.99f, 1), 1.0f);
    float p = 0.0f;
    for (int i = 1; i <= 100; ++i) {
        p = slider_value::stepped(p, 1);
        ASSERT_EQ(slider_text::percentLine(p).toStdString(), std::to_string(i) + "%");
    }
    EXPECT_EQ(p, 1.0f);
    EXPECT_EQ(slider_value::stepped(p, 1), 1.0f);
    for (int i = 99; i >= 0; --i) {
        p = slider_value::stepped(p, -1);
        ASSERT_EQ(slider_text::percentLine(p).toStdString(), std::to_string(i) + "%");
    }
    EXPECT_EQ(p, 0.0f);
}

}  // namespace
