#pragma once

#include "core/SoundSettings.h"
#include "formats/DecodeResult.h"

#include <QString>

#include <utility>

// What a sound-file read hands back: complete settings, or a short reason
// fit to show the user. Failed reads carry default settings that must not be
// used.
struct ReadResult {
    bool ok = false;
    SoundSettings settings;
    QString error;
    // The version field of a .zdl file (1 for JSON); 0 for an old-style
    // file, which has none.
    int version = 0;
    // The format the settings were read from (on success).
    SoundFormatId format = SoundFormatId::Zdl;

    static ReadResult failure(const QString& reason) {
        ReadResult r;
        r.error = reason;
        return r;
    }

    // The decoder's verdict on bytes that were read.
    static ReadResult from(DecodeResult decoded) {
        ReadResult r;
        r.ok = decoded.ok;
        r.settings = std::move(decoded.settings);
        r.error = QString::fromStdString(decoded.error);
        r.version = decoded.version;
        r.format = decoded.format;
        return r;
    }
};
