#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// What must hold for any bytes given to the readers: either a clear reason,
// or settings the renderer and the editor can take as they are. Shared by
// the libFuzzer targets and the corpus replay test.
namespace readerchecks {

// Empty when the reader behaved; otherwise what went wrong.
std::string checkZdl(const uint8_t* data, size_t size);
std::string checkEfc(const uint8_t* data, size_t size);
// Also: what is accepted reads back the same from the JSON writer's text.
std::string checkJson(const uint8_t* data, size_t size);

}  // namespace readerchecks
