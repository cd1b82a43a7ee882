#include "formats/JsonReader.h"

namespace {

bool isDigit(int c) { return c >= '0' && c <= '9'; }

int hexValue(int c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

void appendUtf8(std::string& out, uint32_t cp) {
    if (cp < 0x80) {
        out += char(cp);
    } else if (cp < 0x800) {
        out += char(0xC0 | (cp >> 6));
        out += char(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += char(0xE0 | (cp >> 12));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    } else {
        out += char(0xF0 | (cp >> 18));
        out += char(0x80 | ((cp >> 12) & 0x3F));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    }
}

std::string describeByte(int c) {
    static const char digits[] = "0123456789ABCDEF";
    if (c >= 0x21 && c < 0x7F) return "'" + std::string(1, char(c)) + "'";
    return std::string("byte 0x") + digits[(c >> 4) & 0xF] + digits[c & 0xF];
}

}  // namespace

JsonReader::JsonReader(const uint8_t* data, size_t size) : data_(data), size_(size) {
    if (size_ >= 3 && data_[0] == 0xEF && data_[1] == 0xBB && data_[2] == 0xBF) pos_ = 3;
}

void JsonReader::advance() {
    const uint8_t b = data_[pos_++];
    if (b == '\n') {
        ++position_.line;
        position_.column = 1;
    } else if ((b & 0xC0) != 0x80) {  // continuation bytes belong to the character before
        ++position_.column;
    }
}

void JsonReader::skipWhitespace() {
    for (int c = next(); c == ' ' || c == '\t' || c == '\n' || c == '\r'; c = next()) advance();
}

JsonReader::Kind JsonReader::peek() {
    skipWhitespace();
    switch (next()) {
    case -1: return Kind::End;
    case '{': return Kind::Object;
    case '[': return Kind::Array;
    case '"': return Kind::String;
    case 't':
    case 'f':
    case 'n': return Kind::Literal;
    default: return next() == '-' || isDigit(next()) ? Kind::Number : Kind::Invalid;
    }
}

bool JsonReader::consume(char c) {
    if (failed()) return false;
    skipWhitespace();
    if (next() != static_cast<unsigned char>(c)) return false;
    advance();
    return true;
}

bool JsonReader::expect(char c, const char* what) { return consume(c) || failUnexpected(what); }

bool JsonReader::fail(Position at, const std::string& what) {
    if (error_.empty())
        error_ = "line " + std::to_string(at.line) + ", column " + std::to_string(at.column) + ": " + what;
    return false;
}

bool JsonReader::failUnexpected(const char* expected) {
    if (failed()) return false;
    skipWhitespace();
    const std::string found = next() < 0 ? "the end of the file" : describeByte(next());
    return failHere(std::string("expected ") + expected + ", found " + found);
}

bool JsonReader::readString(std::string& out) {
    out.clear();
    if (peek() != Kind::String) return failUnexpected("a string");
    const Position start = position_;
    advance();
    for (;;) {
        const int c = next();
        if (c < 0) return fail(start, "the string has no closing quote");
        if (c == '"') {
            advance();
            return true;
        }
        if (c == '\\') {
            if (!readEscape(out)) return false;
        } else if (c < 0x20) {
            return failHere("a control character (" + describeByte(c) + ") in a string must be escaped");
        } else if (c < 0x80) {
            out += char(c);
            advance();
        } else if (!readUtf8(out)) {
            return false;
        }
    }
}

bool JsonReader::readKey(std::string& out) {
    if (peek() != Kind::String) return failUnexpected("a key in double quotes");
    return readString(out);
}

bool JsonReader::readEscape(std::string& out) {
    const Position at = position_;
    advance();  // the backslash
    const int c = next();
    const char* simple = nullptr;
    switch (c) {
    case '"': simple = "\""; break;
    case '\\': simple = "\\"; break;
    case '/': simple = "/"; break;
    case 'b': simple = "\b"; break;
    case 'f': simple = "\f"; break;
    case 'n': simple = "\n"; break;
    case 'r': simple = "\r"; break;
    case 't': simple = "\t"; break;
    case 'u': break;
    default: return fail(at, "invalid escape in a string");
    }
    advance();
    if (simple) {
        out += simple;
        return true;
    }
    uint32_t unit;
    if (!readHex4(unit)) return fail(at, "\\u must be followed by four hex digits");
    if (unit >= 0xDC00 && unit <= 0xDFFF) return fail(at, "\\u escape of a lone low surrogate");
    if (unit >= 0xD800 && unit <= 0xDBFF) {
        uint32_t low = 0;
        if (next() != '\\') return fail(at, "\\u escape of a high surrogate without its low half");
        advance();
        if (next() != 'u') return fail(at, "\\u escape of a high surrogate without its low half");
        advance();
        if (!readHex4(low) || low < 0xDC00 || low > 0xDFFF)
            return fail(at, "\\u escape of a high surrogate without its low half");
        unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
    }
    appendUtf8(out, unit);
    return true;
}

bool JsonReader::readHex4(uint32_t& unit) {
    unit = 0;
    for (int i = 0; i < 4; ++i) {
        const int digit = hexValue(next());
        if (digit < 0) return false;
        unit = unit * 16 + uint32_t(digit);
        advance();
    }
    return true;
}

// One well-formed UTF-8 sequence (RFC 3629: no overlong forms, no
// surrogates, nothing above U+10FFFF), copied as it is.
bool JsonReader::readUtf8(std::string& out) {
    const Position at = position_;
    const int lead = next();
    int length = 0;
    int low = 0x80, high = 0xBF;  // the allowed range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return fail(at, "invalid UTF-8");
    }
    if (size_ - pos_ < size_t(length)) return fail(at, "invalid UTF-8");
    for (int i = 1; i < length; ++i) {
        const int b = data_[pos_ + size_t(i)];
        if (b < (i == 1 ? low : 0x80) || b > (i == 1 ? high : 0xBF)) return fail(at, "invalid UTF-8");
    }
    out.append(reinterpret_cast<const char*>(data_ + pos_), size_t(length));
    for (int i = 0; i < length; ++i) advance();
    return true;
}

bool JsonReader::readDigits() {
    if (!isDigit(next())) return false;
    while (isDigit(next())) advance();
    return true;
}

bool JsonReader::readNumber(std::string_view& token) {
    if (peek() != Kind::Number) return failUnexpected("a number");
    const Position at = position_;
    const size_t start = pos_;
    if (next() == '-') advance();
    bool ok = true;
    if (next() == '0') {
        advance();
    } else {
        ok = readDigits();
    }
    if (ok && next() == '.') {
        advance();
        ok = readDigits();
    }
    if (ok && (next() == 'e' || next() == 'E')) {
        advance();
        if (next() == '+' || next() == '-') advance();
        ok = readDigits();
    }
    // "01", "1.", "-", "1e": the grammar ends where a digit must follow, so
    // anything glued to the number is an error here, not a later surprise.
    const int after = next();
    if (!ok || isDigit(after) || after == '.' || after == 'e' || after == 'E' || after == '+' || after == '-' ||
        (after >= 'a' && after <= 'z') || (after >= 'A' && after <= 'Z'))
        return fail(at, "invalid number");
    token = std::string_view(reinterpret_cast<const char*>(data_ + start), pos_ - start);
    return true;
}

bool JsonReader::readLiteral(std::string_view& word) {
    if (peek() != Kind::Literal) return failUnexpected("true, false or null");
    const Position at = position_;
    for (const std::string_view literal : {"true", "false", "null"}) {
        if (size_ - pos_ >= literal.size() &&
            std::string_view(reinterpret_cast<const char*>(data_ + pos_), literal.size()) == literal) {
            const size_t end = pos_ + literal.size();
            if (end < size_ && ((data_[end] >= 'a' && data_[end] <= 'z') || isDigit(data_[end]))) break;
            while (pos_ < end) advance();
            word = literal;
            return true;
        }
    }
    return fail(at, "invalid word (only true, false and null are)");
}

bool JsonReader::skipValue() {
    bool inObject[kMaxDepth];  // per open level: object (true) or array
    int depth = 0;
    std::string scratch;
    std::string_view token;
    for (;;) {
        // A value.
        switch (peek()) {
        case Kind::String:
            if (!readString(scratch)) return false;
            break;
        case Kind::Number:
            if (!readNumber(token)) return false;
            break;
        case Kind::Literal:
            if (!readLiteral(token)) return false;
            break;
        case Kind::Object:
        case Kind::Array: {
            const bool object = next() == '{';
            if (depth == kMaxDepth) return failHere("nested more than " + std::to_string(kMaxDepth) + " deep");
            advance();
            if (consume(object ? '}' : ']')) break;  // empty
            inObject[depth++] = object;
            if (object && (!readKey(scratch) || !expect(':', "':' after the key"))) return false;
            continue;
        }
        default: return failUnexpected("a value");
        }
        // After a value: a comma and the next one, or the end of a level.
        for (;;) {
            if (depth == 0) return true;
            const bool object = inObject[depth - 1];
            if (consume(',')) {
                if (object && (!readKey(scratch) || !expect(':', "':' after the key"))) return false;
                break;
            }
            if (!expect(object ? '}' : ']', object ? "',' or '}'" : "',' or ']'")) return false;
            --depth;
        }
    }
}

std::string JsonReader::quoted(std::string_view text) {
    constexpr size_t kShown = 40;
    static const char digits[] = "0123456789abcdef";
    std::string out = "\"";
    size_t shown = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if ((c & 0xC0) != 0x80 && shown++ == kShown) {
            out += "...";
            break;
        }
        if (c == '"' || c == '\\') {
            out += '\\';
            out += char(c);
        } else if (c < 0x20) {
            out += "\\u00";
            out += digits[c >> 4];
            out += digits[c & 0xF];
        } else {
            out += char(c);
        }
    }
    return out + "\"";
}
