#pragma once

// The pitch of a frequency-envelope value v is 10 * 10^(kLog484 * v) Hz:
// 10 Hz at 0, 220 Hz at 0.5, 4840 Hz at 1.
namespace frequency_scale {

// log10(484) as the single-precision constant the renderer has always used;
// changing it would change every rendered sound.
constexpr float kLog484 = 2.6848454f;

// Hz of an envelope value.
double toHz(float v);
// Envelope value of a frequency in Hz, limited to 0..1 (a typed frequency).
float fromHz(double hz);

}  // namespace frequency_scale
