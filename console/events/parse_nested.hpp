// Runs the parser over a raw JSON value kept from an earlier parse.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "console/events/parse_data_base.hpp"

namespace vistrel {

// Parses `length` bytes at `text` from a fresh state in line mode, reporting into `target`
// at its depth; then runs target.finish(), also after a failure. Returns the parser's
// result: 0 when complete, its negative code otherwise. An empty text is complete.
int parse_nested(const char* text, std::size_t length, parse_data_base& target);

inline int parse_nested(const std::vector<std::uint8_t>& text, parse_data_base& target)
{
    return parse_nested(reinterpret_cast<const char*>(text.data()), text.size(), target);
}

inline int parse_nested(std::string_view text, parse_data_base& target)
{
    return parse_nested(text.data(), text.size(), target);
}

}  // namespace vistrel
