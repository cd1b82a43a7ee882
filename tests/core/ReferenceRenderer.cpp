#include "ReferenceRenderer.h"

#include "core/Envelope.h"
#include "core/WaveformTable.h"

#include <cmath>

namespace {

float slope(const Envelope& e, int i) {
    const double dt = double(e.time(i + 1)) - double(e.time(i));
    if (dt == 0.0) return 0.0f;  // a zero-duration segment is flat
    const float k = float((double(e.value(i + 1)) - double(e.value(i))) / dt);
    return std::isfinite(k) ? k : 0.0f;  // so is one too short for its slope to be a float
}

int readBack(const std::vector<uint8_t>& out, int bits, int m) {
    if (bits == 8) return int(out[size_t(m)]) - 128;
    return int(int16_t(uint16_t(out[2 * size_t(m)] | (out[2 * size_t(m) + 1] << 8))));
}

}  // namespace

std::vector<uint8_t> referenceRender(const WaveformTable& table, const Envelope& A, const Envelope& F, float a, float b,
                                     float c, int rate, int bits, float lengthMs, float totalMs) {
    const double S = bits == 8 ? 128.0 : 32768.0;
    if (c > 0.99f) c = 0.99f;
    double peak = 0.0;
    for (int i = 0; i < A.pointCount(); ++i)
        if (A.value(i) > peak) peak = A.value(i);
    const float keep = float(1.0 - double(c));
    const float X = float(double(keep) * peak * S);
    const int N = int(double(rate) * double(totalMs) * double(0.001f));
    const int W = int(double(rate) * double(lengthMs) * double(0.001f));
    std::vector<uint8_t> out(size_t(N) * size_t(bits / 8));
    if (N < 1) return out;

    float phase = 0.0f;
    int sA = 0, sF = 0;
    float slopeA = slope(A, 0);
    float slopeF = slope(F, 0);
    float freq = F.value(0);
    for (int n = 0; n < N; ++n) {
        double y;
        if (sF >= F.pointCount() - 1 || sA >= A.pointCount() - 1 || n >= W) {
            y = 0.0;
        } else {
            const double t = double(n) / double(W);
            while (t > A.time(sA + 1)) {
                slopeA = slope(A, sA + 1);
                sA = sA + 1;
            }
            while (t > F.time(sF + 1)) {
                slopeF = slope(F, sF + 1);
                sF = sF + 1;
            }
            freq = float(double(F.value(sF)) + (t - double(F.time(sF))) * double(slopeF));
            const double amp = double(A.value(sA)) + (t - double(A.time(sA))) * double(slopeA);
            int index = int(phase);
            if (index == 360) index = 0;
            y = amp * double(table[index]) * S;
        }
        if (c > 0.0f) {
            if (y > X)
                y = X;
            else if (y < -X)
                y = -X;
            y = y / keep;
        }
        if (a > 0.0f && b > 0.0f) {
            const int delay = int(double(W) * double(b));
            const int m = n - delay;
            if (delay >= 1 && m >= 0) y = y + double(readBack(out, bits, m)) * double(a) * 0.5;
        }
        if (bits == 8) {
            int byte;
            if (y < -127.0) {
                byte = 1;
            } else {
                if (y > 127.0) y = 127.0;
                byte = int(y) + 128;
            }
            out[size_t(n)] = uint8_t(byte);
        } else {
            if (y > 32767.0) y = 32767.0;
            if (y < -32767.0) y = -32767.0;
            const int16_t sample = int16_t(y);
            out[2 * size_t(n)] = uint8_t(uint16_t(sample) & 0xFF);
            out[2 * size_t(n) + 1] = uint8_t(uint16_t(sample) >> 8);
        }
        const double inc = std::pow(10.0, double(freq) * double(2.6848454f)) * 3600.0 / double(rate);
        phase = float(std::fmod(double(phase) + inc, 360.0));
    }
    return out;
}
