#include "formats/RawSettings.h"

#include "core/SoundQuality.h"
#include "core/SoundSettings.h"

#include <algorithm>
#include <cmath>

namespace {

bool allFinite(const std::vector<float>& numbers) {
    return std::all_of(numbers.begin(), numbers.end(), [](float x) { return std::isfinite(x); });
}

// Comparisons keep a -0.0f as it is, so that an in-range file reads back bit
// for bit.
float clampUnit(float x) { return x < 0.0f ? 0.0f : (x > 1.0f ? 1.0f : x); }

std::string checkCurve(const char* name, const std::vector<float>& times, const std::vector<float>& values) {
    if (times.size() != values.size() || times.size() < 2)
        return "The " + std::string(name) + " curve has fewer than 2 points.";
    if (!allFinite(times) || !allFinite(values))
        return "The " + std::string(name) + " curve holds a value that is not a finite number.";
    return std::string();
}

void repairCurve(std::vector<float>& times, std::vector<float>& values) {
    for (float& v : values) v = clampUnit(v);
    float previous = 0.0f;
    for (float& t : times) {
        t = std::max(clampUnit(t), previous);
        previous = t;
    }
    times.front() = 0.0f;
    times.back() = 1.0f;
}

bool assignCurve(Envelope& envelope, std::vector<float> times, std::vector<float> values) {
    repairCurve(times, values);
    return envelope.assign(times, values) && envelope.isValid();
}

}  // namespace

std::string RawSettings::toSettings(SoundSettings& out) const {
    std::string reason = checkCurve("amplitude", amplitudeTimes, amplitudeValues);
    if (reason.empty()) reason = checkCurve("frequency", frequencyTimes, frequencyValues);
    if (!reason.empty()) return reason;

    const std::pair<const char*, float> positions[] = {
        {"Length", length}, {"Distort", distort}, {"Echo Volume", echoVolume}, {"Echo Delay", echoDelay}};
    for (const auto& [name, value] : positions)
        if (!std::isfinite(value)) return "The " + std::string(name) + " setting is not a finite number.";
    if (!sound_quality::isSampleWidth(bitsPerSample))
        return "The sample width " + std::to_string(bitsPerSample) + " is not " + sound_quality::sampleWidthList() +
               " bits.";
    if (!sound_quality::isSampleRate(sampleRate))
        return "The sample rate " + std::to_string(sampleRate) + " is not " + sound_quality::sampleRateList() + ".";

    SoundSettings s = out;
    if (!assignCurve(s.amplitude, amplitudeTimes, amplitudeValues) ||
        !assignCurve(s.frequency, frequencyTimes, frequencyValues))
        return "There is not enough memory for the curves.";
    s.waveform = waveform;
    s.length = clampUnit(length);
    s.distort = clampUnit(distort);
    s.echoVolume = clampUnit(echoVolume);
    s.echoDelay = clampUnit(echoDelay);
    s.repeatCount = sound_quality::limitRepeats(repeatCount);
    s.bitsPerSample = static_cast<int32_t>(bitsPerSample);
    s.sampleRate = static_cast<int32_t>(sampleRate);
    out = std::move(s);
    return std::string();
}
