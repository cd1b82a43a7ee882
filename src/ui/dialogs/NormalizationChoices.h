#pragma once

#include "storage/Normalization.h"

#include <QList>
#include <QString>

// The normalisations the editor offers, by name, in the Normalize Exports
// menu and the Export All dialog alike.
namespace normalization_choices {

struct Choice {
    normalization::Normalization value;
    QString label;  // "Loudness -16 LUFS"
};

// None first, then the peak and the usual loudness targets.
const QList<Choice>& presets();
// A preset's label, or the target's own text for any other.
QString label(const normalization::Normalization& value);

}  // namespace normalization_choices
