#include "formats/ShareCode.h"

#include "core/WavImage.h"
#include "formats/Base64Url.h"
#include "formats/ZdlFormat.h"

#include <string_view>
#include <vector>

namespace sharecode {

namespace {

constexpr std::string_view kName = "zindle";

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view trimmed(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    while (!text.empty() && isSpace(text.front())) text.remove_prefix(1);
    while (!text.empty() && isSpace(text.back())) text.remove_suffix(1);
    return text;
}

// "zindle" and digits and ':' at the start: the digits' length, else 0.
size_t versionDigits(std::string_view text) {
    if (text.substr(0, kName.size()) != kName) return 0;
    size_t n = 0;
    while (kName.size() + n < text.size() && isDigit(text[kName.size() + n])) ++n;
    return n > 0 && kName.size() + n < text.size() && text[kName.size() + n] == ':' ? n : 0;
}

// The code itself: the text, or what follows the '#' of a link to one.
std::string_view codeOf(std::string_view text) {
    if (versionDigits(text) > 0) return text;
    const size_t hash = text.find('#');
    if (hash == std::string_view::npos) return {};
    for (const char c : text.substr(0, hash))
        if (isSpace(c)) return {};
    const std::string_view fragment = text.substr(hash + 1);
    return versionDigits(fragment) > 0 ? fragment : std::string_view();
}

}  // namespace

std::string encode(const SoundSettings& settings) {
    const std::vector<uint8_t> bytes = zdl::encode(settings);
    return kPrefix + base64url::encode(bytes.data(), bytes.size());
}

bool looksLikeCode(const uint8_t* data, size_t size) { return !codeOf(trimmed(data, size)).empty(); }

DecodeResult decode(const uint8_t* data, size_t size) {
    const std::string_view code = codeOf(trimmed(data, size));
    if (code.empty()) return DecodeResult::failure("This is not a share code (one starts with zindle1:).");
    const size_t digits = versionDigits(code);
    const std::string_view version = code.substr(kName.size(), digits);
    if (version != "1")
        return DecodeResult::failure("The share code is of version " + std::string(version) +
                                     ", made by a newer Zindle; this one reads version 1.");
    const std::string_view body = code.substr(kName.size() + digits + 1);
    if (body.empty()) return DecodeResult::failure("The share code is empty after zindle1:.");
    std::vector<uint8_t> bytes;
    std::string reason;
    if (!base64url::decode(body, bytes, reason))
        return DecodeResult::failure("The share code is wrong: " + reason + ".");
    const int32_t fileVersion = bytes.size() >= 4 ? static_cast<int32_t>(le::get32(bytes.data())) : 0;
    if (fileVersion != zdl::kVersion && fileVersion != zdl::kVersionWithoutWidth)
        return DecodeResult::failure("The share code holds no Zindle sound (its bytes are not a .zdl record).");
    DecodeResult result = zdl::decode(bytes);
    if (!result.ok) result.error = "The share code's sound cannot be read: " + result.error;
    return result;
}

}  // namespace sharecode
