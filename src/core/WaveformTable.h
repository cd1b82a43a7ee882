#pragma once

#include "core/Waveforms.h"

#include <array>
#include <cstddef>
#include <cstdint>

// One cycle of the selected waveform, 360 entries, one per degree of phase.
// The renderer reads entry trunc(phase) per sample, so no waveform formula is
// ever evaluated per sample.
class WaveformTable {
public:
    static constexpr int kSize = 360;

    WaveformTable();  // built as Sine

    // Stores the code and fills every entry; a code that is not one of the
    // eighteen gives the sine table while kind() keeps that code.
    void build(int32_t kind);

    int32_t kind() const { return kind_; }
    float operator[](int i) const { return values_[static_cast<size_t>(i)]; }
    const std::array<float, kSize>& values() const { return values_; }

private:
    void buildNoise(int32_t kind);

    std::array<float, kSize> values_{};
    int32_t kind_ = waveforms::code(WaveformKind::Sine);
};
