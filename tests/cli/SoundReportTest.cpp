#include "TestFiles.h"
#include "cli/SoundReport.h"

#include <QJsonArray>

#include <gtest/gtest.h>

using testfiles::settingsWith;

TEST(SoundReport, FiguresOfTheRenderedSound) {
    const struct {
        const char* name;
        int bits;
        int rate;
        float echoDelay;
        float lengthMs, totalMs;
        int32_t main, total;
        int64_t bytes;
    } cases[] = {
        {"new sound", 8, 11025, 0.0f, 400, 400, 4410, 4410, 4410},
        {"16 bit at 44100", 16, 44100, 0.0f, 400, 400, 17640, 17640, 35280},
        {"echo tail", 16, 22050, 0.5f, 400, 1000, 8820, 22050, 44100},
    };
    for (const auto& c : cases) {
        SoundSettings s;
        s.resetToNew();
        s.bitsPerSample = c.bits;
        s.sampleRate = c.rate;
        s.echoDelay = c.echoDelay;
        const soundreport::Figures f = soundreport::measure(s);
        EXPECT_EQ(f.lengthMs, c.lengthMs) << c.name;
        EXPECT_EQ(f.totalMs, c.totalMs) << c.name;
        EXPECT_EQ(f.mainSamples, c.main) << c.name;
        EXPECT_EQ(f.totalSamples, c.total) << c.name;
        EXPECT_EQ(f.dataBytes, c.bytes) << c.name;
    }
}

TEST(SoundReport, ClippedSamplesAreThoseAtFullScale) {
    for (int bits : {8, 16}) {
        // A square wave at full amplitude sits at full scale throughout.
        SoundSettings s = settingsWith("0:100 100:100", "0:50 100:50");
        s.waveform = 200;
        s.bitsPerSample = bits;
        soundreport::Figures f = soundreport::measure(s);
        EXPECT_EQ(f.clippedSamples, f.mainSamples) << bits;

        // At half amplitude nothing reaches it; the new sound's 75% neither.
        s.amplitude.fromText("0:50 100:50");
        EXPECT_EQ(soundreport::measure(s).clippedSamples, 0) << bits;
        s = settingsWith("0:75 20:75 40:75 60:75 80:75 100:0", "0:50 100:50");
        s.bitsPerSample = bits;
        EXPECT_EQ(soundreport::measure(s).clippedSamples, 0) << bits;

        // A sine at full amplitude touches full scale at its peaks only;
        // distortion flattens the peaks into longer runs at full scale.
        s.amplitude.fromText("0:100 100:100");
        const int64_t peaks = soundreport::measure(s).clippedSamples;
        EXPECT_GT(peaks, 0) << bits;
        s.distort = 0.5f;
        f = soundreport::measure(s);
        EXPECT_GT(f.clippedSamples, 2 * peaks) << bits;
        EXPECT_LT(f.clippedSamples, f.totalSamples) << bits;
    }
}

TEST(SoundReport, NumbersAreTheShortestTextOfTheFloat) {
    const struct {
        float value;
        const char* text;
    } cases[] = {{0.2f, "0.2"}, {1.0f, "1"}, {0.0f, "0"}, {0.123456789f, "0.12345679"}, {400.0f, "400"}};
    for (const auto& c : cases) EXPECT_EQ(soundreport::number(c.value).toStdString(), c.text);
}

TEST(SoundReport, TextAndJsonCarryEverySetting) {
    ReadResult read;
    read.ok = true;
    read.version = 1001;
    read.settings = settingsWith("0:0 50:100 100:0", "0:20 100:80");
    read.settings.waveform = 201;
    read.settings.repeatCount = 3;
    const soundreport::Figures f = soundreport::measure(read.settings);

    const QString text = soundreport::text(QStringLiteral("saw.zdl"), read, f);
    for (const char* line :
         {"saw.zdl\n", "  version: 1001\n", "  waveform: 201 Saw\n", "  amplitude: 3 points: (0, 0) (0.5, 1) (1, 0)\n",
          "  frequency: 2 points: (0, 0.2) (1, 0.8)\n", "  length: 0.2\n", "  repeatCount: 3\n",
          "  sampleRate: 11025\n", "  mainSamples: 4410\n", "  clippedSamples: "})
        EXPECT_TRUE(text.contains(QLatin1String(line))) << line << "\n" << text.toStdString();

    const QJsonObject json = soundreport::json(QStringLiteral("saw.zdl"), read, f);
    EXPECT_EQ(json[QStringLiteral("version")].toInt(), 1001);
    EXPECT_EQ(json[QStringLiteral("waveformName")].toString(), QStringLiteral("Saw"));
    EXPECT_EQ(json[QStringLiteral("amplitude")].toArray().size(), 3);
    EXPECT_EQ(json[QStringLiteral("frequency")].toArray()[1].toArray()[1].toDouble(), 0.8);
    EXPECT_EQ(json[QStringLiteral("length")].toDouble(), 0.2);
    EXPECT_EQ(json[QStringLiteral("totalSamples")].toInt(), 4410);

    read.version = 0;
    read.format = SoundFormatId::Efc;
    EXPECT_TRUE(soundreport::json(QString(), read, f)[QStringLiteral("version")].isNull());
    EXPECT_TRUE(soundreport::text(QString(), read, f).contains(QLatin1String("old-style")));
}

// Silence has no level: "-inf" in text and null in JSON, never a number.
TEST(SoundReport, SilenceHasNoLevel) {
    ReadResult read;
    read.ok = true;
    read.settings = settingsWith("0:0 100:0", "0:50 100:50");
    const soundreport::Figures f = soundreport::measure(read.settings);
    const QString text = soundreport::text(QStringLiteral("quiet.zdl"), read, f);
    EXPECT_TRUE(text.contains(QLatin1String("  peakDb: -inf (silent)\n"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QLatin1String("  loudnessLufs: -inf (silent)\n"))) << text.toStdString();
    const QJsonObject json = soundreport::json(QStringLiteral("quiet.zdl"), read, f);
    EXPECT_TRUE(json[QStringLiteral("peakDb")].isNull());
    EXPECT_TRUE(json[QStringLiteral("loudnessLufs")].isNull());
}
