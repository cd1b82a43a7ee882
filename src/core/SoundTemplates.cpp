#include "core/SoundTemplates.h"

#include "core/SeededRandom.h"
#include "core/SoundQuality.h"
#include "core/Waveforms.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace sound_templates {

namespace {

// Each draw is sequenced on its own: compilers evaluate a call's arguments in
// different orders, so two draws in one call would give two sounds.

using waveforms::code;
constexpr int32_t kSine = code(WaveformKind::Sine), kWhistle = code(WaveformKind::Whistle),
                  kSquare = code(WaveformKind::Square), kSaw = code(WaveformKind::Saw),
                  kTriangle = code(WaveformKind::Triangle), kPulse = code(WaveformKind::Pulse),
                  kBipolar = code(WaveformKind::Bipolar), kDown = code(WaveformKind::Down),
                  kOrgan = code(WaveformKind::Organ), kClarinet = code(WaveformKind::Clarinet);
constexpr std::array<int32_t, 6> kNoises = {code(WaveformKind::Noise1), code(WaveformKind::Noise2),
                                            code(WaveformKind::Noise3), code(WaveformKind::Noise4),
                                            code(WaveformKind::Noise5), code(WaveformKind::Noise6)};
constexpr int32_t kNoise5 = kNoises[4], kNoise6 = kNoises[5];

// Points gathered in time order, handed to an Envelope whole.
struct Curve {
    std::vector<float> times;
    std::vector<float> values;

