#include "core/PhaseMemory.h"

#include "core/CurveWalk.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace sample_render {
namespace {

// Bit for bit, so that -0 and +0 (or two NaNs) never pass for each other.
bool same(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// The first point at which two curves differ in time or value (the shorter
// one's count when one continues the other or they are equal).
int firstDifference(const Envelope& a, const Envelope& b) {
    const int count = std::min(a.pointCount(), b.pointCount());
    for (int i = 0; i < count; ++i)
        if (!same(a.time(i), b.time(i)) || !same(a.value(i), b.value(i))) return i;
    return count;
}

}  // namespace

int32_t PhaseMemory::reusable(const Input& in, int32_t end) const {
    if (!in.frequency || in.rate != rate_ || in.W != W_ || valid_ < 1) return 0;
    const Envelope& curve = *in.frequency;
    const int j = firstDifference(curve, curve_);
    if (j == curve.pointCount() && j == curve_.pointCount() && valid_ >= end) return end;
    // Points 0..j-1 agree, so do segments 0..j-2: a sample whose time is at
    // most point j-1's lies in one of those (the walk moves on only past a
    // segment's end), and so do the frequency values of all samples before
    // the first one beyond it, which fix its phase.
    int32_t r = end;
    if (j < curve.pointCount() || j < curve_.pointCount()) {
        if (j < 2) return 0;
        r = curve_walk::firstBeyond(double(curve.time(j - 1)), 0, end, double(in.W));
    }
    // Going on from r takes the phase at r: a mark the last render reached.
    r = std::min(r, valid_ - 1);
    return std::max(r, 0) / kMark * kMark;
}

bool PhaseMemory::begin(const Input& in, int32_t end, int32_t kept) {
    valid_ = 0;
    const size_t count = size_t(std::max(end, 0));
    try {
        indexes_.resize(count);
        marks_.resize(count / size_t(kMark) + 1);
    } catch (const std::bad_alloc&) {
        std::vector<uint16_t>().swap(indexes_);
        std::vector<float>().swap(marks_);
        return false;
    }
    if (in.frequency) curve_ = *in.frequency;
    rate_ = in.rate;
    W_ = in.W;
    valid_ = std::min(kept, end);
    return true;
}

}  // namespace sample_render
