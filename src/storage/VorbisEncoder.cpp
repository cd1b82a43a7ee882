#include "storage/VorbisEncoder.h"

#include <QCoreApplication>

#include <vorbis/vorbisenc.h>

#include <new>

namespace {

QString tr(const char* text) { return QCoreApplication::translate("soundexport", text); }

QString reason(int code) {
    switch (code) {
    case OV_EIMPL: return tr("the rate or the quality is not supported");
    case OV_EINVAL: return tr("a setting is out of range");
    default: return tr("libvorbis error %1").arg(code);
    }
}

// libvorbis's and libogg's state for one stream, released in the reverse
// order of its setting up.
struct Session {
    vorbis_info info;
    vorbis_comment comment;
    vorbis_dsp_state dsp;
    vorbis_block block;
    ogg_stream_state stream;
    bool dspReady = false;
    bool blockReady = false;
    bool streamReady = false;
    QByteArray bytes;
    bool outOfMemory = false;

    Session() {
        vorbis_info_init(&info);
        vorbis_comment_init(&comment);
    }
    ~Session() {
        if (streamReady) ogg_stream_clear(&stream);
        if (blockReady) vorbis_block_clear(&block);
        if (dspReady) vorbis_dsp_clear(&dsp);
        vorbis_comment_clear(&comment);
        vorbis_info_clear(&info);
    }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // The reason, unless it was memory that failed.
    EncodedFile failure(const QString& why) const {
        return {QByteArray(), outOfMemory ? tr("There is not enough memory for the file.") : why};
    }

    void append(const ogg_page& page) {
        try {
            bytes.append(reinterpret_cast<const char*>(page.header), page.header_len);
            bytes.append(reinterpret_cast<const char*>(page.body), page.body_len);
        } catch (const std::bad_alloc&) {
            outOfMemory = true;
        }
    }

    // Every block libvorbis has ready, analysed and welded into pages.
    bool drain() {
        int ready = 0;
        while ((ready = vorbis_analysis_blockout(&dsp, &block)) == 1) {
            if (vorbis_analysis(&block, nullptr) != 0 || vorbis_bitrate_addblock(&block) != 0) return false;
            ogg_packet packet;
            int flushed = 0;
            while ((flushed = vorbis_bitrate_flushpacket(&dsp, &packet)) == 1) {
                if (ogg_stream_packetin(&stream, &packet) != 0) return false;
                ogg_page page;
                while (ogg_stream_pageout(&stream, &page) != 0) append(page);
            }
            if (flushed < 0) return false;
        }
        return ready == 0 && !outOfMemory;
    }
};

}  // namespace

uint32_t VorbisEncoder::serialFor(const std::vector<short>& frames, int repeats, int sampleRate) {
    uint32_t hash = 2166136261u;
    auto add = [&hash](uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) {
            hash ^= (value >> (8 * i)) & 0xFFu;
            hash *= 16777619u;
        }
    };
    add(uint32_t(sampleRate), 4);
    add(uint32_t(repeats), 4);
    for (const short frame : frames) add(uint16_t(frame), 2);
    return hash;
}

EncodedFile VorbisEncoder::encode(const std::vector<short>& frames, int repeats) const {
    Session s;
    const QString cannotStart = tr("The encoder cannot start.");
    const int setup = vorbis_encode_init_vbr(&s.info, 1, sampleRate_, quality_);
    if (setup != 0) return {QByteArray(), tr("The encoder cannot start (%1).").arg(reason(setup))};
    if (vorbis_analysis_init(&s.dsp, &s.info) != 0) return {QByteArray(), cannotStart};
    s.dspReady = true;
    if (vorbis_block_init(&s.dsp, &s.block) != 0) return {QByteArray(), cannotStart};
    s.blockReady = true;
    if (ogg_stream_init(&s.stream, static_cast<int>(serialFor(frames, repeats, sampleRate_))) != 0)
        return {QByteArray(), cannotStart};
    s.streamReady = true;

    // The three header packets, flushed so that the audio starts on a page of its own.
    ogg_packet identification, comments, codebooks;
    if (vorbis_analysis_headerout(&s.dsp, &s.comment, &identification, &comments, &codebooks) != 0 ||
        ogg_stream_packetin(&s.stream, &identification) != 0 || ogg_stream_packetin(&s.stream, &comments) != 0 ||
        ogg_stream_packetin(&s.stream, &codebooks) != 0)
        return {QByteArray(), cannotStart};
    ogg_page page;
    while (ogg_stream_flush(&s.stream, &page) != 0) s.append(page);
    if (s.outOfMemory) return s.failure(QString());

    const QString failed = tr("The samples cannot be encoded.");
    // Each repeat goes in whole, as libsndfile gave it: libvorbis's first
    // blocks depend on how much it has at once, and so the audio packets are
    // the ones libsndfile wrote.
    const int n = static_cast<int>(frames.size());
    for (int r = 0; n > 0 && r < repeats; ++r) {
        float** buffer = vorbis_analysis_buffer(&s.dsp, n);
        if (!buffer) return s.failure(failed);
        // Scaled as libsndfile scaled them.
        for (int i = 0; i < n; ++i) buffer[0][i] = float(frames[size_t(i)]) / 32767.0f;
        if (vorbis_analysis_wrote(&s.dsp, n) != 0 || !s.drain()) return s.failure(failed);
    }
    // No more samples: the last blocks and the end-of-stream page.
    if (vorbis_analysis_wrote(&s.dsp, 0) != 0 || !s.drain()) return s.failure(failed);
    while (ogg_stream_flush(&s.stream, &page) != 0) s.append(page);
    if (s.outOfMemory) return s.failure(failed);
    return {std::move(s.bytes), QString()};
}
