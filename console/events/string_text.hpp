// Decoding of the string texts the parser reports, escapes still in place.
#pragma once

#include <cstddef>
#include <string>

namespace vistrel {

// The decoded bytes of `length` bytes of raw string text; malformed escapes become 0xFF.
// The raw text is left as it is, so a buffer that is parsed again reads the same.
std::string decode_string_text(const char* raw, std::size_t length);

}  // namespace vistrel
