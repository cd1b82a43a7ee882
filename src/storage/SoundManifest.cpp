#include "storage/SoundManifest.h"

#include "storage/FileIO.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>

#include <cmath>

namespace soundmanifest {

namespace {

// JSON has no infinity: a silent sound's levels are null. Two decimals are
// finer than any meter or ear tells apart.
QJsonValue level(double db) {
    if (!std::isfinite(db)) return QJsonValue();
    return std::round(db * 100.0) / 100.0;
}

}  // namespace

QJsonObject json(const Entry& e) {
    QJsonObject o;
    o[QStringLiteral("name")] = e.name;
    o[QStringLiteral("file")] = e.file;
    o[QStringLiteral("source")] = e.source;
    o[QStringLiteral("rate")] = e.rate;
    o[QStringLiteral("bits")] = e.bits;
    o[QStringLiteral("samples")] = static_cast<qint64>(e.samples);
    o[QStringLiteral("durationMs")] = std::round(e.durationMs * 1000.0) / 1000.0;
    o[QStringLiteral("peakDb")] = level(e.peakDb);
    o[QStringLiteral("loudnessLufs")] = level(e.loudnessLufs);
    o[QStringLiteral("gainDb")] = level(e.gainDb);
    o[QStringLiteral("gainLimited")] = e.gainLimited;
    return o;
}

QByteArray bytes(const QList<Entry>& entries, const QString& normalize) {
    QJsonArray sounds;
    for (const Entry& e : entries) sounds.append(json(e));
    QJsonObject root;
    root[QStringLiteral("normalize")] = normalize;
    root[QStringLiteral("sounds")] = sounds;
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

WriteResult write(const QString& folder, const QList<Entry>& entries, const QString& normalize) {
    return fileio::writeAtomically(QDir(folder).filePath(QLatin1String(kFileName)), bytes(entries, normalize));
}

}  // namespace soundmanifest
