// The C entry points: each checks its arguments, converts, and catches, so
// that no C++ exception ever reaches the caller. The work is in SoundReader
// and SoundRender.

#include "zindle/zindle.h"

#include "core/SoundMutation.h"
#include "core/SoundTemplates.h"
#include "core/WavImage.h"
#include "formats/JsonFormat.h"
#include "formats/ShareCode.h"
#include "formats/ZdlFormat.h"
#include "libzindle/ErrorText.h"
#include "libzindle/RuntimeSound.h"
#include "libzindle/SoundReader.h"
#include "libzindle/SoundRender.h"
#include "libzindle/Status.h"

#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <vector>

namespace {

#define ZINDLE_TEXT(x) #x
#define ZINDLE_VERSION_TEXT(major, minor, patch) ZINDLE_TEXT(major) "." ZINDLE_TEXT(minor) "." ZINDLE_TEXT(patch)

constexpr bool sameText(const char* a, const char* b) { return *a == *b && (*a == '\0' || sameText(a + 1, b + 1)); }

// The build's version (the project's) is the header's: a program tests the
// macros at compile time and zindle_version_number() at run time.
static_assert(sameText(ZINDLE_VERSION_STRING,
                       ZINDLE_VERSION_TEXT(ZINDLE_VERSION_MAJOR, ZINDLE_VERSION_MINOR, ZINDLE_VERSION_PATCH)),
              "zindle.h's ZINDLE_VERSION_* macros differ from the project's version");

// Runs `body` (returning a Status) and reports its outcome to C.
template <class Body>
int guarded(char* error, size_t errorSize, Body&& body) noexcept {
    // The reasons of the two last-resort catches are written as they are:
    // building a string there could throw again, out of a noexcept function.
    const char* fixed = nullptr;
    int code = ZINDLE_ERROR_INTERNAL;
    try {
        Status status = body();
        if (status.ok()) return ZINDLE_OK;
        error_text::write(error, errorSize, status.reason);
        return status.code;
    } catch (const std::bad_alloc&) {
        code = ZINDLE_ERROR_MEMORY;
        fixed = "out of memory";
    } catch (...) {
        fixed = "internal error in libzindle";
    }
    error_text::write(error, errorSize, fixed);
    return code;
}

Status missing(const char* argument) {
    return Status::failure(ZINDLE_ERROR_ARGUMENT, std::string("The argument ") + argument + " is NULL.");
}

// A malloc'd copy for the caller, who frees it with zindle_free.
Status handOut(const uint8_t* bytes, size_t size, unsigned char** out, size_t* outSize) {
    unsigned char* copy = static_cast<unsigned char*>(std::malloc(size > 0 ? size : 1));
    if (!copy) return Status::failure(ZINDLE_ERROR_MEMORY, "out of memory");
    if (size > 0) std::memcpy(copy, bytes, size);
    *out = copy;
    *outSize = size;
    return Status();
}

// Text for C callers: NUL-terminated, the terminator not counted.
Status handOutText(const std::string& text, char** out, size_t* outSize) {
    unsigned char* bytes = nullptr;
    size_t size = 0;
    Status status = handOut(reinterpret_cast<const uint8_t*>(text.c_str()), text.size() + 1, &bytes, &size);
    if (!status.ok()) return status;
    *out = reinterpret_cast<char*>(bytes);
    *outSize = size - 1;
    return status;
}

Status readSound(const void* data, size_t size, int format, zindle_sound** sound) {
    if (!sound) return missing("sound");
    *sound = nullptr;
    if (!data && size > 0) return missing("data");
    sound_reader::Format chosen;
    switch (format) {
    case ZINDLE_FORMAT_AUTO: chosen = sound_reader::Format::Auto; break;
    case ZINDLE_FORMAT_ZDL: chosen = sound_reader::Format::Zdl; break;
    case ZINDLE_FORMAT_EFC: chosen = sound_reader::Format::Efc; break;
    case ZINDLE_FORMAT_JSON: chosen = sound_reader::Format::Json; break;
    default:
        return Status::failure(ZINDLE_ERROR_ARGUMENT,
                               "The format " + std::to_string(format) + " is not one of ZINDLE_FORMAT_*.");
    }
    DecodeResult decoded = sound_reader::read(static_cast<const uint8_t*>(data), size, chosen);
    if (!decoded.ok) return Status::failure(ZINDLE_ERROR_FORMAT, decoded.error);
    *sound = new zindle_sound{std::move(decoded.settings)};
    return Status();
}

Status renderWav(const zindle_sound* sound, int rate, int bits, unsigned char** wav, size_t* wavSize) {
    if (!wav) return missing("wav");
    *wav = nullptr;
    if (!wavSize) return missing("wav_size");
    *wavSize = 0;
    if (!sound) return missing("sound");
    SoundSettings chosen;
    Status status = sound_render::chooseQuality(sound->settings, rate, bits, chosen);
    WavImage image;
    if (status.ok()) status = sound_render::renderWav(chosen, image);
    if (status.ok()) status = handOut(image.data(), image.size(), wav, wavSize);
    return status;
}

// What zindle-cli generate gives a sound: a new sound's quality, and 8 bits,
// as a file made outside the editor has no user's width to keep.
SoundSettings generatedQuality() {
    SoundSettings quality;
    quality.resetToNew();
    quality.bitsPerSample = 8;
    return quality;
}

Status generateSound(const char* name, uint64_t seed, zindle_sound** sound) {
    if (!sound) return missing("sound");
    *sound = nullptr;
    if (!name) return missing("name");
    std::optional<SoundSettings> made = sound_templates::generate(name, seed, generatedQuality());
    if (!made)
        return Status::failure(ZINDLE_ERROR_ARGUMENT,
                               std::string("Unknown template '") + name + "'; zindle_template_name lists them.");
    *sound = new zindle_sound{std::move(*made)};
    return Status();
}

}  // namespace

