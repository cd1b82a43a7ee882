#pragma once

#include "core/SampleRender.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace sample_render {

// The frequency values of the main part and their cheap phase increments,
// made on a helper thread ahead of the render and handed over through a ring:
// the values the render would make itself, by the same formula at the same
// samples (the frequency curve's segments are found the same way), and
// increments within the phase step's margin, which is all the phase chain
// asks of them. The render never waits: what is not made yet when it gets
// there it makes itself, and the helper skips ahead past it. A helper kept
// off its core costs nothing but its help.
class FrequencyAhead {
public:
    // For the main part's samples [from, end).
    FrequencyAhead(const Input& in, int32_t from, int32_t end)
        : in_(in), from_(from), end_(end), made_(from), used_(from) {}

    // The helper's part: the samples in order from where the render is,
    // waiting for room in the ring, until the end or stop().
    void produce();
    // Samples [n, n + len) when they are made (in the ring, or copied into
    // the arrays given when they wrap round it), else false. Either way the
    // render calls release(n + len) once it is past them. In order.
    bool take(int32_t n, int32_t len, const float*& freqs, const double*& incs, float* freqCopy, double* incCopy);
    void release(int32_t end) { used_.store(end, std::memory_order_release); }
    void stop() { stop_.store(true, std::memory_order_release); }

    // The helper pays from about this many samples on.
    static constexpr int32_t kWorthIt = 1 << 16;

private:
    static constexpr int32_t kPiece = 256;     // samples the helper makes at a time
    static constexpr int32_t kRing = 1 << 14;  // samples held at once, a multiple of kPiece
    static constexpr int32_t slot(int32_t n) { return n & (kRing - 1); }

    const Input& in_;
    const int32_t from_, end_;
    std::vector<float> freqs_ = std::vector<float>(size_t(kRing));
    std::vector<double> incs_ = std::vector<double>(size_t(kRing));
    std::atomic<int32_t> made_, used_;
    std::atomic<bool> stop_{false};
};

}  // namespace sample_render
