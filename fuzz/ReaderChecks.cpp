#include "ReaderChecks.h"

#include "formats/EfcFormat.h"
#include "formats/JsonFormat.h"
#include "formats/ZdlFormat.h"

#include <cmath>

namespace readerchecks {

namespace {

bool unit(float x) { return std::isfinite(x) && x >= 0.0f && x <= 1.0f; }

std::string checkResult(const DecodeResult& read) {
    if (!read.ok) return read.error.empty() ? "a rejected file without a reason" : std::string();
    const SoundSettings& s = read.settings;
    if (!s.amplitude.isValid()) return "an amplitude curve that breaks the invariants";
    if (!s.frequency.isValid()) return "a frequency curve that breaks the invariants";
    if (!unit(s.length) || !unit(s.distort) || !unit(s.echoVolume) || !unit(s.echoDelay))
        return "a slider position outside 0..1";
    if (s.repeatCount < 1 || s.repeatCount > 10) return "a repeat count outside 1..10";
    if (s.bitsPerSample != 8 && s.bitsPerSample != 16) return "a width other than 8 or 16";
    if (s.sampleRate != 11025 && s.sampleRate != 22050 && s.sampleRate != 44100) return "an unknown sample rate";
    // What was accepted must save and read back unchanged.
    const DecodeResult again = zdl::decode(zdl::encode(s));
    if (!again.ok || again.settings != s) return "accepted settings that do not survive a save";
    return std::string();
}

}  // namespace

std::string checkZdl(const uint8_t* data, size_t size) { return checkResult(zdl::decode(data, size)); }

std::string checkEfc(const uint8_t* data, size_t size) { return checkResult(efc::decode(data, size)); }

std::string checkJson(const uint8_t* data, size_t size) {
    const DecodeResult read = soundjson::decode(data, size);
    std::string fault = checkResult(read);
    if (!fault.empty() || !read.ok) return fault;
    const std::string text = soundjson::encode(read.settings);
    const DecodeResult again = soundjson::decode(reinterpret_cast<const uint8_t*>(text.data()), text.size());
    if (!again.ok || again.settings != read.settings) return "accepted settings that do not survive JSON";
    return std::string();
}

}  // namespace readerchecks
