#include "storage/SndfileEncoder.h"

#include <QCoreApplication>

#include <sndfile.h>

#include <algorithm>
#include <cstring>
#include <new>

namespace {

QString tr(const char* text) { return QCoreApplication::translate("soundexport", text); }

// The file libsndfile writes: a byte buffer that grows as it is written
// and can be sought back into (FLAC rewrites its header at the end).
struct GrowingBuffer {
    QByteArray bytes;
    sf_count_t position = 0;
    bool outOfMemory = false;
};

GrowingBuffer& bufferOf(void* data) { return *static_cast<GrowingBuffer*>(data); }

sf_count_t fileLength(void* data) { return bufferOf(data).bytes.size(); }

sf_count_t seek(sf_count_t offset, int whence, void* data) {
    GrowingBuffer& b = bufferOf(data);
    sf_count_t base = 0;
    switch (whence) {
    case SEEK_SET: base = 0; break;
    case SEEK_CUR: base = b.position; break;
    case SEEK_END: base = b.bytes.size(); break;
    default: return -1;
    }
    if (base + offset < 0) return -1;
    b.position = base + offset;
    return b.position;
}

sf_count_t read(void* ptr, sf_count_t count, void* data) {
    GrowingBuffer& b = bufferOf(data);
    const sf_count_t available = std::max<sf_count_t>(0, b.bytes.size() - b.position);
    const sf_count_t n = std::min(count, available);
    if (n > 0) std::memcpy(ptr, b.bytes.constData() + b.position, size_t(n));
    b.position += n;
    return n;
}

sf_count_t write(const void* ptr, sf_count_t count, void* data) {
    GrowingBuffer& b = bufferOf(data);
    const sf_count_t end = b.position + count;
    try {
        // A seek past the end leaves a gap of zero bytes, as a file would.
        if (end > b.bytes.size()) b.bytes.resize(qsizetype(end), '\0');
    } catch (const std::bad_alloc&) {
        b.outOfMemory = true;
        return 0;
    }
    std::memcpy(b.bytes.data() + b.position, ptr, size_t(count));
    b.position = end;
    return count;
}

sf_count_t tell(void* data) { return bufferOf(data).position; }

// libsndfile's reason, or ours when the buffer could not grow.
QString reason(SNDFILE* file, const GrowingBuffer& buffer) {
    if (buffer.outOfMemory) return tr("There is not enough memory for the file.");
    return QString::fromUtf8(sf_strerror(file));
}

}  // namespace

EncodedFile SndfileEncoder::encode(const std::vector<short>& frames, int repeats) const {
    GrowingBuffer buffer;
    SF_VIRTUAL_IO io{fileLength, seek, read, write, tell};
    SF_INFO info{};
    info.samplerate = sampleRate_;
    info.channels = 1;
    info.format = format_;
    SNDFILE* file = sf_open_virtual(&io, SFM_WRITE, &info, &buffer);
    if (!file) return {QByteArray(), tr("The encoder cannot start (%1).").arg(reason(nullptr, buffer))};

    QString error;
    const sf_count_t count = sf_count_t(frames.size());
    for (int i = 0; i < repeats && error.isEmpty(); ++i)
        if (sf_writef_short(file, frames.data(), count) != count)
            error = tr("The samples cannot be encoded (%1).").arg(reason(file, buffer));
    // Closing flushes the last blocks and completes the header: it can fail too.
    const int closed = sf_close(file);
    if (error.isEmpty() && closed != 0)
        error = tr("The encoding cannot be completed (%1).").arg(QString::fromUtf8(sf_error_number(closed)));
    if (error.isEmpty() && buffer.outOfMemory) error = reason(nullptr, buffer);
    if (!error.isEmpty()) return {QByteArray(), error};
    return {std::move(buffer.bytes), QString()};
}
