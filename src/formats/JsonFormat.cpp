#include "formats/JsonFormat.h"

#include "core/Waveforms.h"
#include "formats/FloatText.h"
#include "formats/JsonReader.h"
#include "formats/RawSettings.h"
#include "formats/ZdlFormat.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <new>
#include <string_view>
#include <system_error>

namespace soundjson {

namespace {

using Position = JsonReader::Position;

// The keys in the order they are written.
enum Field {
    kFormat,
    kVersionField,
    kWaveform,
    kLength,
    kDistort,
    kEchoVolume,
    kEchoDelay,
    kRepeatCount,
    kBitsPerSample,
    kSampleRate,
    kAmplitude,
    kFrequency,
    kFieldCount
};
constexpr const char* kKeys[kFieldCount] = {"format",        "version",    "waveform",  "length",
                                            "distort",       "echoVolume", "echoDelay", "repeatCount",
                                            "bitsPerSample", "sampleRate", "amplitude", "frequency"};

int fieldOf(const std::string& key) {
    for (int f = 0; f < kFieldCount; ++f)
        if (key == kKeys[f]) return f;
    return -1;
}

std::string keyName(int field) { return std::string("\"") + kKeys[field] + "\""; }

// ---- writing

void appendFloat(std::string& out, float value) {
    // JSON has no NaN or infinity; null reads back as an error, as the
    // binary reader refuses a value that is not finite.
    if (!std::isfinite(value)) {
        out += "null";
        return;
    }
    char buffer[floattext::kMaxChars];
    out.append(buffer, floattext::write(buffer, value));
}

void appendMember(std::string& out, int field, const std::string& value) {
    out += "  ";
    out += keyName(field);
    out += ": ";
    out += value;
    out += ",\n";
}

std::string floatText(float value) {
    std::string text;
    appendFloat(text, value);
    return text;
}

void appendCurve(std::string& out, int field, const Envelope& e, bool last) {
    out += "  " + keyName(field) + ": [";
    for (int i = 0; i < e.pointCount(); ++i) {
        out += i == 0 ? "\n    [" : ",\n    [";
        appendFloat(out, e.time(i));
        out += ", ";
        appendFloat(out, e.value(i));
        out += "]";
    }
    out += e.pointCount() > 0 ? "\n  ]" : "]";
    out += last ? "\n" : ",\n";
}

// ---- reading

// A float field as the nearest float to the number (rounded once, straight
// to float). A number beyond the float range, at either end, is
// refused rather than silently made infinite or zero.
bool readFloat(JsonReader& in, const std::string& what, float& out) {
    if (in.peek() != JsonReader::Kind::Number) return in.fail(in.position(), what + " must be a number");
    const Position at = in.position();
    std::string_view token;
    if (!in.readNumber(token)) return false;
    const floattext::ParseStatus status = floattext::parse(token, out);
    if (status == floattext::ParseStatus::OutOfRange)
        return in.fail(at, "the number " + JsonReader::quoted(token) + " is out of the range of a float");
    if (status != floattext::ParseStatus::Ok) return in.fail(at, "invalid number");
    return true;
}

bool readInteger(JsonReader& in, const std::string& what, int64_t& out) {
    if (in.peek() != JsonReader::Kind::Number) return in.fail(in.position(), what + " must be a whole number");
    const Position at = in.position();
    std::string_view token;
    if (!in.readNumber(token)) return false;
    if (token.find_first_of(".eE") != std::string_view::npos) return in.fail(at, what + " must be a whole number");
    const auto [end, ec] = std::from_chars(token.data(), token.data() + token.size(), out);
    if (ec == std::errc::result_out_of_range) return in.fail(at, what + " is out of range: " + std::string(token));
    if (ec != std::errc() || end != token.data() + token.size()) return in.fail(at, "invalid number");
    return true;
}

bool readFormat(JsonReader& in) {
    const Position at = in.nextPosition();
    if (in.peek() != JsonReader::Kind::String) return in.fail(at, keyName(kFormat) + " must be a string");
    std::string name;
    if (!in.readString(name)) return false;
    if (name != kFormatName)
        return in.fail(at, "the format is " + JsonReader::quoted(name) + ", not \"" + kFormatName + "\"");
    return true;
}

bool readVersion(JsonReader& in) {
    const Position at = in.nextPosition();
    int64_t version = 0;
    if (!readInteger(in, keyName(kVersionField), version)) return false;
    if (version > kVersion)
        return in.fail(at, "the sound is version " + std::to_string(version) +
                               ", written by a newer Zindle; this one reads version " + std::to_string(kVersion));
    if (version < kVersion) return in.fail(at, "there is no version " + std::to_string(version));
    return true;
}

// A label, matched exactly, or the number of a code that has none.
bool readWaveform(JsonReader& in, int32_t& code) {
    const Position at = in.nextPosition();
    if (in.peek() == JsonReader::Kind::String) {
        std::string label;
        if (!in.readString(label)) return false;
        for (const waveforms::Info& info : waveforms::kButtonOrder)
            if (label == info.label) {
                code = info.code();
                return true;
            }
        return in.fail(at, "unknown waveform " + JsonReader::quoted(label));
    }
    if (in.peek() != JsonReader::Kind::Number)
        return in.fail(at, keyName(kWaveform) + " must be a waveform's name or code");
    int64_t number = 0;
    if (!readInteger(in, keyName(kWaveform), number)) return false;
    if (number < std::numeric_limits<int32_t>::min() || number > std::numeric_limits<int32_t>::max())
        return in.fail(at, "the waveform code " + std::to_string(number) + " is out of range");
    code = static_cast<int32_t>(number);
    return true;
}

// [[t, v], ...]; the point cap is checked before each point is kept.
bool readCurve(JsonReader& in, int field, std::vector<float>& times, std::vector<float>& values) {
    const std::string name = keyName(field);
    if (in.peek() != JsonReader::Kind::Array)
        return in.fail(in.position(), name + " must be a list of [time, value] pairs");
    in.consume('[');
    if (in.consume(']')) return true;
    const std::string notAPair = "each point of " + name + " must be a [time, value] pair of two numbers";
    do {
        const Position at = in.nextPosition();
        if (times.size() == size_t(zdl::kMaxPoints))
            return in.fail(at, name + " has more than " + std::to_string(zdl::kMaxPoints) + " points");
        float time = 0.0f, value = 0.0f;
        if (!in.consume('[') || in.peek() != JsonReader::Kind::Number) return in.fail(at, notAPair);
        if (!readFloat(in, "a time", time)) return false;
        if (!in.consume(',') || in.peek() != JsonReader::Kind::Number) return in.fail(at, notAPair);
        if (!readFloat(in, "a value", value)) return false;
        if (!in.consume(']')) return in.fail(at, notAPair);
        times.push_back(time);
        values.push_back(value);
    } while (in.consume(','));
    return in.expect(']', "',' or ']'");
}

bool readField(JsonReader& in, int field, RawSettings& raw) {
    switch (field) {
    case kFormat: return readFormat(in);
    case kVersionField: return readVersion(in);
    case kWaveform: return readWaveform(in, raw.waveform);
    case kLength: return readFloat(in, keyName(field), raw.length);
    case kDistort: return readFloat(in, keyName(field), raw.distort);
    case kEchoVolume: return readFloat(in, keyName(field), raw.echoVolume);
    case kEchoDelay: return readFloat(in, keyName(field), raw.echoDelay);
    case kRepeatCount: return readInteger(in, keyName(field), raw.repeatCount);
    case kBitsPerSample: return readInteger(in, keyName(field), raw.bitsPerSample);
    case kSampleRate: return readInteger(in, keyName(field), raw.sampleRate);
    case kAmplitude: return readCurve(in, field, raw.amplitudeTimes, raw.amplitudeValues);
    case kFrequency: return readCurve(in, field, raw.frequencyTimes, raw.frequencyValues);
    default: return false;
    }
}

// The top-level object into `raw`. A wrong format or version outranks an
// unknown key, so a newer file says so instead of naming its new keys.
bool readSound(JsonReader& in, RawSettings& raw) {
    if (in.peek() != JsonReader::Kind::Object)
        return in.fail(in.position(), "a sound is a JSON object, starting with '{'");
    in.consume('{');
    const Position emptyAt = in.nextPosition();
    if (in.consume('}')) return in.fail(emptyAt, "missing key " + keyName(kFormat));
    bool seen[kFieldCount] = {};
    std::string unknown;
    Position unknownAt;
    do {
        const Position keyAt = in.nextPosition();
        std::string key;
        if (!in.readKey(key) || !in.expect(':', "':' after the key")) return false;
        const int field = fieldOf(key);
        if (field < 0) {
            if (unknown.empty()) {
                unknown = JsonReader::quoted(key);
                unknownAt = keyAt;
            }
            if (!in.skipValue()) return false;
            continue;
        }
        if (seen[field]) return in.fail(keyAt, "duplicate key " + keyName(field));
        seen[field] = true;
        if (!readField(in, field, raw)) return false;
    } while (in.consume(','));
    const Position endAt = in.nextPosition();
    if (!in.expect('}', "',' or '}'")) return false;
    if (in.peek() != JsonReader::Kind::End) return in.fail(in.position(), "text after the end of the sound");
    if (!unknown.empty()) return in.fail(unknownAt, "unknown key " + unknown);
    for (int f = 0; f < kFieldCount; ++f)
        if (!seen[f]) return in.fail(endAt, "missing key " + keyName(f));
    return true;
}

}  // namespace

std::string encode(const SoundSettings& s) {
    std::string out = "{\n";
    appendMember(out, kFormat, std::string("\"") + kFormatName + "\"");
    appendMember(out, kVersionField, std::to_string(kVersion));
    // The labels are plain ASCII: nothing to escape.
    const char* label = waveforms::label(s.waveform);
    appendMember(out, kWaveform, label ? std::string("\"") + label + "\"" : std::to_string(s.waveform));
    appendMember(out, kLength, floatText(s.length));
    appendMember(out, kDistort, floatText(s.distort));
    appendMember(out, kEchoVolume, floatText(s.echoVolume));
    appendMember(out, kEchoDelay, floatText(s.echoDelay));
    appendMember(out, kRepeatCount, std::to_string(s.repeatCount));
    appendMember(out, kBitsPerSample, std::to_string(s.bitsPerSample));
    appendMember(out, kSampleRate, std::to_string(s.sampleRate));
    appendCurve(out, kAmplitude, s.amplitude, false);
    appendCurve(out, kFrequency, s.frequency, true);
    out += "}\n";
    return out;
}

DecodeResult decode(const uint8_t* data, size_t size) {
    if (size > size_t(zdl::kMaxFileBytes))
        return DecodeResult::failure("The text is larger than " + std::to_string(zdl::kMaxFileBytes) + " bytes.");
    // A caller in C cannot take an exception: running out of memory for a
    // huge string or curve is a refusal like any other.
    try {
        JsonReader in(data, size);
        RawSettings raw;
        if (!readSound(in, raw)) return DecodeResult::failure(in.error());

        DecodeResult result;
        const std::string reason = raw.toSettings(result.settings);
        if (!reason.empty()) return DecodeResult::failure(reason);
        result.ok = true;
        result.format = SoundFormatId::Json;
        result.version = kVersion;
        return result;
    } catch (const std::bad_alloc&) {
        return DecodeResult::failure("There is not enough memory to read the text.");
    }
}

bool looksLikeJson(const uint8_t* data, size_t size) {
    JsonReader in(data, size);
    return in.peek() == JsonReader::Kind::Object;
}

}  // namespace soundjson
