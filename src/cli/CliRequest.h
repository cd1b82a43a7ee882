#pragma once

#include "core/KeptParts.h"
#include "storage/Normalization.h"
#include "storage/SoundExport.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

// One parsed zindle-cli command line, checked for usage but not yet run.
struct CliRequest {
    QString command;     // "render", "info", "convert", "new", "templates", "generate" or "mutate"
    QStringList inputs;  // for generate, the template name
    QString output;      // -o
    QString directory;   // -d
    QString to;          // --to: "zdl" or "json", the form of sounds written to -d, beside or to -o -
    std::optional<int> repeats;
    std::optional<int> sampleRate;
    std::optional<int> bits;
    // render: --format, the type of the files named by -d, beside the input
    // and --variants (WAV when not given); -o's extension names its own.
    std::optional<soundexport::ExportFormat> format;
    bool json = false;
    uint64_t seed = 1;            // the first of the seeds seed, seed + 1, ...
    int count = 1;                // generate and mutate: how many sounds
    std::optional<int> variants;  // render: mutated variations of each input
    float amount = 0.1f;          // mutate and render --variants
    QString from;                 // generate --from: the sound whose quality and kept parts it takes
    KeptParts kept;               // generate and mutate --keep
    // render: --normalize's gain for every output (none by default), and
    // --manifest, DIR/sounds.json listing what -d DIR received.
    normalization::Normalization normalize;
    bool manifest = false;
};
