#include "core/WaveformTable.h"

#include "core/NoiseGenerator.h"
#include "core/Waveforms.h"

#include <cmath>

namespace {

// The angle of one degree as the tables have always been built with: a little
// below pi/180 (sine entry 180 is 1.2e-5, not 0). Changing it changes sounds.
constexpr float K = 0.017453225f;

double angle(int harmonic, int i) { return double(harmonic * i) * double(K); }
// Clarinet and Bassoon take sine and cosine of the angle rounded to float.
double rounded(int harmonic, int i) { return double(float(angle(harmonic, i))); }

double down(int i) {
    constexpr float D = 0.033333335f;  // 1/30 in single precision
    return 2.0 / (double(i) * double(D) + 1.0) - 1.0;
}

double entry(int32_t kind, int i) {
    using std::cos;
    using std::sin;
    switch (static_cast<WaveformKind>(kind)) {
    case WaveformKind::Whistle: return 0.65 * cos(angle(1, i)) + 0.195 * cos(angle(20, i));
    case WaveformKind::Square: return i < 180 ? 1.0 : -1.0;
    case WaveformKind::Saw: {
        constexpr float S = 0.0055555557f;  // 1/180
        return i < 180 ? double(i) * double(S) : double(i) * double(S) - 2.0;
    }
    case WaveformKind::Triangle: {
        constexpr float T = 0.011111111f;  // 1/90
        if (i < 90) return double(i) * double(T);
        if (i < 270) return 1.0 - double(i - 90) * double(T);
        return double(i - 270) * double(T) - 1.0;
    }
    case WaveformKind::Pulse: return (i >= 144 && i <= 216) ? 1.0 : -1.0;
    case WaveformKind::Bipolar:
        if (i >= 61 && i <= 119) return -1.0;
        if (i >= 241 && i <= 299) return 1.0;
        return 0.0;
    case WaveformKind::Down: return down(i);
    case WaveformKind::Up: return down(359 - i);
    case WaveformKind::Organ: {
        double sum = 0.0;
        double weight = 1.0;
        for (int h = 1; h <= 64; h *= 2, weight *= 0.5) sum += weight * sin(angle(h, i));
        return double(0.73f) * sum;
    }
    case WaveformKind::Clarinet: {
        const double a1 = rounded(1, i), a3 = rounded(3, i), a5 = rounded(5, i);
        return 0.3 * (cos(a1) + cos(a5)) + 0.096 * sin(a5) + 0.6 * sin(a1) + 0.24 * sin(a3) + 0.18 * cos(a3);
    }
    case WaveformKind::Bassoon: {
        const double a1 = rounded(1, i), a2 = rounded(2, i), a3 = rounded(3, i), a4 = rounded(4, i), a5 = rounded(5, i);
        return 0.35 * (0.2 * (sin(a2) + cos(a4) + cos(a5)) + 0.32 * cos(a1) + 0.04 * sin(a1) + 0.6 * cos(a2) +
                       0.3 * sin(a4) + 0.1 * sin(a5) + cos(a3) + sin(a3) - 0.25);
    }
    default: return sin(angle(1, i));
    }
}

}  // namespace

WaveformTable::WaveformTable() { build(waveforms::code(WaveformKind::Sine)); }

void WaveformTable::build(int32_t kind) {
    kind_ = kind;
    if (waveforms::isNoise(kind)) {
        buildNoise(kind);
        return;
    }
    for (int i = 0; i < kSize; ++i) values_[size_t(i)] = static_cast<float>(entry(kind, i));
}

void WaveformTable::buildNoise(int32_t kind) {
    static constexpr int kRunLength[] = {24, 12, 8, 4, 2, 1};
    const int index = kind - waveforms::code(WaveformKind::Noise1);  // 0 for Noise 1
    const int run = kRunLength[index];
    NoiseGenerator random(static_cast<uint32_t>(index + 1));
    double max = 0.0;
    double min = 0.0;
    for (int i = 0; i < kSize; i += run) {
        const int r = random.next() % 512;
        const float v = static_cast<float>((r - 256) * 0.00390625);
        for (int j = 0; j < run; ++j) values_[size_t(i + j)] = v;
        if (v > max) max = v;
        if (v < min) min = v;
    }
    // Stretch to span exactly -1..+1.
    const double mid = (min + max) * 0.5;
    const double half = (max - min) * 0.5;
    for (float& e : values_) e = static_cast<float>((double(e) - mid) / half);
}
