// The cases a device reply can carry.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace vistrel {

enum class case_code : std::int32_t {
    none = -1,  // not received yet
    get = 0,
    set = 1,
    update = 2,
    state = 3,
    error = 4,
};

// The case whose reply text is exactly `text`, or none.
std::optional<case_code> case_from_reply_text(std::string_view text);

// The name shown to users; "<unknown case>" for values outside the vocabulary.
std::string_view case_display_name(case_code value);

}  // namespace vistrel
