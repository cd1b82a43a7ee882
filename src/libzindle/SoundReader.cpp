#include "libzindle/SoundReader.h"

#include "formats/SoundFormats.h"

namespace sound_reader {

DecodeResult read(const uint8_t* data, size_t size, Format format) {
    if (size == 0) return DecodeResult::failure("The sound is empty: no bytes were given.");
    switch (format) {
    case Format::Auto: return soundformats::read(data, size);
    case Format::Zdl: return soundformats::format(SoundFormatId::Zdl).decode(data, size);
    case Format::Efc: return soundformats::format(SoundFormatId::Efc).decode(data, size);
    case Format::Json: return soundformats::format(SoundFormatId::Json).decode(data, size);
    }
    return DecodeResult::failure("The format is not one the library knows.");
}

}  // namespace sound_reader
