#include "console/events/string_text.hpp"

#include "codec/minijson_text.h"

namespace vistrel {

std::string decode_string_text(const char* raw, std::size_t length)
{
    if (raw == nullptr || length == 0) {
        return {};
    }
    // Decoding never makes a text longer.
    std::string decoded(length, '\0');
    const std::size_t written = minijson_unescape(decoded.data(), raw, length, 1);
    decoded.resize(written <= length ? written : length);
    return decoded;
}

}  // namespace vistrel
