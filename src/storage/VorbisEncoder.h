#pragma once

#include "storage/EncodedFile.h"

#include <cstdint>
#include <vector>

// Ogg Vorbis encoding into memory through libvorbis and libogg. The stream's
// serial number is derived from what is encoded, so the same sound gives the
// same bytes on every run and another sound another serial (libsndfile picks
// a random serial and has no call to choose it).
class VorbisEncoder {
public:
    // Mono at `sampleRate`, variable bit rate at `quality` on libvorbis's
    // scale (-0.1 smallest to 1 best).
    VorbisEncoder(int sampleRate, float quality) : sampleRate_(sampleRate), quality_(quality) {}

    // Encodes `frames` (16-bit values) `repeats` times in a row.
    EncodedFile encode(const std::vector<short>& frames, int repeats) const;

    // The serial for these frames, repeats and rate: their 32-bit FNV-1a hash.
    static uint32_t serialFor(const std::vector<short>& frames, int repeats, int sampleRate);

private:
    int sampleRate_;
    float quality_;
};
