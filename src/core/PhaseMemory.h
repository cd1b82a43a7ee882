#pragma once

#include "core/Envelope.h"
#include "core/SampleRender.h"

#include <cstdint>
#include <vector>

namespace sample_render {

// What the oscillator read at every main-part sample of the last render (the
// table entry, and the phase itself at every kMark-th sample), with the
// frequency curve, rate and width it came from. Each phase depends only on
// the frequency values of the samples before it, so a render whose frequency
// curve agrees with that one up to some point takes what lies before it as it
// is: a drag of the amplitude curve steps no phase at all, a drag of a
// frequency point only those from the segment before it on. Two bytes a
// sample, so that reading them back costs less than the phase chain. For one
// thread.
class PhaseMemory {
public:
    static constexpr int32_t kMark = 256;

    // The leading samples of `in`'s main part (`end` of them) kept here: all
    // when the curve, rate and width are the kept ones; else those lying in
    // the segments that end before the first point that differs, down to a
    // mark to go on from.
    int32_t reusable(const Input& in, int32_t end) const;
    // Starts keeping a render of `in`: room for `end` samples, the first
    // `kept` (at most reusable()) as they were. False, keeping nothing, when
    // there is no memory for them.
    bool begin(const Input& in, int32_t end, int32_t kept);
    // The render wrote samples [0, valid) (fewer than `end` where a broken
    // curve ended it).
    void finish(int32_t valid) { valid_ = valid; }

    uint16_t* indexes() { return indexes_.data(); }
    // marks()[k] is the phase of sample k x kMark.
    float* marks() { return marks_.data(); }

private:
    Envelope curve_{EnvelopeKind::Frequency};
    std::vector<uint16_t> indexes_;
    std::vector<float> marks_;
    int32_t rate_ = 0, W_ = 0;
    int32_t valid_ = 0;
};

}  // namespace sample_render
