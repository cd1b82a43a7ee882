#pragma once

#include "TestBytes.h"

#include <QByteArray>
#include <QString>

// Files for the tests of the document layer, on top of the byte helpers.
namespace testfiles {

// The same bytes as Qt holds them, to compare with what a file holds.
QByteArray qbytes(const Bytes& bytes);

// Writes bytes to a file; false when that fails.
bool writeFile(const QString& path, const QByteArray& bytes);
bool writeFile(const QString& path, const Bytes& bytes);
QByteArray readFile(const QString& path);

}  // namespace testfiles
