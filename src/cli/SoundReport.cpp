#include "cli/SoundReport.h"

#include "core/RenderedSound.h"
#include "core/SoundRenderer.h"
#include "core/Waveforms.h"
#include "formats/FloatText.h"
#include "formats/SoundFormats.h"
#include "storage/Loudness.h"

#include <QJsonArray>
#include <QStringList>

#include <cmath>
#include <cstdlib>

namespace soundreport {

const char* const kClippedMeaning = "samples at full scale: 1 or 255 at 8 bit, -32767 or 32767 at 16 bit";

namespace {

QString waveformName(int32_t code) {
    const char* label = waveforms::label(code);
    return label ? QString::fromLatin1(label) : QStringLiteral("unknown (plays as Sine)");
}

QString curveText(const Envelope& e) {
    QStringList points;
    for (int i = 0; i < e.pointCount(); ++i)
        points << QStringLiteral("(%1, %2)").arg(number(e.time(i)), number(e.value(i)));
    return QStringLiteral("%1 points: %2").arg(e.pointCount()).arg(points.join(QLatin1Char(' ')));
}

// A float as JSON: through its shortest text, so 0.2f appears as 0.2 and
// still reads back as the same float.
double jsonNumber(float value) { return std::strtod(number(value).toLatin1().constData(), nullptr); }

QJsonArray curveJson(const Envelope& e) {
    QJsonArray points;
    for (int i = 0; i < e.pointCount(); ++i) points.append(QJsonArray{jsonNumber(e.time(i)), jsonNumber(e.value(i))});
    return points;
}

// Levels to a hundredth of a decibel, finer than a meter tells apart;
// silence has no number ("-inf" in text, null in JSON).
QString levelText(double db) {
    return std::isfinite(db) ? QString::number(db, 'f', 2) : QStringLiteral("-inf (silent)");
}
QJsonValue levelJson(double db) {
    return std::isfinite(db) ? QJsonValue(std::round(db * 100.0) / 100.0) : QJsonValue();
}

bool isOldStyle(const ReadResult& read) { return read.format == SoundFormatId::Efc; }

QString versionText(const ReadResult& read) {
    return isOldStyle(read) ? QStringLiteral("old-style .efc (no version)") : QString::number(read.version);
}

}  // namespace

QString number(float value) {
    char buffer[floattext::kMaxChars];
    const char* end = floattext::write(buffer, value);
    return QString::fromLatin1(buffer, end - buffer);
}

Figures measure(const SoundSettings& settings) {
    const RenderedSound r = sound_renderer::render(settings);
    Figures f;
    f.lengthMs = r.lengthMs();
    f.totalMs = r.totalMs();
    f.mainSamples = r.lengthSamples();
    f.totalSamples = r.sampleCount();
    f.dataBytes = static_cast<int64_t>(r.dataSize());
    f.clippedSamples = r.clippedCount();
    const loudness::Level level = loudness::measure(r, settings.repeatCount);
    f.peakDb = level.peakDb;
    f.loudnessLufs = level.loudnessLufs;
    return f;
}

QString text(const QString& file, const ReadResult& read, const Figures& f) {
    const SoundSettings& s = read.settings;
    QStringList lines;
    lines << file;
    const auto add = [&lines](const char* name, const QString& value) {
        lines << QStringLiteral("  %1: %2").arg(QLatin1String(name), value);
    };
    add("version", versionText(read));
    add("waveform", QStringLiteral("%1 %2").arg(s.waveform).arg(waveformName(s.waveform)));
    add("amplitude", curveText(s.amplitude));
    add("frequency", curveText(s.frequency));
    add("length", number(s.length));
    add("distort", number(s.distort));
    add("echoVolume", number(s.echoVolume));
    add("echoDelay", number(s.echoDelay));
    add("repeatCount", QString::number(s.repeatCount));
    add("bitsPerSample", QString::number(s.bitsPerSample));
    add("sampleRate", QString::number(s.sampleRate));
    add("lengthMs", number(f.lengthMs));
    add("totalMs", number(f.totalMs));
    add("mainSamples", QString::number(f.mainSamples));
    add("totalSamples", QString::number(f.totalSamples));
    add("dataBytes", QString::number(f.dataBytes));
    add("clippedSamples", QStringLiteral("%1 (%2)").arg(f.clippedSamples).arg(QLatin1String(kClippedMeaning)));
    add("peakDb", levelText(f.peakDb));
    add("loudnessLufs", levelText(f.loudnessLufs));
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

QJsonObject json(const QString& file, const ReadResult& read, const Figures& f) {
    const SoundSettings& s = read.settings;
    QJsonObject o;
    o[QStringLiteral("file")] = file;
    // As the bytes were read, whatever the file's name says.
    o[QStringLiteral("format")] = QLatin1String(soundformats::format(read.format).name);
    o[QStringLiteral("version")] = isOldStyle(read) ? QJsonValue() : QJsonValue(read.version);
    o[QStringLiteral("waveform")] = s.waveform;
    o[QStringLiteral("waveformName")] = waveformName(s.waveform);
    o[QStringLiteral("amplitude")] = curveJson(s.amplitude);
    o[QStringLiteral("frequency")] = curveJson(s.frequency);
    o[QStringLiteral("length")] = jsonNumber(s.length);
    o[QStringLiteral("distort")] = jsonNumber(s.distort);
    o[QStringLiteral("echoVolume")] = jsonNumber(s.echoVolume);
    o[QStringLiteral("echoDelay")] = jsonNumber(s.echoDelay);
    o[QStringLiteral("repeatCount")] = s.repeatCount;
    o[QStringLiteral("bitsPerSample")] = s.bitsPerSample;
    o[QStringLiteral("sampleRate")] = s.sampleRate;
    o[QStringLiteral("lengthMs")] = jsonNumber(f.lengthMs);
    o[QStringLiteral("totalMs")] = jsonNumber(f.totalMs);
    o[QStringLiteral("mainSamples")] = f.mainSamples;
    o[QStringLiteral("totalSamples")] = f.totalSamples;
    o[QStringLiteral("dataBytes")] = static_cast<qint64>(f.dataBytes);
    o[QStringLiteral("clippedSamples")] = static_cast<qint64>(f.clippedSamples);
    o[QStringLiteral("clippedMeaning")] = QLatin1String(kClippedMeaning);
    o[QStringLiteral("peakDb")] = levelJson(f.peakDb);
    o[QStringLiteral("loudnessLufs")] = levelJson(f.loudnessLufs);
    return o;
}

}  // namespace soundreport
