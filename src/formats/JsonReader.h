#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// A cursor over JSON text (RFC 8259, UTF-8) that reads one token at a time
// and knows the line and column it is at. The caller walks the structure it
// expects, so no tree is built: memory stays at what the caller keeps, and
// only skipValue() nests, up to kMaxDepth, without recursion. The first
// failure is kept as "line L, column C: what"; every later call then fails.
class JsonReader {
public:
    // Deeper than any sound needs by far, and a fixed stack in skipValue().
    static constexpr int kMaxDepth = 64;

    enum class Kind { Object, Array, String, Number, Literal, End, Invalid };

    // 1-based; a column counts characters, not bytes.
    struct Position {
        int64_t line = 1;
        int64_t column = 1;
    };

    // A leading UTF-8 byte order mark is skipped, as RFC 8259 allows.
    JsonReader(const uint8_t* data, size_t size);

    // Skips whitespace; the kind of what comes next (End at the end).
    Kind peek();
    // Where the next byte is (call peek() first to be past whitespace).
    Position position() const { return position_; }
    // Skips whitespace; where the next token starts.
    Position nextPosition() {
        skipWhitespace();
        return position_;
    }
    // Skips whitespace and takes `c` if it comes next.
    bool consume(char c);
    // Skips whitespace and takes `c`, or fails with "expected <what>".
    bool expect(char c, const char* what);

    // Each reads a token of its kind after whitespace, or fails.
    bool readString(std::string& out);
    // A string where an object's key must come.
    bool readKey(std::string& out);
    // The text of a number that follows the JSON grammar.
    bool readNumber(std::string_view& token);
    // true, false or null.
    bool readLiteral(std::string_view& word);
    // A whole value of any kind, read and dropped.
    bool skipValue();

    // Records the failure (unless one is kept already) and returns false.
    bool fail(Position at, const std::string& what);
    bool failed() const { return !error_.empty(); }
    const std::string& error() const { return error_; }

    // `text` in double quotes with JSON escapes, cut short with "..." when
    // long, so a message stays one readable line.
    static std::string quoted(std::string_view text);

private:
    void skipWhitespace();
    int next() const { return pos_ < size_ ? data_[pos_] : -1; }
    void advance();
    bool failHere(const std::string& what) { return fail(position_, what); }
    bool failUnexpected(const char* expected);
    bool readEscape(std::string& out);
    bool readHex4(uint32_t& unit);
    bool readUtf8(std::string& out);
    bool readDigits();

    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
    Position position_;
    std::string error_;
};
