#include "formats/JsonFormat.h"
#include "formats/ZdlFormat.h"

#include "TestBytes.h"

#include <gtest/gtest.h>

#include <string>

using testfiles::decodeJson;
using testfiles::newSound;

namespace {

// The new sound's text (see JsonFormatTest) with the first `from` replaced
// by `to`, and a marker that fails the case when `from` is not there.
std::string changed(const std::string& from, const std::string& to) {
    std::string text = soundjson::encode(newSound());
    const size_t at = text.find(from);
    if (at == std::string::npos) return "(no " + from + " in the text)";
    return text.replace(at, from.size(), to);
}

std::string curveOf(size_t points) {
    std::string text = "[";
    for (size_t i = 0; i < points; ++i) text += i + 1 < points ? "[0, 0],\n" : "[1, 0]]";
    return text;
}

}  // namespace

// Every kind of error, each with the whole message the user reads. Lines and
// columns are those of the new sound's text: "length" is on line 5, its value
// in column 13; the amplitude points are lines 13 to 18 and the closing brace
// is line 28.
TEST(JsonErrors, EachKindIsNamedWithItsLineAndColumn) {
    const std::string deep(65, '[');
    const struct {
        std::string text;
        const char* error;
    } cases[] = {
        // The shape of the whole.
        {"", "line 1, column 1: a sound is a JSON object, starting with '{'"},
        {"[]", "line 1, column 1: a sound is a JSON object, starting with '{'"},
        {"{}", "line 1, column 2: missing key \"format\""},
        {"{format: 1}", "line 1, column 2: expected a key in double quotes, found 'f'"},
        {"{\"format\" \"zindle-sound\"}", "line 1, column 11: expected ':' after the key, found '\"'"},
        {changed("\"version\": 1,", "\"version\": 1"), "line 4, column 3: expected ',' or '}', found '\"'"},
        {changed("  ]\n}", "  ],\n}"), "line 28, column 1: expected a key in double quotes, found '}'"},
        {changed("  \"length\"", "  // loud\n  \"length\""),
         "line 5, column 3: expected a key in double quotes, found '/'"},
        {changed("}\n", "}\n{}"), "line 29, column 1: text after the end of the sound"},
        {"{\"\xC3\xA4\": x", "line 1, column 7: expected a value, found 'x'"},  // columns count characters
        // Keys.
        {changed("\"length\"", "\"lenght\""), "line 5, column 3: unknown key \"lenght\""},
        {changed("  \"distort\": 0,\n", ""), "line 27, column 1: missing key \"distort\""},
        {changed("  \"distort\": 0,\n", "  \"distort\": 0,\n  \"distort\": 0,\n"),
         "line 7, column 3: duplicate key \"distort\""},
        {changed("\"format\"", "\"x\": tru, \"format\""),
         "line 2, column 8: invalid word (only true, false and null are)"},
        {changed("\"format\"", "\"x\": " + deep + ", \"format\""), "line 2, column 72: nested more than 64 deep"},
        // Format and version; a newer version outranks the keys it brought.
        {changed("zindle-sound", "zindle-song"),
         "line 2, column 13: the format is \"zindle-song\", not \"zindle-sound\""},
        {changed("\"version\": 1", "\"version\": 2, \"echoes\": [1]"),
         "line 3, column 14: the sound is version 2, written by a newer Zindle; this one reads version 1"},
        {changed("\"version\": 1", "\"version\": 0"), "line 3, column 14: there is no version 0"},
        {changed("\"version\": 1", "\"version\": \"1\""), "line 3, column 14: \"version\" must be a whole number"},
        // The waveform.
        {changed("\"Sine\"", "\"Sqare\""), "line 4, column 15: unknown waveform \"Sqare\""},
        {changed("\"Sine\"", "\"sine\""), "line 4, column 15: unknown waveform \"sine\""},
        {changed("\"Sine\"", "2.5"), "line 4, column 15: \"waveform\" must be a whole number"},
        {changed("\"Sine\"", "4294967296"), "line 4, column 15: the waveform code 4294967296 is out of range"},
        {changed("\"Sine\"", "null"), "line 4, column 15: \"waveform\" must be a waveform's name or code"},
        // Numbers.
        {changed("0.2,", "\"0.2\","), "line 5, column 13: \"length\" must be a number"},
        {changed("0.2,", "NaN,"), "line 5, column 13: \"length\" must be a number"},
        {changed("0.2,", ".5,"), "line 5, column 13: \"length\" must be a number"},
        {changed("0.2,", "+1,"), "line 5, column 13: \"length\" must be a number"},
        {changed("0.2,", "01,"), "line 5, column 13: invalid number"},
        {changed("0.2,", "1.,"), "line 5, column 13: invalid number"},
        {changed("0.2,", "-,"), "line 5, column 13: invalid number"},
        {changed("0.2,", "1e,"), "line 5, column 13: invalid number"},
        {changed("0.2,", "0x1,"), "line 5, column 13: invalid number"},
        {changed("0.2,", "1e39,"), "line 5, column 13: the number \"1e39\" is out of the range of a float"},
        {changed("0.2,", "1e-50,"), "line 5, column 13: the number \"1e-50\" is out of the range of a float"},
        {changed("\"repeatCount\": 1", "\"repeatCount\": 1.5"),
         "line 9, column 18: \"repeatCount\" must be a whole number"},
        {changed("\"repeatCount\": 1", "\"repeatCount\": 99999999999999999999"),
         "line 9, column 18: \"repeatCount\" is out of range: 99999999999999999999"},
        {changed("11025", "1e4"), "line 11, column 17: \"sampleRate\" must be a whole number"},
        // Strings.
        {"{\"format\": \"zindle", "line 1, column 12: the string has no closing quote"},
        {changed("\"Sine\",", "\"Sine,"),
         "line 4, column 21: a control character (byte 0x0A) in a string must be escaped"},
        {changed("\"Sine\"", "\"Si\\xe\""), "line 4, column 18: invalid escape in a string"},
        {changed("\"Sine\"", "\"\\u12\""), "line 4, column 16: \\u must be followed by four hex digits"},
        {changed("\"Sine\"", "\"\\ud800\""), "line 4, column 16: \\u escape of a high surrogate without its low half"},
        {changed("\"Sine\"", "\"\\udc00\""), "line 4, column 16: \\u escape of a lone low surrogate"},
        {changed("\"Sine\"", "\"\xC3\x28\""), "line 4, column 16: invalid UTF-8"},
        {changed("\"Sine\"", "\"\xC0\xAF\""), "line 4, column 16: invalid UTF-8"},          // overlong
        {changed("\"Sine\"", "\"\xED\xA0\x80\""), "line 4, column 16: invalid UTF-8"},      // a surrogate
        {changed("\"Sine\"", "\"\xF4\x90\x80\x80\""), "line 4, column 16: invalid UTF-8"},  // past U+10FFFF
        // Curves.
        {changed("[0, 0.75],", "[0, 0.75, 1],"),
         "line 13, column 5: each point of \"amplitude\" must be a [time, value] pair of two numbers"},
        {changed("[0, 0.75],", "[0],"),
         "line 13, column 5: each point of \"amplitude\" must be a [time, value] pair of two numbers"},
        {changed("[0, 0.75],", "[\"0\", 0.75],"),
         "line 13, column 5: each point of \"amplitude\" must be a [time, value] pair of two numbers"},
        {changed("[1, 0.5]\n", "[1, 0.5],\n"),
         "line 27, column 3: each point of \"frequency\" must be a [time, value] pair of two numbers"},
        {changed("\"frequency\": [", "\"frequency\": 5, \"x\": ["),
         "line 20, column 16: \"frequency\" must be a list of [time, value] pairs"},
        {changed("[0.2, 0.75]", "[0.2, 1e99]"),
         "line 14, column 11: the number \"1e99\" is out of the range of a float"},
        {changed("\"amplitude\": [", "\"amplitude\": " + curveOf(65537) + ", \"x\": ["),
         "line 65548, column 1: \"amplitude\" has more than 65536 points"},
        // What the shared checks refuse, in their own words.
        {changed("    [0, 0.75],\n    [0.2, 0.75],\n    [0.4, 0.75],\n    [0.6, 0.75],\n    [0.8, 0.75],\n", ""),
         "The amplitude curve has fewer than 2 points."},
        {changed("\"bitsPerSample\": 8", "\"bitsPerSample\": 12"), "The sample width 12 is not 8 or 16 bits."},
        {changed("11025", "-11025"), "The sample rate -11025 is not 11025, 22050 or 44100."},
    };
    for (const auto& c : cases) {
        const DecodeResult read = decodeJson(c.text);
        EXPECT_FALSE(read.ok) << c.error;
        EXPECT_EQ(read.error, c.error) << c.text.substr(0, 400);
    }
}

