#include "core/FrequencyAhead.h"

#include "core/CurveWalk.h"
#include "core/Envelope.h"
#include "core/PhaseStep.h"

#include <algorithm>
#include <cstring>
#include <thread>

namespace sample_render {

using curve_walk::firstBeyond;
using curve_walk::seek;
using curve_walk::slopeOf;

void FrequencyAhead::produce() {
    const float* Ft = in_.frequency->times().data();
    const float* Fv = in_.frequency->values().data();
    const int nF = in_.frequency->pointCount();
    const double W = double(in_.W);
    const double rate = double(in_.rate);
    int sF = 0;
    float slopeF = nF >= 2 ? slopeOf(Ft, Fv, 0) : 0.0f;
    double times[kPiece];
    int32_t m = from_;
    while (nF >= 2 && m < end_ && !stop_.load(std::memory_order_acquire)) {
        if (!seek(double(m) / W, Ft, Fv, nF, sF, slopeF)) break;
        const int32_t runEnd = firstBeyond(double(Ft[sF + 1]), m + 1, end_, W);
        const double f0 = Fv[sF], tf = Ft[sF], kf = slopeF;
        while (m < runEnd && !stop_.load(std::memory_order_acquire)) {
            // Past what the render has made itself.
            const int32_t at = used_.load(std::memory_order_acquire);
            if (at > m) {
                m = at;
                made_.store(m, std::memory_order_release);
                if (m >= runEnd) break;  // on to the segment there
            }
            // Blocks never cross a multiple of kPiece, so never the ring's end.
            const int32_t len = std::min(kPiece - m % kPiece, runEnd - m);
            while (m + len - used_.load(std::memory_order_acquire) > kRing) {
                if (stop_.load(std::memory_order_acquire)) return;
                std::this_thread::yield();
            }
            if (kf != 0.0) {
                // In loops of their own, which vectorise, as the render's.
                float* freqs = freqs_.data() + slot(m);
                for (int32_t i = 0; i < len; ++i) times[i] = double(m + i) / W;
                for (int32_t i = 0; i < len; ++i) freqs[i] = static_cast<float>(f0 + (times[i] - tf) * kf);
                phase_step::approxIncrements(freqs, len, rate, incs_.data() + slot(m));
            }
            m += len;
            made_.store(m, std::memory_order_release);
        }
    }
}

bool FrequencyAhead::take(int32_t n, int32_t len, const float*& freqs, const double*& incs, float* freqCopy,
                          double* incCopy) {
    if (made_.load(std::memory_order_acquire) < n + len) return false;
    const int32_t at = slot(n);
    const int32_t first = std::min(len, kRing - at);
    freqs = freqs_.data() + at;
    incs = incs_.data() + at;
    if (first < len) {
        std::memcpy(freqCopy, freqs, size_t(first) * sizeof(float));
        std::memcpy(freqCopy + first, freqs_.data(), size_t(len - first) * sizeof(float));
        std::memcpy(incCopy, incs, size_t(first) * sizeof(double));
        std::memcpy(incCopy + first, incs_.data(), size_t(len - first) * sizeof(double));
        freqs = freqCopy;
        incs = incCopy;
    }
    return true;
}

}  // namespace sample_render
