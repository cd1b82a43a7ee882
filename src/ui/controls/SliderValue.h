#pragma once

#include "core/SoundSettings.h"

#include <QString>

#include <optional>

// The four sliders' values as the user reads and types them, and the wheel's
// step. Sliders are named by their index in the editor's order: Length,
// Distort, Echo Volume, Echo Delay.
namespace slider_value {

// One wheel notch moves a slider by a hundredth of its track, to the
// hundredth next to the one it shows; positions stay within 0..1.
constexpr int kStepsPerTrack = 100;
float stepped(float position, int notches);

// What the value dialog of a slider asks for: whole numbers in `unit` from
// `minimum` to `maximum`, starting from `shown`.
struct Field {
    int slider = 0;
    QString name;  // "Length", "Distort", "Echo Volume", "Echo Delay"
    QString unit;  // "ms" or "%"
    int minimum = 0;
    int maximum = 0;
    int shown = 0;
};

// The field of a slider over the settings it shows: Length in ms (20 to
// 10000), Distort and Echo Volume in percent, Echo Delay in ms from 0 to the
// main part's length (the delay is that fraction of it).
Field field(int slider, const SoundSettings& settings);

// The value the text holds when it is a whole number in the field's range,
// written with or without the unit.
std::optional<int> read(const Field& field, const QString& text);
// The range in words: "From 20 ms to 10000 ms."
QString range(const Field& field);
// Why the text is refused; empty when read() takes it.
QString refusal(const Field& field, const QString& text);

// The position that shows `value` exactly in the field (as the caption
// truncates it); nothing outside the range.
std::optional<float> position(const Field& field, const SoundSettings& settings, int value);

}  // namespace slider_value
