#pragma once

#include "cli/CliRequest.h"

class QTextStream;

// The zindle-cli commands that make sounds rather than read them: templates,
// generate and mutate. They return the exit status as the other commands do.
namespace generatecommands {

// Prints the template names, one a line.
int templates(QTextStream& out);

// The sound request.inputs[0] makes for each seed from request.seed on, at the
// new-sound quality or --from's, with --from's kept parts: to -o, or
// DIR/<template>_001.zdl ... with -d.
int generate(const CliRequest& request, QTextStream& err);

// Variations of the single input (its kept parts left), one for each seed from request.seed on: to
// -o, or DIR/<input's base name>_001.zdl ... with -d.
int mutate(const CliRequest& request, QTextStream& err);

}  // namespace generatecommands