TEST(JsonErrors, TheCurveLimitIsThatOfTheBinaryFile) {
    std::string text = soundjson::encode(newSound());
    const size_t from = text.find("\"amplitude\": [") + 13;    // the '['
    const size_t to = text.find("  ],\n  \"frequency\"") + 3;  // past the ']'
    text.replace(from, to - from, curveOf(65536));
    const DecodeResult read = decodeJson(text);
    ASSERT_TRUE(read.ok) << read.error;
    EXPECT_EQ(read.settings.amplitude.pointCount(), 65536);
}

TEST(JsonErrors, LargerThanTheFileLimitIsRefusedUnread) {
    std::string text = soundjson::encode(newSound());
    text.resize(size_t(zdl::kMaxFileBytes) + 1, ' ');
    EXPECT_EQ(decodeJson(text).error, "The text is larger than 67108864 bytes.");
    text.resize(size_t(zdl::kMaxFileBytes));
    EXPECT_TRUE(decodeJson(text).ok);
}

// 64 deep, the limit, and every kind of value, inside a key that is
// then refused: the skipping reads the whole grammar.
TEST(JsonErrors, UnknownValuesAreReadThroughBeforeTheKeyIsNamed) {
    const std::string deep =
        std::string(62, '[') + "{\"a\": [true, false, null, -1.5e+3, \"\\\"\"], \"b\": {}}" + std::string(62, ']');
    const DecodeResult read = decodeJson(changed("\"format\"", "\"extra\": " + deep + ", \"format\""));
    EXPECT_EQ(read.error, "line 2, column 3: unknown key \"extra\"");
}
