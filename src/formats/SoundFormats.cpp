#include "formats/SoundFormats.h"

#include "core/WavImage.h"
#include "formats/EfcFormat.h"
#include "formats/JsonFormat.h"
#include "formats/OtherFiles.h"
#include "formats/ShareCode.h"
#include "formats/ZdlFormat.h"

#include <algorithm>
#include <cctype>

namespace soundformats {

namespace {

// Every .zdl Zindle has written starts with one of its two versions; another
// version is still read as one under a .zdl name.
Fit detectZdl(const uint8_t* data, size_t size) {
    if (size < 4) return Fit::None;
    const int32_t version = static_cast<int32_t>(le::get32(data));
    return version == zdl::kVersion || version == zdl::kVersionWithoutWidth ? Fit::Signature : Fit::None;
}

DecodeResult decodeZdl(const uint8_t* data, size_t size) {
    if (size > size_t(zdl::kMaxFileBytes))
        return DecodeResult::failure("The file is too large: " + std::to_string(size) + " bytes; at most " +
                                     std::to_string(zdl::kMaxFileBytes) + ".");
    return zdl::decode(data, size);
}

// No .zdl or .efc starts with white space and '{'.
Fit detectJson(const uint8_t* data, size_t size) {
    return soundjson::looksLikeJson(data, size) ? Fit::Signature : Fit::None;
}

// An .efc has no mark at all (its first four bytes are unused), only its size.
Fit detectEfc(const uint8_t*, size_t size) {
    if (size == size_t(efc::kRecordBytes)) return Fit::Record;
    return size > size_t(efc::kRecordBytes) ? Fit::Length : Fit::None;
}

DecodeResult decodeEfc(const uint8_t* data, size_t size) { return efc::decode(data, size); }
DecodeResult decodeJson(const uint8_t* data, size_t size) { return soundjson::decode(data, size); }
std::vector<uint8_t> encodeJson(const SoundSettings& settings) {
    const std::string text = soundjson::encode(settings);
    return std::vector<uint8_t>(text.begin(), text.end());
}

bool endsWith(std::string_view name, const std::string& extension) {
    if (name.size() < extension.size()) return false;
    return std::equal(extension.begin(), extension.end(), name.end() - long(extension.size()),
                      [](char e, char c) { return e == char(std::tolower(static_cast<unsigned char>(c))); });
}

}  // namespace

const std::vector<SoundFormat>& all() {
    static const std::vector<SoundFormat> formats = {
        {SoundFormatId::Zdl, "zdl", "Sound Effects Files", {"zdl"}, detectZdl, decodeZdl, zdl::encode},
        {SoundFormatId::Json, "json", "Sound Text Files", {"json"}, detectJson, decodeJson, encodeJson},
        {SoundFormatId::Efc, "efc", "Old Style Files", {"efc"}, detectEfc, decodeEfc, nullptr},
    };
    return formats;
}

const SoundFormat& format(SoundFormatId id) {
    for (const SoundFormat& f : all())
        if (f.id == id) return f;
    return all().front();  // every id is in the table
}

const SoundFormat* forName(std::string_view fileName) {
    const size_t slash = fileName.find_last_of('/');
    if (slash != std::string_view::npos) fileName.remove_prefix(slash + 1);
    for (const SoundFormat& f : all())
        for (const std::string& extension : f.extensions)
            if (endsWith(fileName, extension)) return &f;
    return nullptr;
}

DecodeResult read(const uint8_t* data, size_t size, std::string_view fileName) {
    if (size == 0) return DecodeResult::failure("The file is empty.");
    // A share code is a .zdl written as text, not a kind of file: it has no
    // name, no dialog filter and no --to of its own, so it is unwrapped here
    // rather than listed in the table.
    if (sharecode::looksLikeCode(data, size)) return sharecode::decode(data, size);
    const SoundFormat* named = forName(fileName);
    struct Candidate {
        const SoundFormat* format;
        Fit fit;
    };
    std::vector<Candidate> fits;
    bool signature = false;
    for (const SoundFormat& f : all()) {
        fits.push_back({&f, f.detect(data, size)});
        signature = signature || fits.back().fit == Fit::Signature;
    }
    // Strongest fit first, the name's format first among equals.
    std::stable_sort(fits.begin(), fits.end(), [named](const Candidate& a, const Candidate& b) {
        if (a.fit != b.fit) return a.fit > b.fit;
        return a.format == named && b.format != named;
    });
    DecodeResult first;
    bool tried = false;
    for (const Candidate& c : fits) {
        const bool likely = c.fit == Fit::Signature || c.fit == Fit::Record || (c.fit == Fit::Length && !signature);
        // The name vouches for what nothing in the bytes does.
        if (!likely && c.format != named) continue;
        DecodeResult decoded = c.format->decode(data, size);
        if (decoded.ok) return decoded;
        if (!tried) first = std::move(decoded);
        tried = true;
    }
    // Another kind of file is named as such, even under a sound's name: what
    // a decoder makes of a WAV header only puzzles.
    if (!signature && otherfiles::kindOf(data, size)) return DecodeResult::failure(notASound(data, size));
    return tried ? first : DecodeResult::failure(notASound(data, size));
}

std::string notASound(const uint8_t* data, size_t size) {
    const std::string reason = "This is not a sound file Zindle reads";
    const char* kind = otherfiles::kindOf(data, size);
    return kind ? reason + " (it looks like " + kind + ")." : reason + ".";
}

}  // namespace soundformats