    void add(float t, float v) {
        times.push_back(t);
        values.push_back(std::min(std::max(v, 0.0f), 1.0f));
    }
    void assignTo(Envelope& envelope) const { envelope.assign(times, values); }
};

// The highest amplitude value that cannot reach full scale with the echo: the
// feedback echo adds at most echoVolume / 2 of the output to itself, so the
// output stays below peak / (1 - echoVolume / 2), and distortion never lifts
// it above the peak. The margin of 5% keeps the truncated 8-bit samples off
// the limit too.
float loudest(float echoVolume) { return static_cast<float>(0.95 * (1.0 - 0.5 * double(echoVolume))); }

// The highest point of a curve (0 for one without points).
float curvePeak(const Envelope& curve) {
    float peak = 0.0f;
    for (float v : curve.values()) peak = std::max(peak, v);
    return peak;
}

float level(SeededRandom& rng, float lo, float hi, float echoVolume) {
    return std::min(rng.between(lo, hi), loudest(echoVolume));
}

float scaled(float v, float factor) { return static_cast<float>(double(v) * double(factor)); }
float plus(float a, float b) { return static_cast<float>(double(a) + double(b)); }

// A limit on a whole sound's duration with a hundredth to spare for the
// roundings of the delay and the duration to float.
constexpr double within(double ms) { return 0.99 * ms; }

// An echo in `percent` of the sounds. Its tail lengthens the sound by three
// delays, so the delay is held low enough that the whole sound lasts at most
// `maxTotalMs`; a main part too long for even the shortest delay gets none.
// The length must be drawn first.
void echo(SeededRandom& rng, SoundSettings& s, int percent, float maxVolume, float minDelay, float maxDelay,
          double maxTotalMs = 1e9) {
    if (!rng.chance(percent)) return;
    const double room = (maxTotalMs / lengthMs(s.length) - 1.0) / 3.0;
    if (room < double(maxDelay)) maxDelay = static_cast<float>(room);
    if (!(maxDelay >= minDelay)) return;
    s.echoVolume = rng.between(0.1f, maxVolume);
    s.echoDelay = rng.between(minDelay, maxDelay);
}

// Full level at once (or after a short rise), held, then faded to silence.
Curve strikeAndFade(SeededRandom& rng, float peak, float holdLo, float holdHi, int softStartPercent) {
    Curve c;
    if (rng.chance(softStartPercent)) {
        c.add(0.0f, 0.0f);
        c.add(rng.between(0.02f, 0.08f), peak);
    } else {
        c.add(0.0f, peak);
    }
    const float holdEnd = std::max(rng.between(holdLo, holdHi), c.times.back());
    c.add(holdEnd, scaled(peak, rng.between(0.6f, 1.0f)));
    c.add(1.0f, 0.0f);
    return c;
}

// Two or three notes, each a step up, the first short: the pickup chime, at
// most 0.6 s with its echo.
void coin(SeededRandom& rng, SoundSettings& s) {
    s.waveform = rng.pick(std::array<int32_t, 7>{kSquare, kPulse, kTriangle, kSine, kSaw, kWhistle, kOrgan});
    s.length = rng.between(0.12f, 0.21f);
    echo(rng, s, 35, 0.4f, 0.1f, 0.3f, within(600));
    const int notes = rng.chance(70) ? 2 : 3;
    float note = rng.between(0.64f, 0.78f);
    float t = rng.between(0.08f, 0.3f);
    Curve f;
    f.add(0.0f, note);
    for (int i = 1; i < notes; ++i) {
        f.add(t, note);
        note = plus(note, rng.between(0.055f, 0.12f));
        f.add(t, note);
        t = plus(t, rng.between(0.08f, 0.25f));
    }
    f.add(1.0f, note);
    f.assignTo(s.frequency);
    const float peak = level(rng, 0.45f, 0.75f, s.echoVolume);
    strikeAndFade(rng, peak, 0.25f, 0.6f, 30).assignTo(s.amplitude);
}

// A quick fall of pitch, most of it early; at most 0.7 s with its echo.
void laser(SeededRandom& rng, SoundSettings& s) {
    s.waveform = rng.pick(std::array<int32_t, 7>{kSquare, kSaw, kPulse, kTriangle, kSine, kDown, kBipolar});
    s.length = rng.between(0.1f, 0.23f);
    echo(rng, s, 30, 0.4f, 0.1f, 0.3f, within(700));
    if (rng.chance(20)) s.distort = rng.between(0.05f, 0.3f);
    const float start = rng.between(0.7f, 0.95f);
    const float end = plus(start, -rng.between(0.25f, std::min(0.6f, plus(start, -0.05f))));
    Curve f;
    f.add(0.0f, start);
    const float bend = rng.between(0.15f, 0.5f);
    f.add(bend, plus(end, scaled(plus(start, -end), rng.between(0.1f, 0.5f))));
    f.add(1.0f, end);
    f.assignTo(s.frequency);
    const float peak = level(rng, 0.45f, 0.7f, s.echoVolume);
    strikeAndFade(rng, peak, 0.1f, 0.5f, 0).assignTo(s.amplitude);
}

// Low noise that bursts at once and rumbles away, 0.48 s or longer. Only the
// two finest noises: the coarser tables repeat a few steps at the pitch and
// hum like an engine.
void explosion(SeededRandom& rng, SoundSettings& s) {
    s.waveform = rng.chance(50) ? kNoise5 : kNoise6;
    s.length = rng.between(0.22f, 0.42f);
    echo(rng, s, 50, 0.5f, 0.1f, 0.35f);
    // Light distortion only: a clip level below the rumble would make it as
    // loud as the burst.
    if (rng.chance(40)) s.distort = rng.between(0.1f, 0.35f);
    const float start = rng.between(0.2f, 0.45f);
    const float end = rng.between(0.02f, scaled(start, 0.6f));
    Curve f;
    f.add(0.0f, start);
    const float bend = rng.between(0.2f, 0.6f);
    f.add(bend, rng.between(end, start));
    f.add(1.0f, end);
    f.assignTo(s.frequency);
    // The burst is the only point at the peak, within the first tenth, and the
    // level falls to at most 60% of it soon after: the blast is the loudest part.
    const float peak = level(rng, 0.6f, 0.85f, s.echoVolume);
    Curve a;
    float burst = 0.0f;
    if (rng.chance(50)) {
        a.add(0.0f, scaled(peak, rng.between(0.3f, 0.8f)));
        burst = rng.between(0.01f, 0.1f);
    }
    a.add(burst, peak);
    const float rumble = plus(burst, rng.between(0.08f, 0.25f));
    a.add(rumble, scaled(peak, rng.between(0.3f, 0.6f)));
    a.add(1.0f, 0.0f);
    a.assignTo(s.amplitude);
}

// A climb of 0.25 to 0.45 in pitch: a smooth sweep, a staircase of notes or a
// rising wobble.
void powerup(SeededRandom& rng, SoundSettings& s) {
    s.waveform = rng.pick(std::array<int32_t, 8>{kSquare, kTriangle, kSine, kSaw, kPulse, kWhistle, kOrgan, kClarinet});
    s.length = rng.between(0.2f, 0.34f);
    echo(rng, s, 40, 0.4f, 0.1f, 0.3f);
    const float start = rng.between(0.35f, 0.55f);
    const float rise = rng.between(0.25f, 0.45f);
    const float top = plus(start, rise);
    Curve f;
    f.add(0.0f, start);
    switch (rng.below(3)) {
    case 0:  // sweep, straight or bent
        if (rng.chance(50)) {
            const float bend = rng.between(0.3f, 0.7f);
            f.add(bend, plus(start, scaled(rise, rng.between(0.3f, 0.8f))));
        }
        break;
    case 1: {  // staircase: vertical steps at equal spacing
        const int notes = 3 + rng.below(4);
        for (int k = 1; k < notes; ++k) {
            const float t = float(k) / float(notes);
            f.add(t, f.values.back());
            f.add(t, plus(start, scaled(rise, float(k) / float(notes - 1))));
        }
        break;
    }
    default: {  // wobble: each tooth climbs past the last and dips back a little
        const int teeth = 3 + rng.below(3);
        const float dip = scaled(rise, rng.between(0.1f, 0.4f) / float(teeth));
        for (int k = 1; k < teeth; ++k) {
            const float high = plus(start, scaled(rise, float(k) / float(teeth)));
            f.add(float(k) / float(teeth), high);
            f.add(float(2 * k + 1) / float(2 * teeth), plus(high, -dip));
        }
        break;
    }
    }
    f.add(1.0f, top);
    f.assignTo(s.frequency);
    const float peak = level(rng, 0.4f, 0.7f, s.echoVolume);
    strikeAndFade(rng, peak, 0.5f, 0.85f, 40).assignTo(s.amplitude);
}

// A short knock, at most 0.35 s with its echo: mostly noise, else a buzzy
// tone, falling a little, often crunched.
void hit(SeededRandom& rng, SoundSettings& s) {
    s.waveform = rng.chance(65) ? rng.pick(kNoises) : rng.pick(std::array<int32_t, 4>{kSquare, kSaw, kDown, kBipolar});
    s.length = rng.between(0.06f, 0.17f);
    echo(rng, s, 15, 0.3f, 0.1f, 0.25f, within(350));
    if (rng.chance(40)) s.distort = rng.between(0.1f, 0.6f);
    const float start = rng.between(0.3f, 0.65f);
    const float end = plus(start, -rng.between(0.05f, 0.3f));
    Curve f;
    f.add(0.0f, start);
    const float bend = rng.between(0.1f, 0.5f);
    f.add(bend, rng.between(end, start));
    f.add(1.0f, end);
    f.assignTo(s.frequency);
    const float peak = level(rng, 0.5f, 0.8f, s.echoVolume);
    strikeAndFade(rng, peak, 0.05f, 0.3f, 0).assignTo(s.amplitude);
}

// Pitch springs up to a top, then may sink back by up to half the rise: every
// point after the first is above it. 0.15 to 0.45 s with its echo.
void jump(SeededRandom& rng, SoundSettings& s) {
    s.waveform = rng.pick(std::array<int32_t, 6>{kSquare, kPulse, kTriangle, kSine, kSaw, kWhistle});
    s.length = rng.between(0.125f, 0.19f);
    echo(rng, s, 20, 0.3f, 0.1f, 0.3f, within(450));
    const float start = rng.between(0.45f, 0.65f);
    const float rise = rng.between(0.1f, 0.3f);
    Curve f;
    f.add(0.0f, start);
    const float top = rng.between(0.4f, 0.9f);
    f.add(top, plus(start, rise));
    f.add(1.0f, plus(start, scaled(rise, rng.between(0.5f, 1.0f))));
    f.assignTo(s.frequency);
    const float peak = level(rng, 0.45f, 0.75f, s.echoVolume);
    strikeAndFade(rng, peak, 0.3f, 0.7f, 30).assignTo(s.amplitude);
}

// A short steady beep, sometimes with a small step: menus and cursors. At
// most 0.144 s, and no echo.
void blip(SeededRandom& rng, SoundSettings& s) {
    s.waveform = rng.pick(std::array<int32_t, 6>{kSquare, kPulse, kSine, kTriangle, kWhistle, kOrgan});
    s.length = rng.between(0.05f, 0.12f);
    const float pitch = rng.between(0.5f, 0.85f);
    Curve f;
    f.add(0.0f, pitch);
    if (rng.chance(30)) {
        const float t = rng.between(0.3f, 0.7f);
        f.add(t, pitch);
        f.add(t, plus(pitch, rng.between(-0.08f, 0.08f)));
    }
    f.add(1.0f, f.values.back());
    f.assignTo(s.frequency);
    const float peak = level(rng, 0.45f, 0.7f, s.echoVolume);
    Curve a;
    a.add(0.0f, peak);
    a.add(rng.between(0.5f, 0.9f), peak);
    a.add(1.0f, 0.0f);
    a.assignTo(s.amplitude);
}

// 2 to 7 points at random times (the inner ones sorted) with random values.
Curve anyCurve(SeededRandom& rng, float lo, float hi) {
    const int n = 2 + rng.below(6);
    std::vector<float> inner;
    for (int i = 2; i < n; ++i) inner.push_back(rng.between(0.02f, 0.98f));
    std::sort(inner.begin(), inner.end());
    Curve c;
    c.add(0.0f, rng.between(lo, hi));
    for (float t : inner) c.add(t, rng.between(lo, hi));
    c.add(1.0f, rng.between(lo, hi));
    return c;
}

// Anything at all, within the ranges a game sound uses, quality included.
void anything(SeededRandom& rng, SoundSettings& s) {
    s.waveform = rng.pick(waveforms::kButtonOrder).code();
    s.sampleRate = rng.pick(sound_quality::kSampleRates);
    s.bitsPerSample = sound_quality::kSampleWidths[rng.chance(50) ? 0 : 1];
    s.length = rng.between(0.08f, 0.5f);
    s.repeatCount = rng.chance(80) ? 1 : 2 + rng.below(2);
    echo(rng, s, 40, 0.6f, 0.05f, 0.5f);
    if (rng.chance(30)) s.distort = rng.between(0.05f, 0.8f);
    anyCurve(rng, 0.1f, 0.9f).assignTo(s.frequency);
    // One point is the peak, so the curve is never silent; the rest lie below.
    const float peak = level(rng, 0.4f, 0.8f, s.echoVolume);
    Curve a = anyCurve(rng, 0.0f, peak);
    if (rng.chance(60)) a.values.back() = 0.0f;
    a.values[size_t(rng.below(int(a.values.size())))] = peak;
    a.assignTo(s.amplitude);
}

using Recipe = void (*)(SeededRandom&, SoundSettings&);

struct Template {
    const char* name;
    Recipe recipe;
};

constexpr std::array<Template, 8> kTemplates = {{
    {"coin", coin},
    {"laser", laser},
    {"explosion", explosion},
    {"powerup", powerup},
    {"hit", hit},
    {"jump", jump},
    {"blip", blip},
    {"random", anything},
}};

const Template* find(const std::string& name) {
    for (const Template& t : kTemplates)
        if (name == t.name) return &t;
    return nullptr;
}

}  // namespace

