#include "formats/ZdlFormat.h"

#include "formats/ByteReader.h"
#include "formats/RawSettings.h"

#include <cstring>
#include <string>

namespace zdl {

namespace {

const char kEndsEarly[] = "The file ends early.";

void put16(std::vector<uint8_t>& out, uint16_t v) {
    out.push_back(uint8_t(v & 0xFF));
    out.push_back(uint8_t(v >> 8));
}

void put32(std::vector<uint8_t>& out, uint32_t v) {
    for (int shift = 0; shift < 32; shift += 8) out.push_back(uint8_t((v >> shift) & 0xFF));
}

void putFloat(std::vector<uint8_t>& out, float f) {
    uint32_t bits;
    std::memcpy(&bits, &f, sizeof bits);
    put32(out, bits);
}

void putCurve(std::vector<uint8_t>& out, const Envelope& e) {
    put32(out, static_cast<uint32_t>(e.pointCount()));
    for (int i = 0; i < e.pointCount(); ++i) {
        putFloat(out, e.time(i));
        putFloat(out, e.value(i));
    }
}

// Count, then interleaved (time, value) pairs. The count is checked against
// what is left of the file before anything is allocated.
std::string readCurve(ByteReader& in, const char* name, std::vector<float>& times, std::vector<float>& values) {
    const int32_t count = in.i32();
    if (in.failed()) return kEndsEarly;
    const std::string curve = "The " + std::string(name) + " curve ";
    if (count < 2) return curve + "has fewer than 2 points.";
    if (in.remaining() / kPointBytes < size_t(count)) return curve + "claims more points than the file holds.";
    if (count > kMaxPoints)
        return curve + "has too many points: " + std::to_string(count) + "; at most " + std::to_string(kMaxPoints) +
               ".";
    times.resize(size_t(count));
    values.resize(size_t(count));
    for (size_t i = 0; i < size_t(count); ++i) {
        times[i] = in.f32();
        values[i] = in.f32();
    }
    return std::string();
}

}  // namespace

std::vector<uint8_t> encode(const SoundSettings& s) {
    std::vector<uint8_t> out;
    out.reserve(size_t(kFixedBytes) +
                size_t(kPointBytes) * size_t(s.amplitude.pointCount() + s.frequency.pointCount()));
    put32(out, static_cast<uint32_t>(kVersion));
    putCurve(out, s.amplitude);
    putCurve(out, s.frequency);
    put32(out, static_cast<uint32_t>(s.waveform));
    putFloat(out, s.length);
    putFloat(out, s.distort);
    putFloat(out, s.echoVolume);
    putFloat(out, s.echoDelay);
    put32(out, static_cast<uint32_t>(s.repeatCount));
    put16(out, static_cast<uint16_t>(s.bitsPerSample));
    put32(out, static_cast<uint32_t>(s.sampleRate));
    return out;
}

DecodeResult decode(const uint8_t* data, size_t size) {
    ByteReader in(data, size);
    RawSettings raw;
    const int32_t version = in.i32();
    if (in.failed()) return DecodeResult::failure(kEndsEarly);
    std::string reason = readCurve(in, "amplitude", raw.amplitudeTimes, raw.amplitudeValues);
    if (reason.empty()) reason = readCurve(in, "frequency", raw.frequencyTimes, raw.frequencyValues);
    if (!reason.empty()) return DecodeResult::failure(reason);
    raw.waveform = in.i32();
    raw.length = in.f32();
    raw.distort = in.f32();
    raw.echoVolume = in.f32();
    raw.echoDelay = in.f32();
    raw.repeatCount = in.i32();
    // Any version but 1000 is read with the 1001 layout.
    raw.bitsPerSample = version == kVersionWithoutWidth ? 8 : in.u16();
    raw.sampleRate = in.u32();
    if (in.failed()) return DecodeResult::failure(kEndsEarly);

    DecodeResult result;
    reason = raw.toSettings(result.settings);
    if (!reason.empty()) return DecodeResult::failure(reason);
    result.ok = true;
    result.format = SoundFormatId::Zdl;
    result.version = version;
    return result;
}

}  // namespace zdl
