#pragma once

#include "cli/CliRequest.h"
#include "core/SoundSettings.h"
#include "storage/ReadResult.h"
#include "storage/WriteResult.h"

#include <QString>

class QTextStream;

// The steps the zindle-cli commands share: reading an input, making the
// output folder, naming outputs and reporting failures.
namespace commandsteps {

void report(QTextStream& err, const QString& file, const QString& reason);

// A folder named with -d is made (with its parents) when it is missing.
bool checkDirectory(const CliRequest& request, QTextStream& err);

// Reads one input; on failure names it on err.
bool readInput(const QString& input, ReadResult& result, QTextStream& err);

bool writeChecked(const QString& output, const WriteResult& written, QTextStream& err);

// The extension of the sounds a request writes where it makes up the name:
// --to's, else "zdl".
QString soundExtension(const CliRequest& request);
// Writes a sound in the form of the output's name, or that of --to where the
// name has none (-o -, a device).
WriteResult writeSound(const CliRequest& request, const QString& output, const SoundSettings& settings);

// "<base>_001.<extension>" for index 1 of `count`: numbered from 1, with at
// least three digits and as many as `count` has (0001 of 1000), so that a
// folder lists the files in order.
QString numberedName(const QString& base, int index, int count, const QString& extension);

// The settings of a new sound at the new-sound quality, 11025 Hz and 8 bit.
SoundSettings newSound();

}  // namespace commandsteps
