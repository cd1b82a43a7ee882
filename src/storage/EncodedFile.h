#pragma once

#include <QByteArray>
#include <QString>

// What an encoder hands back: a whole file's bytes, or the reason it failed.
struct EncodedFile {
    QByteArray bytes;
    QString error;  // empty on success
};
