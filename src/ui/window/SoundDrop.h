#pragma once

#include <QString>

class QMimeData;

// What a drop on the main window may carry: exactly one local .zdl, .json
// or .efc file (the extension decides, in any case, as the Open dialog's
// types do; the file is then read in the format its bytes are in).
namespace sound_drop {

// The file's path, or empty when the drop is to be refused.
QString soundPath(const QMimeData* data);

}  // namespace sound_drop
