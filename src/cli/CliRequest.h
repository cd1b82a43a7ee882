#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// One parsed zindle-cli command line, checked for usage but not yet run.
struct CliRequest {
    QString command;      // "render", "info", "convert" or "new"
    QStringList inputs;
    QString output;       // -o
    QString directory;    // -d
    std::optional<int> repeats;
    std::optional<int> sampleRate;
    std::optional<int> bits;
    bool json = false;
};
