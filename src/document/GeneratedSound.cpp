#include "document/GeneratedSound.h"

#include "core/SoundMutation.h"
#include "core/SoundTemplates.h"

namespace {

QString capitalized(const std::string& name) {
    QString text = QString::fromStdString(name);
    if (!text.isEmpty()) text[0] = text[0].toUpper();
    return text;
}

}  // namespace

std::optional<GeneratedSound> GeneratedSound::fromTemplate(const std::string& templateName, uint64_t seed,
                                                           const SoundSettings& base, KeptParts kept) {
    const std::optional<SoundSettings> sound = sound_templates::generate(templateName, seed, base, kept);
    if (!sound) return std::nullopt;
    const Kind kind = templateName == sound_templates::kRandom ? Kind::Random : Kind::Template;
    return GeneratedSound{kind, templateName, seed, kept, base, *sound};
}

GeneratedSound GeneratedSound::mutation(uint64_t seed, const SoundSettings& base, KeptParts kept) {
    const SoundSettings sound = sound_mutation::mutate(base, seed, sound_mutation::kDefaultAmount, kept);
    return GeneratedSound{Kind::Mutation, std::string(), seed, kept, base, sound};
}

QString GeneratedSound::label() const {
    const QString what = kind == Kind::Template ? capitalized(templateName)
                         : kind == Kind::Random ? QStringLiteral("Random")
                                                : QStringLiteral("Mutation");
    return QStringLiteral("%1, seed %2").arg(what, QString::number(seed));
}

QString GeneratedSound::stepName() const {
    const QString what = kind == Kind::Template ? capitalized(templateName)
                         : kind == Kind::Random ? QStringLiteral("Randomize")
                                                : QStringLiteral("Mutate");
    return QStringLiteral("%1 (seed %2)").arg(what, QString::number(seed));
}

QString GeneratedSound::proposedName() const {
    const QString what = kind == Kind::Mutation ? QStringLiteral("mutation") : QString::fromStdString(templateName);
    return QStringLiteral("%1_%2").arg(what, QString::number(seed));
}

bool GeneratedSound::needsBase() const {
    if (kind == Kind::Mutation || !kept.empty()) return true;
    // The random template draws its own quality; the others keep the base's,
    // where zindle-cli without a base takes a new sound's.
    return kind == Kind::Template && (base.sampleRate != 11025 || base.bitsPerSample != 8);
}

QStringList GeneratedSound::cliArguments(const QString& basePath, const QString& output) const {
    QStringList args;
    if (kind == Kind::Mutation)
        args << QStringLiteral("mutate") << basePath;
    else
        args << QStringLiteral("generate") << QString::fromStdString(templateName);
    args << QStringLiteral("--seed") << QString::number(seed);
    if (kind != Kind::Mutation && needsBase()) args << QStringLiteral("--from") << basePath;
    if (!kept.empty()) args << QStringLiteral("--keep") << QString::fromStdString(kept.names());
    args << QStringLiteral("-o") << output;
    return args;
}
