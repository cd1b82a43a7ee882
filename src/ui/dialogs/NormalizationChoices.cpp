#include "ui/dialogs/NormalizationChoices.h"

#include <QObject>

namespace normalization_choices {

using normalization::Target;

const QList<Choice>& presets() {
    // -16 LUFS suits games and the web; -23 is broadcast's (EBU R128).
    static const QList<Choice> list = {
        {{Target::None, 0.0}, QObject::tr("None")},
        {{Target::Peak, -1.0}, QObject::tr("Peak -1 dBFS")},
        {{Target::Loudness, -14.0}, QObject::tr("Loudness -14 LUFS")},
        {{Target::Loudness, -16.0}, QObject::tr("Loudness -16 LUFS")},
        {{Target::Loudness, -23.0}, QObject::tr("Loudness -23 LUFS")},
    };
    return list;
}

QString label(const normalization::Normalization& value) {
    for (const Choice& c : presets())
        if (c.value == value) return c.label;
    return normalization::text(value);
}

}  // namespace normalization_choices
