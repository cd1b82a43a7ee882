#pragma once

#include "cli/CliRequest.h"

#include <QString>

class QTextStream;

// The zindle-cli commands render, info, code, convert and new. Each does every input
// it can, names each failure on `err` with its reason, and returns the exit
// status: 0 when all succeeded, 1 when any input could not be read or any
// output not written.
namespace clicommands {

constexpr int kSuccess = 0;
constexpr int kFailure = 1;
constexpr int kUsage = 2;

// The extension of the files a command writes: "wav" or "zdl" (the commands
// that write sounds also write "json").
QString outputExtension(const QString& command);

int render(const CliRequest& request, QTextStream& out, QTextStream& err);
int info(const CliRequest& request, QTextStream& out, QTextStream& err);
// One share code a line, in the inputs' order.
int code(const CliRequest& request, QTextStream& out, QTextStream& err);
int convert(const CliRequest& request, QTextStream& out, QTextStream& err);
int newSound(const CliRequest& request, QTextStream& out, QTextStream& err);

}  // namespace clicommands
