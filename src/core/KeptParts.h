#pragma once

#include "core/SoundSettings.h"

#include <array>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>

// The parts of a sound that Generate, Randomize and Mutate can be told to
// leave exactly as they are, so that a sound can be explored around what is
// already liked.
enum class SoundPart : uint8_t {
    Amplitude,  // the amplitude curve
    Frequency,  // the frequency curve
    Waveform,
    Length,
    Effects,  // Distort, Echo Volume and Echo Delay
    Quality,  // the sample rate, the sample width and the repeat count
};

// A set of parts; empty by default (nothing kept).
class KeptParts {
public:
    // Every part, in the order of the menu and of the command line's names.
    static constexpr std::array<SoundPart, 6> kAll = {SoundPart::Amplitude, SoundPart::Frequency, SoundPart::Waveform,
                                                      SoundPart::Length,    SoundPart::Effects,   SoundPart::Quality};

    KeptParts() = default;
    KeptParts(std::initializer_list<SoundPart> parts);

    bool has(SoundPart part) const { return (bits_ & bit(part)) != 0; }
    bool empty() const { return bits_ == 0; }
    KeptParts& set(SoundPart part, bool kept);

    bool operator==(const KeptParts& other) const { return bits_ == other.bits_; }
    bool operator!=(const KeptParts& other) const { return bits_ != other.bits_; }

    // The command line's name of a part: "amplitude" ... "quality".
    static const char* name(SoundPart part);
    // The names, comma-separated, in kAll's order ("amplitude,waveform"); empty
    // for no part.
    std::string names() const;
    // A comma-separated list of names in any order (a name given twice
    // counts once). Nothing for an empty list, an empty item or a name that is none
    // of the parts; `unknown` then gets the offending item.
    static std::optional<KeptParts> parse(const std::string& list, std::string* unknown = nullptr);

    // `made` with every kept part copied from `base`, bit for bit.
    SoundSettings applied(SoundSettings made, const SoundSettings& base) const;

private:
    static uint8_t bit(SoundPart part) { return uint8_t(1u << unsigned(part)); }
    uint8_t bits_ = 0;
};
