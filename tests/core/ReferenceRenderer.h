#pragma once

#include <cstdint>
#include <vector>

class Envelope;
class WaveformTable;

// The render algorithm written out plainly, step by step, with no shortcuts:
// the yardstick the real renderer must match bit for bit.
std::vector<uint8_t> referenceRender(const WaveformTable& table, const Envelope& amplitude, const Envelope& frequency,
                                     float echoVolume, float echoDelay, float distort, int rate, int bits,
                                     float lengthMs, float totalMs);
