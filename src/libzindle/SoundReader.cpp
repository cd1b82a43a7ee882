#include "libzindle/SoundReader.h"

#include "core/WavImage.h"
#include "formats/EfcFormat.h"
#include "formats/JsonFormat.h"
#include "formats/ZdlFormat.h"

#include <string>

namespace sound_reader {

namespace {

bool startsWithZdlVersion(const uint8_t* data, size_t size) {
    if (size < 4) return false;
    const int32_t version = static_cast<int32_t>(le::get32(data));
    return version == zdl::kVersion || version == zdl::kVersionWithoutWidth;
}

DecodeResult readZdl(const uint8_t* data, size_t size) {
    // The same limit as a .zdl read from a file.
    if (size > size_t(zdl::kMaxFileBytes))
        return DecodeResult::failure("The file is too large: " + std::to_string(size) + " bytes; at most " +
                                     std::to_string(zdl::kMaxFileBytes) + ".");
    return zdl::decode(data, size);
}

}  // namespace

Format detect(const uint8_t* data, size_t size) {
    if (soundjson::looksLikeJson(data, size)) return Format::Json;
    if (startsWithZdlVersion(data, size)) return Format::Zdl;
    if (size >= size_t(efc::kRecordBytes)) return Format::Efc;
    return Format::Unknown;
}

DecodeResult read(const uint8_t* data, size_t size, Format format) {
    if (size == 0) return DecodeResult::failure("The sound is empty: no bytes were given.");
    if (format == Format::Auto) {
        format = detect(data, size);
        // An .efc's first four bytes are unused and may hold anything, a
        // .zdl version or '{' included: a record of exactly the .efc size
        // that is not what it first looks like is taken for the .efc it most
        // likely is.
        if ((format == Format::Json || format == Format::Zdl) && size == size_t(efc::kRecordBytes)) {
            DecodeResult first = read(data, size, format);
            if (first.ok) return first;
            DecodeResult old = efc::decode(data, size);
            return old.ok ? old : first;
        }
    }
    switch (format) {
    case Format::Zdl: return readZdl(data, size);
    case Format::Efc: return efc::decode(data, size);
    case Format::Json: return soundjson::decode(data, size);
    case Format::Auto:
    case Format::Unknown: break;
    }
    return DecodeResult::failure(
        "Not a sound the library knows: neither a .zdl (version 1000 or 1001), nor a whole .efc record (" +
        std::to_string(efc::kRecordBytes) + " bytes), nor JSON.");
}

}  // namespace sound_reader