extern "C" {

const char* zindle_version(void) { return ZINDLE_VERSION_STRING; }

int zindle_version_number(void) { return ZINDLE_VERSION_NUMBER; }

const char* zindle_strerror(int code) {
    switch (code) {
    case ZINDLE_OK: return "no error";
    case ZINDLE_ERROR_ARGUMENT: return "invalid argument";
    case ZINDLE_ERROR_FORMAT: return "not a sound the library reads";
    case ZINDLE_ERROR_MEMORY: return "out of memory";
    case ZINDLE_ERROR_BUFFER: return "buffer too small";
    case ZINDLE_ERROR_INTERNAL: return "internal error";
    default: return "unknown error";
    }
}

int zindle_template_count(void) {
    try {
        return int(sound_templates::names().size());
    } catch (...) {
        // The list is built on first use; without memory for it there is none.
        return 0;
    }
}

const char* zindle_template_name(int index) {
    try {
        const std::vector<std::string>& names = sound_templates::names();
        return index >= 0 && size_t(index) < names.size() ? names[size_t(index)].c_str() : nullptr;
    } catch (...) {
        return nullptr;
    }
}

int zindle_sound_generate(const char* name, uint64_t seed, zindle_sound** sound, char* error, size_t error_size) {
    return guarded(error, error_size, [&] { return generateSound(name, seed, sound); });
}

void zindle_free(void* p) { std::free(p); }

void zindle_sound_free(zindle_sound* sound) { delete sound; }

int zindle_sound_read(const void* data, size_t size, zindle_sound** sound, char* error, size_t error_size) {
    return guarded(error, error_size, [&] { return readSound(data, size, ZINDLE_FORMAT_AUTO, sound); });
}

int zindle_sound_read_format(const void* data, size_t size, int format, zindle_sound** sound, char* error,
                             size_t error_size) {
    return guarded(error, error_size, [&] { return readSound(data, size, format, sound); });
}

int zindle_render_wav(const void* data, size_t size, unsigned char** wav, size_t* wav_size, char* error,
                      size_t error_size) {
    return guarded(error, error_size, [&] {
        if (!wav) return missing("wav");
        *wav = nullptr;
        if (!wav_size) return missing("wav_size");
        *wav_size = 0;
        zindle_sound* raw = nullptr;
        Status status = readSound(data, size, ZINDLE_FORMAT_AUTO, &raw);
        const std::unique_ptr<zindle_sound> sound(raw);
        if (status.ok()) status = renderWav(sound.get(), 0, 0, wav, wav_size);
        return status;
    });
}

int zindle_sound_sample_rate(const zindle_sound* sound) { return sound ? sound->settings.sampleRate : 0; }
int zindle_sound_bits(const zindle_sound* sound) { return sound ? sound->settings.bitsPerSample : 0; }
int zindle_sound_repeat_count(const zindle_sound* sound) { return sound ? sound->settings.repeatCount : 0; }

int zindle_sound_render_samples(const zindle_sound* sound, int rate, int bits, void* buffer, size_t buffer_size,
                                size_t* size, char* error, size_t error_size) {
    return guarded(error, error_size, [&] {
        if (!size) return missing("size");
        *size = 0;
        if (!sound) return missing("sound");
        SoundSettings chosen;
        Status status = sound_render::chooseQuality(sound->settings, rate, bits, chosen);
        size_t needed = 0;
        if (status.ok()) status = sound_render::samplesSize(chosen, needed);
        if (!status.ok() || !buffer) {
            if (status.ok()) *size = needed;
            return status;
        }
        if (buffer_size < needed) {
            *size = needed;
            return Status::failure(ZINDLE_ERROR_BUFFER, "The buffer holds " + std::to_string(buffer_size) +
                                                            " bytes; the samples need " + std::to_string(needed) + ".");
        }
        status = sound_render::renderSamples(chosen, static_cast<uint8_t*>(buffer), buffer_size);
        if (status.ok()) *size = needed;
        return status;
    });
}

int zindle_sound_render_wav(const zindle_sound* sound, int rate, int bits, unsigned char** wav, size_t* wav_size,
                            char* error, size_t error_size) {
    return guarded(error, error_size, [&] { return renderWav(sound, rate, bits, wav, wav_size); });
}

int zindle_sound_mutate(const zindle_sound* sound, uint64_t seed, float amount, zindle_sound** variant, char* error,
                        size_t error_size) {
    return guarded(error, error_size, [&] {
        if (!variant) return missing("variant");
        *variant = nullptr;
        if (!sound) return missing("sound");
        *variant = new zindle_sound{sound_mutation::mutate(sound->settings, seed, amount)};
        return Status();
    });
}

int zindle_sound_write_zdl(const zindle_sound* sound, unsigned char** zdl, size_t* zdl_size, char* error,
                           size_t error_size) {
    return guarded(error, error_size, [&] {
        if (!zdl) return missing("zdl");
        *zdl = nullptr;
        if (!zdl_size) return missing("zdl_size");
        *zdl_size = 0;
        if (!sound) return missing("sound");
        const std::vector<uint8_t> bytes = zdl::encode(sound->settings);
        return handOut(bytes.data(), bytes.size(), zdl, zdl_size);
    });
}

int zindle_sound_write_json(const zindle_sound* sound, char** json, size_t* json_size, char* error, size_t error_size) {
    return guarded(error, error_size, [&] {
        if (!json) return missing("json");
        *json = nullptr;
        if (!json_size) return missing("json_size");
        *json_size = 0;
        if (!sound) return missing("sound");
        return handOutText(soundjson::encode(sound->settings), json, json_size);
    });
}

int zindle_sound_write_share_code(const zindle_sound* sound, char** code, size_t* code_size, char* error,
                                  size_t error_size) {
    return guarded(error, error_size, [&] {
        if (!code) return missing("code");
        *code = nullptr;
        if (!code_size) return missing("code_size");
        *code_size = 0;
        if (!sound) return missing("sound");
        return handOutText(sharecode::encode(sound->settings), code, code_size);
    });
}

}  // extern "C"
