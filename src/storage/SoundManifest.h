#pragma once

#include "storage/WriteResult.h"

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QString>

#include <cstdint>

// sounds.json: what a batch export wrote, for a game engine to read: each
// output with its source and its figures after any gain.
namespace soundmanifest {

constexpr char kFileName[] = "sounds.json";

struct Entry {
    QString name;    // the output's base name ("coin")
    QString file;    // the output, relative to the manifest's folder ("coin.wav")
    QString source;  // the sound file it came from, relative to the manifest's folder
    int rate = 0;
    int bits = 0;
    int64_t samples = 0;  // in the file, repeats included
    double durationMs = 0;
    double peakDb = 0;  // -infinity (null in JSON) when silent
    double loudnessLufs = 0;
    double gainDb = 0;
    bool gainLimited = false;  // a loudness target stopped at the peak ceiling
};

QJsonObject json(const Entry& entry);
// The whole manifest: {"normalize": "lufs:-16", "sounds": [...]}.
QByteArray bytes(const QList<Entry>& entries, const QString& normalize);
// Writes folder/sounds.json atomically.
WriteResult write(const QString& folder, const QList<Entry>& entries, const QString& normalize);

}  // namespace soundmanifest
