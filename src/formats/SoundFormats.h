#pragma once

#include "formats/DecodeResult.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct SoundSettings;

// The one table of the sound formats Zindle reads and writes. Every reader
// (the editor, the command line, the library) hands it the bytes: the
// format is told by what they hold, and a file's name only breaks a tie.
namespace soundformats {

// How far bytes look like a format before they are decoded, weakest first.
enum class Fit {
    None,
    // Long enough to hold a fixed-size record: tried when no format's
    // signature fits.
    Length,
    // Exactly one fixed-size record: tried after the formats whose
    // signature fits, since such a record may begin with anything.
    Record,
    // They begin with the format's mark.
    Signature,
};

struct SoundFormat {
    SoundFormatId id;
    const char* name;                     // "zdl": as the command line and the reports name it
    const char* label;                    // "Sound Effects Files": as the file dialogs show it
    std::vector<std::string> extensions;  // lower case, without the dot
    Fit (*detect)(const uint8_t* data, size_t size);
    DecodeResult (*decode)(const uint8_t* data, size_t size);
    // Null for a format that is read only.
    std::vector<uint8_t> (*encode)(const SoundSettings& settings);
};

// Every format, in the order the dialogs list them.
const std::vector<SoundFormat>& all();
const SoundFormat& format(SoundFormatId id);
// The format whose extension the file name ends in (in any case, with or
// without a dot before it: "BOOM.EfC", "boomefc"); null for none.
const SoundFormat* forName(std::string_view fileName);

// Decodes the bytes in the format they are in; a share code (text starting
// with "zindle1:", or a link to one) is read as the .zdl it holds. The formats whose signature
// fits are tried first, then an exact fixed-size record, then (only when no
// signature fits) one long enough; the name's format goes first among
// equals and, when nothing else fits, is tried as the name says. The first
// that decodes wins. When none does, the reason is the first one tried
// gave, or, when no signature fitted and the bytes are another kind of file
// or none at all, one that says so (notASound).
DecodeResult read(const uint8_t* data, size_t size, std::string_view fileName = {});

// "This is not a sound file Zindle reads (it looks like a WAV file).", or
// without the part in brackets when the bytes look like nothing known.
std::string notASound(const uint8_t* data, size_t size);

}  // namespace soundformats
