#include "console/events/case_code.hpp"

#include <array>
#include <cstddef>

#include "contract/device_contract.hpp"

namespace vistrel {

namespace {

constexpr std::array<std::string_view, contract::case_texts.size()> display_names{
    "get", "set", "change", "status", "error"};

}  // namespace

std::optional<case_code> case_from_reply_text(std::string_view text)
{
    for (std::size_t i = 0; i < contract::case_texts.size(); ++i) {
        if (contract::case_texts[i] == text) {
            return static_cast<case_code>(i);
        }
    }
    return std::nullopt;
}

std::string_view case_display_name(case_code value)
{
    const auto index = static_cast<std::int32_t>(value);
    if (index < 0 || static_cast<std::size_t>(index) >= display_names.size()) {
        return "<unknown case>";
    }
    return display_names[static_cast<std::size_t>(index)];
}

}  // namespace vistrel