const std::vector<std::string>& names() {
    static const std::vector<std::string> list = [] {
        std::vector<std::string> v;
        for (const Template& t : kTemplates) v.emplace_back(t.name);
        return v;
    }();
    return list;
}

bool isKnown(const std::string& name) { return find(name) != nullptr; }

std::optional<SoundSettings> generate(const std::string& name, uint64_t seed, const SoundSettings& keepQualityFrom) {
    const Template* t = find(name);
    if (!t) return std::nullopt;
    SoundSettings s;
    s.distort = 0.0f;
    s.echoVolume = 0.0f;
    s.echoDelay = 0.0f;
    s.repeatCount = 1;
    s.sampleRate = keepQualityFrom.sampleRate;
    s.bitsPerSample = keepQualityFrom.bitsPerSample;
    SeededRandom rng(seed);
    t->recipe(rng, s);
    return s;
}

std::optional<SoundSettings> generate(const std::string& name, uint64_t seed, const SoundSettings& base,
                                      KeptParts kept) {
    const std::optional<SoundSettings> made = generate(name, seed, base);
    if (!made || kept.empty()) return made;
    SoundSettings s = kept.applied(*made, base);
    const bool effects = kept.has(SoundPart::Effects);
    if (kept.has(SoundPart::Length) && !effects && s.echoDelay > 0.0f) {
        // The template drew the delay for its own length: the echo keeps its
        // spacing in ms rather than its share of a length it was not drawn for.
        const double ms = double(made->echoDelay) * lengthMs(made->length);
        s.echoDelay = static_cast<float>(std::min(1.0, ms / lengthMs(s.length)));
    }
    if (kept.has(SoundPart::Amplitude) && !effects) {
        const float peak = curvePeak(s.amplitude);
        while (s.echoVolume > 0.0f && loudest(s.echoVolume) < peak) {
            // The largest volume under which the peak fits, found from the
            // formula and then stepped down past its rounding.
            const float fits = static_cast<float>(2.0 * (1.0 - double(peak) / 0.95));
            s.echoVolume = fits < s.echoVolume ? std::max(fits, 0.0f) : std::nextafter(s.echoVolume, 0.0f);
        }
        if (!(s.echoVolume > 0.0f)) {
            s.echoVolume = 0.0f;
            s.echoDelay = 0.0f;
        }
    }
    if (effects && !kept.has(SoundPart::Amplitude)) {
        const float limit = loudest(std::min(std::max(s.echoVolume, 0.0f), 1.0f));
        const float peak = curvePeak(s.amplitude);
        if (peak > limit) {
            const double factor = double(limit) / double(peak);
            std::vector<float> values = s.amplitude.values();
            for (float& v : values) v = std::min(static_cast<float>(double(v) * factor), limit);
            s.amplitude.assign(s.amplitude.times(), values);
        }
    }
    return s;
}

}  // namespace sound_templates
