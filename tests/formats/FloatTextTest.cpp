#include "formats/FloatText.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

// The standard library's shortest text and correctly rounded reading are the
// reference here: on this build they exist, and the texts must match them
// character for character.
namespace {

using floattext::ParseStatus;

float fromBits(uint32_t bits) {
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

uint32_t bitsOf(float f) {
    uint32_t bits;
    std::memcpy(&bits, &f, sizeof bits);
    return bits;
}

std::string referenceText(float value) {
    char buffer[64];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    return std::string(buffer, end);
}

struct Reading {
    ParseStatus status;
    uint32_t bits;
};

// from_chars on a JSON number, in the terms of floattext::parse.
Reading referenceReading(const std::string& text) {
    float out = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), out);
    if (ec == std::errc::result_out_of_range) return {ParseStatus::OutOfRange, 0};
    if (ec != std::errc() || end != text.data() + text.size()) return {ParseStatus::Invalid, 0};
    return {ParseStatus::Ok, bitsOf(out)};
}

Reading ownReading(const std::string& text) {
    float out = 0;
    const ParseStatus status = floattext::parse(text, out);
    return {status, status == ParseStatus::Ok ? bitsOf(out) : 0};
}

std::string hex(uint32_t bits) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%08" PRIx32, bits);
    return buffer;
}

// One float through both: the same text, and that text (when finite) reads
// back as the same bits through our reader and the library's.
::testing::AssertionResult sameAsLibrary(uint32_t bits) {
    const float value = fromBits(bits);
    const std::string expected = referenceText(value);
    char buffer[floattext::kMaxChars];
    const std::string own(buffer, floattext::write(buffer, value));
    if (own != expected)
        return ::testing::AssertionFailure() << hex(bits) << ": wrote " << own << ", the library " << expected;
    if ((bits & 0x7F800000) == 0x7F800000) return ::testing::AssertionSuccess();
    const Reading read = ownReading(own);
    if (read.status != ParseStatus::Ok || read.bits != bits)
        return ::testing::AssertionFailure() << hex(bits) << ": " << own << " read back as " << hex(read.bits);
    return ::testing::AssertionSuccess();
}

// The floats where the rules change: zero, the subnormal range and its top,
// the smallest normal, powers of two (whose lower gap is half the upper),
// where the text switches between fixed and scientific, the whole numbers
// written whole, the largest float, infinity and NaN.
const uint32_t kEdgeBits[] = {
    0x00000000, 0x80000000, 0x00000001, 0x80000001, 0x00000002, 0x007FFFFF, 0x00800000, 0x00800001,
    0x01000000, 0x3F800000, 0x3F7FFFFF, 0x3F800001, 0x3DCCCCCD, 0x3E4CCCCD, 0x3A83126F, 0x38D1B717,
    0x4B800001, 0x4B7FFFFF, 0x5368D4A5, 0x56B5E621, 0x55000001, 0x7F7FFFFF, 0xFF7FFFFF, 0x7F000000,
    0x7F800000, 0xFF800000, 0x7FC00000, 0xFFC00000, 0x7F800001,
};

TEST(FloatTextTest, WritesTheLibrarysTextForEdgeAndRandomFloats) {
    for (const uint32_t bits : kEdgeBits) EXPECT_TRUE(sameAsLibrary(bits));
    // Every power of two and its neighbours.
    for (uint32_t field = 0; field < 255; ++field)
        for (const uint32_t fraction : {0u, 1u, 0x7FFFFFu}) EXPECT_TRUE(sameAsLibrary(field << 23 | fraction));
    std::mt19937 random(20261209);
    int failures = 0;
    for (int i = 0; i < 2000000 && failures < 10; ++i) {
        const ::testing::AssertionResult same = sameAsLibrary(random());
        if (!same) ++failures;
        EXPECT_TRUE(same);
    }
}

// Every float: run once with --gtest_also_run_disabled_tests (minutes, not
// seconds, so not on every build).
TEST(FloatTextTest, DISABLED_WritesTheLibrarysTextForEveryFloat) {
    int64_t failures = 0;
    for (uint64_t bits = 0; bits <= 0xFFFFFFFFu && failures < 10; ++bits) {
        const ::testing::AssertionResult same = sameAsLibrary(uint32_t(bits));
        if (!same) ++failures;
        EXPECT_TRUE(same);
    }
}

TEST(FloatTextTest, ReadsExactlyTheJsonNumberGrammar) {
    const std::string longZeros = "0." + std::string(1000, '0') + "1e1001";  // 1
    const std::string longDigits = std::string(5000, '9') + "e-4962";        // 1e38, less a hair
    struct Case {
        std::string text;
        ParseStatus status;
    };
    const Case cases[] = {
        {"0", ParseStatus::Ok},
        {"-0", ParseStatus::Ok},
        {"-0.0e-7", ParseStatus::Ok},
        {"1E+2", ParseStatus::Ok},
        {"0.1", ParseStatus::Ok},
        {"3.4028235e38", ParseStatus::Ok},
        {"1e-45", ParseStatus::Ok},
        {"0e999999999999999999999", ParseStatus::Ok},
        {longZeros, ParseStatus::Ok},
        {longDigits, ParseStatus::Ok},
        {"1e99999999999999999999", ParseStatus::OutOfRange},
        {"1e-99999999999999999999", ParseStatus::OutOfRange},
        {"-1e39", ParseStatus::OutOfRange},
        {"3.4028236e38", ParseStatus::OutOfRange},
        {"7e-46", ParseStatus::OutOfRange},
        {"", ParseStatus::Invalid},
        {"-", ParseStatus::Invalid},
        {"01", ParseStatus::Invalid},
        {"-01", ParseStatus::Invalid},
        {"1.", ParseStatus::Invalid},
        {".5", ParseStatus::Invalid},
        {"+1", ParseStatus::Invalid},
        {"--1", ParseStatus::Invalid},
        {"1e", ParseStatus::Invalid},
        {"1e+", ParseStatus::Invalid},
        {"1.e5", ParseStatus::Invalid},
        {"1e5.0", ParseStatus::Invalid},
        {"inf", ParseStatus::Invalid},
        {"nan", ParseStatus::Invalid},
        {"0x10", ParseStatus::Invalid},
        {" 1", ParseStatus::Invalid},
        {"1 ", ParseStatus::Invalid},
    };
    for (const Case& c : cases) {
        const Reading own = ownReading(c.text);
        EXPECT_EQ(own.status, c.status) << c.text.substr(0, 60);
        // Where the grammar allows the number, the library agrees on it.
        if (c.status != ParseStatus::Invalid) {
            const Reading library = referenceReading(c.text);
            EXPECT_EQ(own.status, library.status) << c.text.substr(0, 60);
            EXPECT_EQ(hex(own.bits), hex(library.bits)) << c.text.substr(0, 60);
        }
    }
}

