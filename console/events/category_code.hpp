// The categories a device reply can belong to.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace vistrel {

enum class category_code : std::int32_t {
    none = -1,  // not received yet
    json = 0,
    system = 1,
    hid = 2,
    can = 3,
    user_profiles = 4,
};

// The category whose reply text is exactly `text`, or none.
std::optional<category_code> category_from_reply_text(std::string_view text);

// The name shown to users; "<unknown category>" for values outside the vocabulary.
std::string_view category_display_name(category_code value);

}  // namespace vistrel
