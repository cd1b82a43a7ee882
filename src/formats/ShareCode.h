#pragma once

#include "formats/DecodeResult.h"

#include <cstddef>
#include <cstdint>
#include <string>

struct SoundSettings;

// A sound as one line of text to paste or put in a link: "zindle1:" and the
// sound's .zdl bytes in base64url, without padding. The web player's links
// carry it after '#' ("index.html#zindle1:...").
namespace sharecode {

constexpr char kPrefix[] = "zindle1:";

std::string encode(const SoundSettings& settings);

// Text that is meant as a share code (white space around it aside): it
// starts with "zindle" and a version ("zindle1:", or another version to
// refuse by name), or it is a link with one after its '#'.
bool looksLikeCode(const uint8_t* data, size_t size);

// The sound of a code or a link holding one; a reason for anything else:
// bad characters, a code cut short, or bytes that are no .zdl sound.
DecodeResult decode(const uint8_t* data, size_t size);

}  // namespace sharecode
