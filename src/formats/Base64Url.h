#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Base64 with the URL's alphabet (RFC 4648 section 5: A-Z a-z 0-9 - _), so
// the text goes into a link's fragment as it is.
namespace base64url {

// Without padding.
std::string encode(const uint8_t* data, size_t size);

// The bytes, or false with the reason. Correct padding ('=' to a multiple
// of four characters) is accepted, as other encoders write it; anything
// else outside the alphabet is refused by its position.
bool decode(std::string_view text, std::vector<uint8_t>& bytes, std::string& reason);

}  // namespace base64url
