#include "formats/EfcFormat.h"

#include "core/Waveforms.h"
#include "formats/ByteReader.h"
#include "formats/RawSettings.h"

#include <cmath>
#include <string>

namespace efc {

namespace {

// The inverse of lengthMs: ms x 0.0001 under the root. The factor is the
// single-precision constant the old converter used.
constexpr float kMsToSquaredPosition = 0.0001f;

std::string checkCount(int count, const char* name) {
    const std::string curve = "The " + std::string(name) + " curve has ";
    if (count < 2) return curve + "fewer than 2 points.";
    if (count > kMaxPoints)
        return curve + std::to_string(count) + " points; an old-style file holds at most " +
               std::to_string(kMaxPoints) + ".";
    return std::string();
}

void readPoints(ByteReader& in, int at, int count, std::vector<float>& times, std::vector<float>& values) {
    in.seek(size_t(at));
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
    if (!(scaled > -1.0e9 && scaled < 1.0e9)) return waveforms::code(WaveformKind::Noise1);
    switch (static_cast<int32_t>(scaled)) {
    case 342: return waveforms::code(WaveformKind::Sine);  // sin 20 degrees
    case 111: return waveforms::code(WaveformKind::Saw);   // 20/180
    case 639: return waveforms::code(WaveformKind::Organ);
    case 1000: return waveforms::code(WaveformKind::Square);  // the top of the square
    default: return waveforms::code(WaveformKind::Noise1);
    }
}

float lengthFromSamples(uint32_t samples, int32_t rate) {
    if (rate <= 0) return 0.0f;
    const double ms = double(samples) * 1000.0 / double(rate);
    const double position = std::sqrt(ms * double(kMsToSquaredPosition));
    if (!(position >= 0.0)) return 0.0f;
    return position > 1.0 ? 1.0f : static_cast<float>(position);
}

DecodeResult decode(const uint8_t* data, size_t size) {
    if (size < size_t(kRecordBytes)) return DecodeResult::failure("The file ends early.");
    ByteReader in(data, size);
    in.seek(kAmplitudeCountAt);
    const int amplitudeCount = in.i16();
    const int frequencyCount = in.i16();
    std::string reason = checkCount(amplitudeCount, "amplitude");
    if (reason.empty()) reason = checkCount(frequencyCount, "frequency");
    if (!reason.empty()) return DecodeResult::failure(reason);

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
    if (rate <= 0)
        return DecodeResult::failure("The sample rate " + std::to_string(rate) + " is not a positive number.");
    raw.sampleRate = rate;
    in.seek(kSampleCountAt);
    raw.length = lengthFromSamples(in.u32(), rate);
    in.seek(kRepeatsAt);
    raw.repeatCount = in.i16();
    raw.bitsPerSample = 8;  // the old format knew no other width

    DecodeResult result;
    reason = raw.toSettings(result.settings);
    if (!reason.empty()) return DecodeResult::failure(reason);
    result.ok = true;
    result.format = SoundFormatId::Efc;
    return result;
}

}  // namespace efc
