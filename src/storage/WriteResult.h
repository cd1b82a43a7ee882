#pragma once

#include <QString>

// What a write hands back: success, or the reason it failed.
struct WriteResult {
    bool ok = false;
    QString error;

    static WriteResult success() { return WriteResult{true, QString()}; }
    static WriteResult failure(const QString& reason) { return WriteResult{false, reason}; }
};
