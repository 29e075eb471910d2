#include "console/events/category_code.hpp"

#include <array>
#include <cstddef>

#include "contract/device_contract.hpp"

namespace vistrel {

namespace {

constexpr std::array<std::string_view, contract::category_texts.size()> display_names{
    "JSON", "System", "HMI", "CAN", "User profiles"};

}  // namespace

std::optional<category_code> category_from_reply_text(std::string_view text)
{
    for (std::size_t i = 0; i < contract::category_texts.size(); ++i) {
        if (contract::category_texts[i] == text) {
            return static_cast<category_code>(i);
        }
    }
    return std::nullopt;
}

std::string_view category_display_name(category_code value)
{
    const auto index = static_cast<std::int32_t>(value);
    if (index < 0 || static_cast<std::size_t>(index) >= display_names.size()) {
        return "<unknown category>";
    }
    return display_names[static_cast<std::size_t>(index)];
}

}  // namespace vistrel
