#pragma once

#include <string>
#include <string_view>

// Float to decimal text and back with integer arithmetic only, so every
// build (native or WebAssembly, whatever its standard library offers) writes
// and reads the same characters for the same bits.
namespace floattext {

// Room for the longest text write() makes: 15 characters, such as
// "-1.1754942e-38" or "-12345678901234".
constexpr int kMaxChars = 16;

// The shortest text that reads back as the same float, chosen as the
// standard library's plain to_chars chooses it: fixed or scientific,
// whichever is shorter (fixed on a tie), "e+XX" with at least two exponent
// digits, and "inf", "-inf", "nan", "-nan" for the rest. Writes no more than
// kMaxChars into `first` and returns the end.
char* write(char* first, float value);
std::string text(float value);

enum class ParseStatus {
    Ok,
    OutOfRange,  // a number that rounds to infinity, or to zero without being zero
    Invalid,     // not a whole JSON number
};

// A JSON number (RFC 8259: -?(0|[1-9][0-9]*)(\.[0-9]+)?([eE][+-]?[0-9]+)?,
// nothing before or after) as the nearest float, ties to even, however many
// digits it has. `out` is set only on Ok.
ParseStatus parse(std::string_view text, float& out);

}  // namespace floattext
