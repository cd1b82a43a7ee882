#pragma once

#include "core/SoundSettings.h"

#include <string>
#include <utility>

// What decoding a sound file's bytes hands back: complete settings, or a
// short reason fit to show the user. Failed decodes carry default settings
// that must not be used.
struct DecodeResult {
    bool ok = false;
    SoundSettings settings;
    std::string error;
    // The version field of a .zdl file; 0 for an old-style file, which has none.
    int version = 0;

    static DecodeResult failure(std::string reason) {
        DecodeResult r;
        r.error = std::move(reason);
        return r;
    }
};
