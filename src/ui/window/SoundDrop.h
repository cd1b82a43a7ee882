#pragma once

#include <QString>

class QMimeData;

// What a drop on the main window may carry: exactly one local .zdl, .json
// or .efc file (the name decides, in any case, as in the Open dialog).
namespace sound_drop {

// The file's path, or empty when the drop is to be refused.
QString soundPath(const QMimeData* data);

}  // namespace sound_drop
