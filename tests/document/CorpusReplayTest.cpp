#include "ReaderChecks.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <functional>

namespace {

using Check = std::function<std::string(const uint8_t*, size_t)>;

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Each seed whole, every prefix of it, and each byte flipped in turn: what
// the fuzzers start from, run in the normal build.
void replay(const char* folder, const Check& check) {
    const QDir dir(QStringLiteral(ZINDLE_TEST_DATA "/corpus/") + QLatin1String(folder));
    const QStringList seeds = dir.entryList(QDir::Files, QDir::Name);
    ASSERT_GE(seeds.size(), 5) << dir.path().toStdString();
    for (const QString& seed : seeds) {
        QByteArray bytes = contents(dir.filePath(seed));
        ASSERT_FALSE(bytes.isEmpty()) << seed.toStdString();
        const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());  // detached once, here
        for (qsizetype size = 0; size <= bytes.size(); ++size) {
            const std::string fault = check(data, size_t(size));
            ASSERT_EQ(fault, "") << seed.toStdString() << " cut to " << size << " bytes";
        }
        for (qsizetype i = 0; i < bytes.size(); ++i) {
            bytes[i] = char(~bytes[i]);
            const std::string fault = check(data, size_t(bytes.size()));
            bytes[i] = char(~bytes[i]);
            ASSERT_EQ(fault, "") << seed.toStdString() << " with byte " << i << " flipped";
        }
    }
}

}  // namespace

TEST(CorpusReplay, ZdlReader) { replay("zdl", readerchecks::checkZdl); }
TEST(CorpusReplay, EfcReader) { replay("efc", readerchecks::checkEfc); }
