#include "ui/controls/SliderValue.h"

#include <algorithm>
#include <cmath>

namespace slider_value {

namespace {

enum { kLength = 0, kDistort = 1, kEchoVolume = 2, kEchoDelay = 3 };

// Toward zero, as the captions show numbers; nothing that is not a number
// shows as 0.
int truncated(double v) {
    if (std::isnan(v)) return 0;
    return static_cast<int>(std::clamp(v, -1e9, 1e9));
}

// The whole number a position shows in a slider's unit.
int shownAt(int slider, const SoundSettings& settings, float position) {
    switch (slider) {
    case kLength: return truncated(lengthMs(position));
    case kEchoDelay: return truncated(double(position) * lengthMs(settings.length));
    default: return truncated(double(position) * 100.0);
    }
}

// From a first guess, the nearest float that shows `value`: the guess may
// sit an ulp on the wrong side of the whole number.
std::optional<float> settle(int slider, const SoundSettings& settings, float guess, int value) {
    float p = std::clamp(guess, 0.0f, 1.0f);
    for (int i = 0; i < 64 && p < 1.0f && shownAt(slider, settings, p) < value; ++i) p = std::nextafter(p, 2.0f);
    for (int i = 0; i < 64 && p > 0.0f && shownAt(slider, settings, p) > value; ++i) p = std::nextafter(p, -1.0f);
    if (shownAt(slider, settings, p) != value) return std::nullopt;
    return p;
}

QString withUnit(const Field& field, int value) {
    return field.unit == QLatin1String("%") ? QStringLiteral("%1%").arg(value)
                                            : QStringLiteral("%1 %2").arg(value).arg(field.unit);
}

// The text without blanks and without the unit, if it was written.
QString number(const Field& field, const QString& text) {
    QString t = text.trimmed();
    if (t.endsWith(field.unit, Qt::CaseInsensitive)) t = t.chopped(field.unit.size()).trimmed();
    return t;
}

}  // namespace

float stepped(float position, int notches) {
    const SoundSettings none;
    const int now = std::clamp(shownAt(kDistort, none, position), 0, kStepsPerTrack);
    const int next = std::clamp(now + notches, 0, kStepsPerTrack);
    // A position past either end comes back onto the track.
    return settle(kDistort, none, static_cast<float>(next / double(kStepsPerTrack)), next).value_or(position);
}

Field field(int slider, const SoundSettings& settings) {
    Field f;
    f.slider = slider;
    switch (slider) {
    case kLength:
        f = {slider,
             QStringLiteral("Length"),
             QStringLiteral("ms"),
             20,
             10000,
             shownAt(slider, settings, settings.length)};
        break;
    case kDistort:
        f = {slider,
             QStringLiteral("Distort"),
             QStringLiteral("%"),
             0,
             100,
             shownAt(slider, settings, settings.distort)};
        break;
    case kEchoVolume:
        f = {slider,
             QStringLiteral("Echo Volume"),
             QStringLiteral("%"),
             0,
             100,
             shownAt(slider, settings, settings.echoVolume)};
        break;
    case kEchoDelay:
        f = {slider, QStringLiteral("Echo Delay"),         QStringLiteral("ms"),
             0,      truncated(lengthMs(settings.length)), shownAt(slider, settings, settings.echoDelay)};
        break;
    default: break;
    }
    return f;
}

std::optional<int> read(const Field& field, const QString& text) {
    bool ok = false;
    const int value = number(field, text).toInt(&ok);
    if (!ok || value < field.minimum || value > field.maximum) return std::nullopt;
    return value;
}

QString range(const Field& field) {
    if (field.slider == kEchoDelay)
        return QStringLiteral("From %1 to the Length, %2.")
            .arg(withUnit(field, field.minimum), withUnit(field, field.maximum));
    return QStringLiteral("From %1 to %2.").arg(withUnit(field, field.minimum), withUnit(field, field.maximum));
}

QString refusal(const Field& field, const QString& text) {
    bool ok = false;
    const int value = number(field, text).toInt(&ok);
    if (!ok)
        return QStringLiteral("Type a whole number from %1 to %2.")
            .arg(withUnit(field, field.minimum), withUnit(field, field.maximum));
    if (value < field.minimum)
        return QStringLiteral("%1 can't be less than %2.").arg(field.name, withUnit(field, field.minimum));
    if (value > field.maximum) {
        // The delay is a share of the length: the length bounds it.
        if (field.slider == kEchoDelay)
            return QStringLiteral("%1 can't be longer than the Length, %2.")
                .arg(field.name, withUnit(field, field.maximum));
        return QStringLiteral("%1 can't be more than %2.").arg(field.name, withUnit(field, field.maximum));
    }
    return QString();
}

std::optional<float> position(const Field& field, const SoundSettings& settings, int value) {
    if (value < field.minimum || value > field.maximum) return std::nullopt;
    switch (field.slider) {
    case kLength: return settle(kLength, settings, static_cast<float>(std::sqrt(value / 10000.0)), value);
    case kEchoDelay: return settle(kEchoDelay, settings, static_cast<float>(value / lengthMs(settings.length)), value);
    default: return settle(field.slider, settings, static_cast<float>(value / 100.0), value);
    }
}

}  // namespace slider_value
