#pragma once

#include "core/SoundSettings.h"

#include <string>
#include <utility>

// The sound formats Zindle reads; formats/SoundFormats.h holds their table.
enum class SoundFormatId { Zdl, Json, Efc };

// What decoding a sound file's bytes hands back: complete settings, or a
// short reason fit to show the user. Failed decodes carry default settings
// that must not be used.
struct DecodeResult {
    bool ok = false;
    SoundSettings settings;
    std::string error;
    // The version field of a .zdl file (1 for JSON); 0 for an old-style
    // file, which has none.
    int version = 0;
    // The format the settings were read from (on success).
    SoundFormatId format = SoundFormatId::Zdl;

    static DecodeResult failure(std::string reason) {
        DecodeResult r;
        r.error = std::move(reason);
        return r;
    }
};
