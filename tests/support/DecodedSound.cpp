#include "DecodedSound.h"

#include <QFile>

#include <sndfile.h>

#include <algorithm>

namespace {

QString typeOf(int format) {
    switch (format & SF_FORMAT_TYPEMASK) {
    case SF_FORMAT_WAV: return QStringLiteral("wav");
    case SF_FORMAT_FLAC: return QStringLiteral("flac");
    case SF_FORMAT_OGG: return QStringLiteral("ogg");
    default: return QStringLiteral("other");
    }
}

int bitsOf(int format) {
    switch (format & SF_FORMAT_SUBMASK) {
    case SF_FORMAT_PCM_S8:
    case SF_FORMAT_PCM_U8: return 8;
    case SF_FORMAT_PCM_16: return 16;
    default: return 0;
    }
}

}  // namespace

DecodedSound DecodedSound::read(const QString& path) {
    DecodedSound d;
    SF_INFO info{};
    SNDFILE* file = sf_open(QFile::encodeName(path).constData(), SFM_READ, &info);
    if (!file) {
        d.error = QString::fromUtf8(sf_strerror(nullptr));
        return d;
    }
    d.type = typeOf(info.format);
    d.bits = bitsOf(info.format);
    d.sampleRate = info.samplerate;
    d.channels = info.channels;
    d.frames = info.frames;
    // Read until the end rather than trusting the frame count, so that a
    // count that disagrees with the data shows.
    short block[4096];
    const sf_count_t perRead = sf_count_t(sizeof block / sizeof block[0]) / std::max(1, info.channels);
    for (;;) {
        const sf_count_t n = sf_readf_short(file, block, perRead);
        if (n <= 0) break;
        d.samples.insert(d.samples.end(), block, block + n * info.channels);
    }
    if (sf_error(file) != SF_ERR_NO_ERROR) d.error = QString::fromUtf8(sf_strerror(file));
    sf_close(file);
    return d;
}

QByteArray DecodedSound::wavBytes() const {
    QByteArray bytes;
    for (const short s : samples) {
        if (bits == 8) {
            if ((s & 0xFF) != 0) return QByteArray();
            bytes.append(char((s >> 8) + 128));
        } else {
            bytes.append(char(s & 0xFF));
            bytes.append(char((s >> 8) & 0xFF));
        }
    }
    return bytes;
}
