#include "OggPages.h"

std::vector<uint32_t> oggPageSerials(const QByteArray& bytes) {
    const auto* b = reinterpret_cast<const uint8_t*>(bytes.constData());
    const size_t size = size_t(bytes.size());
    std::vector<uint32_t> serials;
    size_t at = 0;
    // A page: "OggS", version, flags, granule (8), serial (4), sequence (4),
    // checksum (4), the segment count and the segments' lengths, the body.
    while (at < size) {
        if (size - at < 27 || bytes.mid(qsizetype(at), 4) != "OggS") return {};
        const size_t segments = b[at + 26];
        if (size - at < 27 + segments) return {};
        size_t body = 0;
        for (size_t i = 0; i < segments; ++i) body += b[at + 27 + i];
        serials.push_back(uint32_t(b[at + 14]) | uint32_t(b[at + 15]) << 8 | uint32_t(b[at + 16]) << 16 |
                          uint32_t(b[at + 17]) << 24);
        at += 27 + segments + body;
    }
    if (at != size) return {};
    return serials;
}
