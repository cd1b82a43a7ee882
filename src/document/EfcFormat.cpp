#include "EfcFormat.h"

#include "ByteReader.h"
#include "FileIO.h"
#include "RawSettings.h"

#include <QCoreApplication>

#include <cmath>

namespace efc {

namespace {

QString tr(const char* text) { return QCoreApplication::translate("efc", text); }

// The inverse of lengthMs: ms x 0.0001 under the root. The factor is the
// single-precision constant the old converter used.
constexpr float kMsToSquaredPosition = 0.0001f;

QString checkCount(int count, const char* name) {
    if (count < 2) return tr("The %1 curve has fewer than 2 points.").arg(QLatin1String(name));
    if (count > kMaxPoints)
        return tr("The %1 curve has %2 points; an old-style file holds at most %3.")
            .arg(QLatin1String(name))
            .arg(count)
            .arg(kMaxPoints);
    return QString();
}

void readPoints(ByteReader& in, int at, int count, std::vector<float>& times, std::vector<float>& values) {
    in.seek(at);
    for (int i = 0; i < count; ++i) {
        times.push_back(static_cast<float>(in.i16() / kFixedOne));
        values.push_back(static_cast<float>(in.i16() / kFixedOne));
    }
    // The old format's curves always ran from 0 to 1, whatever the stored end
    // times say. This comes before the order repair, so that a stray first
    // time cannot push the later points up.
    times.front() = 0.0f;
    times.back() = 1.0f;
}

}  // namespace

int32_t waveformFromCycleEntry(float entry) {
    const double scaled = double(entry) * 1000.0;
    // Outside the int range (or NaN) it matches none of the four anyway.
    if (!(scaled > -1.0e9 && scaled < 1.0e9)) return 400;
    switch (static_cast<int32_t>(scaled)) {
    case 342: return 100;   // Sine
    case 111: return 201;   // Saw
    case 639: return 300;   // Organ
    case 1000: return 200;  // Square
    default: return 400;    // Noise 1
    }
}

float lengthFromSamples(uint32_t samples, int32_t rate) {
    if (rate <= 0) return 0.0f;
    const double ms = double(samples) * 1000.0 / double(rate);
    const double position = std::sqrt(ms * double(kMsToSquaredPosition));
    if (!(position >= 0.0)) return 0.0f;
    return position > 1.0 ? 1.0f : static_cast<float>(position);
}

ReadResult decode(const QByteArray& bytes) {
    if (bytes.size() < kRecordBytes) return ReadResult::failure(tr("The file ends early."));
    ByteReader in(bytes);
    in.seek(kAmplitudeCountAt);
    const int amplitudeCount = in.i16();
    const int frequencyCount = in.i16();
    QString reason = checkCount(amplitudeCount, "amplitude");
    if (reason.isEmpty()) reason = checkCount(frequencyCount, "frequency");
    if (!reason.isEmpty()) return ReadResult::failure(reason);

    RawSettings raw;
    readPoints(in, kAmplitudePointsAt, amplitudeCount, raw.amplitudeTimes, raw.amplitudeValues);
    readPoints(in, kFrequencyPointsAt, frequencyCount, raw.frequencyTimes, raw.frequencyValues);
    in.seek(kCycleAt + 4 * kCycleEntry);
    raw.waveform = waveformFromCycleEntry(in.f32());
    in.seek(kEffectsAt);
    raw.echoVolume = static_cast<float>(in.i16() / kFixedOne);
    raw.echoDelay = static_cast<float>(in.i16() / kFixedOne);
    raw.distort = static_cast<float>(in.i16() / kFixedOne);
    in.seek(kRateAt);
    const int32_t rate = in.i32();
    if (rate <= 0) return ReadResult::failure(tr("The sample rate %1 is not a positive number.").arg(rate));
    raw.sampleRate = rate;
    in.seek(kSampleCountAt);
    raw.length = lengthFromSamples(in.u32(), rate);
    in.seek(kRepeatsAt);
    raw.repeatCount = in.i16();
    raw.bitsPerSample = 8;  // the old format knew no other width

    ReadResult result;
    reason = raw.toSettings(result.settings);
    if (!reason.isEmpty()) return ReadResult::failure(reason);
    result.ok = true;
    return result;
}

ReadResult read(const QString& path) {
    QByteArray bytes;
    QString reason;
    if (!fileio::readPrefix(path, kRecordBytes, bytes, reason)) return ReadResult::failure(reason);
    return decode(bytes);
}

}  // namespace efc
