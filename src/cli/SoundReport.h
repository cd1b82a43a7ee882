#pragma once

#include "storage/ReadResult.h"

#include <QJsonObject>
#include <QString>

#include <cstdint>

// What `zindle-cli info` tells about a sound: its settings and the figures of
// the sound they render to.
namespace soundreport {

struct Figures {
    float lengthMs = 0;  // the main part, over which the envelopes run
    float totalMs = 0;   // with the echo tail
    int32_t mainSamples = 0;
    int32_t totalSamples = 0;
    int64_t dataBytes = 0;  // one copy of the samples
    int64_t clippedSamples = 0;
    // As the sound is exported, repeats included; -infinity when silent.
    double peakDb = 0;
    double loudnessLufs = 0;
};

// What counts as clipped, for the reader of the report.
extern const char* const kClippedMeaning;

// Renders the settings and measures the result.
Figures measure(const SoundSettings& settings);

// The shortest decimal text that reads back as the same float ("0.2").
QString number(float value);

// A block of "name: value" lines headed by the file name.
QString text(const QString& file, const ReadResult& read, const Figures& figures);
QJsonObject json(const QString& file, const ReadResult& read, const Figures& figures);

}  // namespace soundreport
