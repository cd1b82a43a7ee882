#pragma once

#include "core/KeptParts.h"
#include "core/SoundSettings.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <string>

// One sound that Generate, Randomize or Mutate made, with what it was made
// from, so that it can be named, heard again and made again by zindle-cli.
struct GeneratedSound {
    enum class Kind { Template, Random, Mutation };

    Kind kind = Kind::Template;
    std::string templateName;  // the template ("coin"; "random" for Random), empty for a mutation
    uint64_t seed = 0;
    KeptParts kept;
    SoundSettings base;   // the open sound it was made from
    SoundSettings sound;  // what it made

    // The sound `templateName` ("random": Randomize) makes for `seed` from
    // `base`; nothing for a name that is no template.
    static std::optional<GeneratedSound> fromTemplate(const std::string& templateName, uint64_t seed,
                                                      const SoundSettings& base, KeptParts kept = {});
    // Mutate's variation of `base` by the default amount.
    static GeneratedSound mutation(uint64_t seed, const SoundSettings& base, KeptParts kept = {});

    // As the Generated list shows it: "Coin, seed 48213", "Random, seed 7",
    // "Mutation, seed 9".
    QString label() const;
    // The undo step: "Coin (seed 48213)", "Randomize (seed 7)", "Mutate (seed 9)".
    QString stepName() const;
    // A file name to offer for it, without extension: "coin_48213".
    QString proposedName() const;

    // Whether zindle-cli needs the base to make it again: for a mutation, for
    // kept parts, and for a template that keeps a quality other than a new
    // sound's.
    bool needsBase() const;
    // The zindle-cli arguments (after the program) that write the same sound
    // to `output`, reading the base, where needsBase(), from `basePath`.
    QStringList cliArguments(const QString& basePath, const QString& output) const;
};
