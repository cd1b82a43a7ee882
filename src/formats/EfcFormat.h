#pragma once

#include "formats/DecodeResult.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// The old fixed-size sound file, read only. It stores fixed-point points, a
// whole waveform cycle and a length in samples; the conversions below turn
// those into today's settings. The offsets are that format's and never change.
namespace efc {

constexpr int kRecordBytes = 1578;
constexpr int kMaxPoints = 12;  // each curve has a 48-byte block of 4-byte points
constexpr int kAmplitudeCountAt = 4;
constexpr int kAmplitudePointsAt = 8;
constexpr int kFrequencyPointsAt = 56;
constexpr int kCycleAt = 104;     // 360 floats, one per degree
constexpr int kCycleEntry = 20;   // the one entry that tells the waveforms apart
constexpr int kEffectsAt = 1544;  // echo volume, echo delay, distortion as x256
constexpr int kRateAt = 1560;
constexpr int kSampleCountAt = 1568;
constexpr int kRepeatsAt = 1576;
constexpr double kFixedOne = 256.0;  // fixed-point 1.0

// Waveform code from entry 20 of the old cycle: trunc(x * 1000) tells the
// old sine, saw, organ and square apart; anything else was a noise.
int32_t waveformFromCycleEntry(float entry);
// Length slider position whose duration is that of `samples` at `rate`,
// limited to 0..1 (0 for a result that is not a number).
float lengthFromSamples(uint32_t samples, int32_t rate);

// Parses the first 1578 of the `size` bytes at `data`; later bytes are ignored.
DecodeResult decode(const uint8_t* data, size_t size);
inline DecodeResult decode(const std::vector<uint8_t>& bytes) { return decode(bytes.data(), bytes.size()); }

}  // namespace efc
