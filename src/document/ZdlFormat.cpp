#include "ZdlFormat.h"

#include "ByteReader.h"
#include "FileIO.h"
#include "RawSettings.h"

#include <QCoreApplication>

#include <cstring>

namespace zdl {

namespace {

QString tr(const char* text) { return QCoreApplication::translate("zdl", text); }

void put16(QByteArray& out, uint16_t v) {
    const char b[2] = {char(v & 0xFF), char(v >> 8)};
    out.append(b, 2);
}

void put32(QByteArray& out, uint32_t v) {
    const char b[4] = {char(v & 0xFF), char((v >> 8) & 0xFF), char((v >> 16) & 0xFF), char(v >> 24)};
    out.append(b, 4);
}

void putFloat(QByteArray& out, float f) {
    uint32_t bits;
    std::memcpy(&bits, &f, sizeof bits);
    put32(out, bits);
}

void putCurve(QByteArray& out, const Envelope& e) {
    put32(out, static_cast<uint32_t>(e.pointCount()));
    for (int i = 0; i < e.pointCount(); ++i) {
        putFloat(out, e.time(i));
        putFloat(out, e.value(i));
    }
}

// Count, then interleaved (time, value) pairs. The count is checked against
// what is left of the file before anything is allocated.
QString readCurve(ByteReader& in, const char* name, std::vector<float>& times, std::vector<float>& values) {
    const int32_t count = in.i32();
    if (in.failed()) return tr("The file ends early.");
    if (count < 2) return tr("The %1 curve has fewer than 2 points.").arg(QLatin1String(name));
    if (in.remaining() / kPointBytes < count)
        return tr("The %1 curve claims more points than the file holds.").arg(QLatin1String(name));
    if (count > kMaxPoints)
        return tr("The %1 curve has too many points: %2; at most %3.").arg(QLatin1String(name)).arg(count).arg(kMaxPoints);
    times.resize(size_t(count));
    values.resize(size_t(count));
    for (size_t i = 0; i < size_t(count); ++i) {
        times[i] = in.f32();
        values[i] = in.f32();
    }
    return QString();
}

}  // namespace

QByteArray encode(const SoundSettings& s) {
    QByteArray out;
    out.reserve(kFixedBytes + kPointBytes * (s.amplitude.pointCount() + s.frequency.pointCount()));
    put32(out, static_cast<uint32_t>(kVersion));
    putCurve(out, s.amplitude);
    putCurve(out, s.frequency);
    put32(out, static_cast<uint32_t>(s.waveform));
    putFloat(out, s.length);
    putFloat(out, s.distort);
    putFloat(out, s.echoVolume);
    putFloat(out, s.echoDelay);
    put32(out, static_cast<uint32_t>(s.repeatCount));
    put16(out, static_cast<uint16_t>(s.bitsPerSample));
    put32(out, static_cast<uint32_t>(s.sampleRate));
    return out;
}

ReadResult decode(const QByteArray& bytes) {
    ByteReader in(bytes);
    RawSettings raw;
    const int32_t version = in.i32();
    if (in.failed()) return ReadResult::failure(tr("The file ends early."));
    QString reason = readCurve(in, "amplitude", raw.amplitudeTimes, raw.amplitudeValues);
    if (reason.isEmpty()) reason = readCurve(in, "frequency", raw.frequencyTimes, raw.frequencyValues);
    if (!reason.isEmpty()) return ReadResult::failure(reason);
    raw.waveform = in.i32();
    raw.length = in.f32();
    raw.distort = in.f32();
    raw.echoVolume = in.f32();
    raw.echoDelay = in.f32();
    raw.repeatCount = in.i32();
    // Any version but 1000 is read with the 1001 layout.
    raw.bitsPerSample = version == kVersionWithoutWidth ? 8 : in.u16();
    raw.sampleRate = in.u32();
    if (in.failed()) return ReadResult::failure(tr("The file ends early."));

    ReadResult result;
    reason = raw.toSettings(result.settings);
    if (!reason.isEmpty()) return ReadResult::failure(reason);
    result.ok = true;
    result.version = version;
    return result;
}

ReadResult read(const QString& path) {
    QByteArray bytes;
    QString reason;
    if (!fileio::readWhole(path, kMaxFileBytes, bytes, reason)) return ReadResult::failure(reason);
    return decode(bytes);
}

WriteResult write(const QString& path, const SoundSettings& settings) {
    return fileio::writeAtomically(path, encode(settings));
}

}  // namespace zdl
