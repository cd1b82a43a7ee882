#include "ReaderChecks.h"

#include "EfcFormat.h"
#include "ZdlFormat.h"

#include <QByteArray>

#include <cmath>

namespace readerchecks {

namespace {

bool unit(float x) { return std::isfinite(x) && x >= 0.0f && x <= 1.0f; }

std::string checkResult(const ReadResult& read) {
    if (!read.ok) return read.error.isEmpty() ? "a rejected file without a reason" : std::string();
    const SoundSettings& s = read.settings;
    if (!s.amplitude.isValid()) return "an amplitude curve that breaks the invariants";
    if (!s.frequency.isValid()) return "a frequency curve that breaks the invariants";
    if (!unit(s.length) || !unit(s.distort) || !unit(s.echoVolume) || !unit(s.echoDelay))
        return "a slider position outside 0..1";
    if (s.repeatCount < 1 || s.repeatCount > 10) return "a repeat count outside 1..10";
    if (s.bitsPerSample != 8 && s.bitsPerSample != 16) return "a width other than 8 or 16";
    if (s.sampleRate != 11025 && s.sampleRate != 22050 && s.sampleRate != 44100) return "an unknown sample rate";
    // What was accepted must save and read back unchanged.
    const ReadResult again = zdl::decode(zdl::encode(s));
    if (!again.ok || again.settings != s) return "accepted settings that do not survive a save";
    return std::string();
}

QByteArray bytesOf(const uint8_t* data, size_t size) {
    return QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

}  // namespace

std::string checkZdl(const uint8_t* data, size_t size) { return checkResult(zdl::decode(bytesOf(data, size))); }

std::string checkEfc(const uint8_t* data, size_t size) { return checkResult(efc::decode(bytesOf(data, size))); }

}  // namespace readerchecks
