#pragma once

#include "storage/EncodedFile.h"

#include <vector>

// libsndfile encoding into memory rather than onto disk, so that the bytes
// reach the disk through fileio::writeAtomically like every other file: a
// failure half-way never leaves a partial file or harms an existing one.
class SndfileEncoder {
public:
    // `format` is libsndfile's (major type | encoding); the file is mono at
    // `sampleRate`.
    SndfileEncoder(int format, int sampleRate) : format_(format), sampleRate_(sampleRate) {}

    // Encodes `frames` (16-bit values) `repeats` times in a row.
    EncodedFile encode(const std::vector<short>& frames, int repeats) const;

private:
    int format_;
    int sampleRate_;
};
