#include "TestFiles.h"

#include <QFile>

#include <cstring>

namespace testfiles {

QByteArray hex(const char* text) {
    QByteArray digits(text);
    digits.replace(' ', "").replace(',', "").replace('\n', "");
    return QByteArray::fromHex(digits);
}

SoundSettings settingsWith(const char* amplitude, const char* frequency) {
    SoundSettings s;
    s.resetToNew();
    s.amplitude.fromText(amplitude);
    s.frequency.fromText(frequency);
    return s;
}

namespace {
void put16(QByteArray& b, int at, int16_t v) {
    b[at] = char(v & 0xFF);
    b[at + 1] = char((uint16_t(v) >> 8) & 0xFF);
}
void put32(QByteArray& b, int at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = char((v >> (8 * i)) & 0xFF);
}
void putPoints(QByteArray& b, int at, const std::vector<std::pair<int16_t, int16_t>>& points) {
    for (size_t i = 0; i < points.size() && i < 12; ++i) {
        put16(b, at + int(i) * 4, points[i].first);
        put16(b, at + int(i) * 4 + 2, points[i].second);
    }
}
}  // namespace

QByteArray EfcRecord::bytes() const {
    QByteArray b(1578, '\0');
    put16(b, 4, amplitudeCount.value_or(int16_t(amplitude.size())));
    put16(b, 6, frequencyCount.value_or(int16_t(frequency.size())));
    putPoints(b, 8, amplitude);
    putPoints(b, 56, frequency);
    uint32_t entryBits;
    std::memcpy(&entryBits, &cycleEntry20, 4);
    put32(b, 104 + 4 * 20, entryBits);
    put16(b, 1544, echoVolume);
    put16(b, 1546, echoDelay);
    put16(b, 1548, distort);
    put32(b, 1560, uint32_t(sampleRate));
    put32(b, 1568, sampleCount);
    put16(b, 1576, repeatCount);
    return b;
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace testfiles
