#pragma once

#include <QByteArray>

#include <cstdint>
#include <vector>

// The stream serial of each page of an Ogg file, in order; empty when the
// bytes are not whole Ogg pages end to end.
std::vector<uint32_t> oggPageSerials(const QByteArray& bytes);