// A random JSON number: mostly a handful of digits near the float range,
// now and then a long run (past the digits kept exactly) or an exponent far
// outside it, with leading zeros in the fraction and the exponent.
std::string randomNumber(std::mt19937& random) {
    auto below = [&random](uint32_t n) { return random() % n; };
    auto digits = [&](size_t count, bool leadingNonzero) {
        std::string out;
        for (size_t i = 0; i < count; ++i) out += char('0' + (i == 0 && leadingNonzero ? 1 + below(9) : below(10)));
        return out;
    };
    const uint32_t shape = below(100);
    const size_t count = shape < 70 ? 1 + below(12) : shape < 90 ? 13 + below(40) : 100 + below(300);
    std::string text = below(2) ? "-" : "";
    const size_t whole = below(3) == 0 ? 0 : below(uint32_t(count) + 1);
    text += whole == 0 ? "0" : digits(whole, true);
    int64_t exponent = -int64_t(whole);
    if (whole < count || below(4) == 0) {
        const size_t zeros = below(4) == 0 ? below(50) : 0;
        text += "." + std::string(zeros, '0') + digits(count - whole + 1, false);
        exponent += int64_t(zeros);
    }
    // Aim the leading digit at 10^-50 .. 10^42, or anywhere now and then.
    const int64_t target = below(20) == 0 ? int64_t(below(2000)) - 1000 : int64_t(below(93)) - 50;
    const int64_t power = target + exponent;
    if (power != 0 || below(3) == 0) {
        text += below(2) ? "e" : "E";
        text += power < 0 ? "-" : below(2) ? "+" : "";
        text += std::string(below(3), '0') + std::to_string(power < 0 ? -power : power);
    }
    return text;
}

TEST(FloatTextTest, ReadsRandomNumbersAsTheLibraryDoes) {
    std::mt19937 random(1209);
    int failures = 0;
    for (int i = 0; i < 300000 && failures < 10; ++i) {
        const std::string text = randomNumber(random);
        const Reading own = ownReading(text), library = referenceReading(text);
        const bool same = own.status == library.status && own.bits == library.bits;
        if (!same) ++failures;
        EXPECT_TRUE(same) << text << ": " << hex(own.bits) << ", the library " << hex(library.bits);
    }
}

// The exact decimal of the point halfway between two neighbouring floats
// reads as the one with the even last bit; a hair above or below it, as the
// nearer one. The midpoint has 25 significant bits, so a double holds it and
// printf writes all its digits.
TEST(FloatTextTest, RoundsHalfwayCasesToEven) {
    std::vector<uint32_t> lows = {0x00000000, 0x00000001, 0x007FFFFE, 0x007FFFFF, 0x00800000,
                                  0x3F7FFFFF, 0x3F800000, 0x4B7FFFFF, 0x7F7FFFFE, 0x7F7FFFFF};
    std::mt19937 random(7);
    for (int i = 0; i < 20000; ++i) lows.push_back(random() % 0x7F7FFFFFu);
    for (const uint32_t low : lows) {
        const uint32_t high = low + 1;
        const double mid = (double(fromBits(low)) + double(high == 0x7F800000 ? 0x1p128 : fromBits(high))) / 2;
        char exact[200];
        std::snprintf(exact, sizeof exact, "%.120e", mid);
        const std::string text = exact;
        const size_t e = text.find('e');
        const std::string above = text.substr(0, e) + "1" + text.substr(e);
        std::string under = text.substr(0, e);
        while (under.back() == '0') under.pop_back();  // the last nonzero digit, one less, then nines
        under.back() = char(under.back() - 1);
        under += "9999" + text.substr(e);
        const uint32_t even = (low & 1) == 0 ? low : high;
        struct Expected {
            std::string text;
            uint32_t bits;
        };
        for (const Expected& x : {Expected{text, even}, Expected{above, high}, Expected{under, low}}) {
            const Reading own = ownReading(x.text);
            const bool outOfRange = x.bits == 0 || x.bits == 0x7F800000;
            EXPECT_EQ(own.status, outOfRange ? ParseStatus::OutOfRange : ParseStatus::Ok) << x.text;
            if (!outOfRange) {
                EXPECT_EQ(hex(own.bits), hex(x.bits)) << x.text;
            }
            const Reading library = referenceReading(x.text);
            EXPECT_EQ(own.status, library.status) << x.text;
            EXPECT_EQ(own.bits, library.bits) << x.text;
        }
    }
}

}  // namespace
