#include "storage/FileNames.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

// Every name the system can hold comes back byte for byte, whatever Qt
// would have made of it.
TEST(FileNames, AnyBytesSurviveTheTripThroughAString) {
    const QByteArray cases[] = {
        "plain.zdl",
        "caf\xc3\xa9.zdl",        // UTF-8
        "caf\xe9.zdl",            // Latin-1
        "\xff\xfe\x80",           // never UTF-8
        "\xc0\xaf",               // an overlong "/"
        "\xed\xa0\x80",           // an encoded surrogate
        "\xed\xb3\xbf",           // the very surrogate a stray 0xFF becomes
        "\xf4\x90\x80\x80",       // past U+10FFFF
        "\xf0\x9f\x94\x8a boom",  // outside the basic plane
        "cut \xe2\x82",           // a sequence cut short
    };
    for (const QByteArray& bytes : cases)
        EXPECT_EQ(filenames::encode(filenames::decode(bytes)), bytes) << bytes.toHex().constData();

    QRandomGenerator random(17);
    for (int n = 0; n < 20000; ++n) {
        QByteArray bytes(int(random.bounded(1, 12)), '\0');
        for (char& b : bytes) b = char(random.bounded(1, 256));
        ASSERT_EQ(filenames::encode(filenames::decode(bytes)), bytes) << bytes.toHex().constData();
    }
}

// UTF-8 names read as Qt reads them, so the editor's names and the command
// line's agree wherever Qt can spell them.
TEST(FileNames, Utf8IsDecodedAsQtDecodesIt) {
    for (const char* text : {"boom.zdl", "caf\xc3\xa9", "\xe2\x82\xac\xf0\x9f\x94\x8a", "\xe6\x97\xa5\xe6\x9c\xac"}) {
        const QByteArray bytes(text);
        EXPECT_EQ(filenames::decode(bytes), QString::fromUtf8(bytes)) << text;
        EXPECT_EQ(filenames::encode(QString::fromUtf8(bytes)), bytes) << text;
    }
    // A stray byte is kept apart from any character Qt would give.
    EXPECT_EQ(filenames::decode("a\xff"), QString(QLatin1Char('a')) + QChar(char16_t(0xDCFF)));
}
