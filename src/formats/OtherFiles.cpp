#include "formats/OtherFiles.h"

#include <cstring>

namespace otherfiles {

namespace {

struct Mark {
    const char* bytes;
    size_t size;
    size_t at;
};

// A kind is told by one or two marks at fixed offsets.
struct Kind {
    const char* name;
    Mark first;
    Mark second;
};

#define ZINDLE_MARK(text, at) \
    { text, sizeof(text) - 1, at }
const Kind kKinds[] = {
    {"a WAV file", ZINDLE_MARK("RIFF", 0), ZINDLE_MARK("WAVE", 8)},
    {"an AIFF file", ZINDLE_MARK("FORM", 0), ZINDLE_MARK("AIFF", 8)},
    {"an AIFF file", ZINDLE_MARK("FORM", 0), ZINDLE_MARK("AIFC", 8)},
    {"a FLAC file", ZINDLE_MARK("fLaC", 0), {}},
    {"an Ogg file", ZINDLE_MARK("OggS", 0), {}},
    {"an MP3 file", ZINDLE_MARK("ID3", 0), {}},
    {"a PNG image", ZINDLE_MARK("\x89PNG\r\n\x1a\n", 0), {}},
    {"a JPEG image", ZINDLE_MARK("\xFF\xD8\xFF", 0), {}},
    {"a GIF image", ZINDLE_MARK("GIF8", 0), {}},
    {"a PDF document", ZINDLE_MARK("%PDF-", 0), {}},
    {"a ZIP archive", ZINDLE_MARK("PK\x03\x04", 0), {}},
};
#undef ZINDLE_MARK

bool has(const uint8_t* data, size_t size, const Mark& mark) {
    if (!mark.bytes) return true;
    return size >= mark.at + mark.size && std::memcmp(data + mark.at, mark.bytes, mark.size) == 0;
}

// Enough to tell text from binary without reading a large file through.
constexpr size_t kTextSample = 4096;

// The length of the UTF-8 sequence that starts with `lead`; 0 for a byte
// that cannot start one.
size_t sequenceLength(uint8_t lead) {
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF) return 2;
    if (lead >= 0xE0 && lead <= 0xEF) return 3;
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    return 0;
}

// UTF-8 without control characters other than the usual white space; a
// sequence cut by the end of the sample (not of the data) still counts.
bool isText(const uint8_t* data, size_t size) {
    const size_t end = size < kTextSample ? size : kTextSample;
    for (size_t i = 0; i < end;) {
        const uint8_t c = data[i];
        if (c < 0x20 && c != '\t' && c != '\n' && c != '\r' && c != '\f') return false;
        if (c == 0x7F) return false;
        const size_t length = sequenceLength(c);
        if (length == 0 || i + length > size) return false;
        for (size_t k = 1; k < length && i + k < end; ++k)
            if ((data[i + k] & 0xC0) != 0x80) return false;
        i += length;
    }
    return true;
}

}  // namespace

const char* kindOf(const uint8_t* data, size_t size) {
    if (size == 0) return nullptr;
    for (const Kind& kind : kKinds)
        if (has(data, size, kind.first) && has(data, size, kind.second)) return kind.name;
    return isText(data, size) ? "a text file" : nullptr;
}

}  // namespace otherfiles
