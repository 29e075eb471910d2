// The device's message vocabulary and the shapes of its replies.
#pragma once

#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "contract/device_contract.hpp"

namespace vistrel::sim {

// Members keep the order in which they are added: "category", "case", "sort", "data".
using json = nlohmann::ordered_json;

enum class category { json_category = 0, system = 1, hid = 2, can = 3, user_profiles = 4 };

inline std::string_view category_text(category value)
{
    return contract::category_texts[static_cast<std::size_t>(value)];
}

inline constexpr std::string_view case_get = contract::case_texts[0];
inline constexpr std::string_view case_set = contract::case_texts[1];
inline constexpr std::string_view case_update = contract::case_texts[2];
inline constexpr std::string_view case_state = contract::case_texts[3];
inline constexpr std::string_view case_error = contract::case_texts[4];

// Error numbers carry the category code in their second byte.
inline int error_number(category value, int code)
{
    return (static_cast<int>(value) << 8) | code;
}

// A reply or notification; "data" is left out when it is null.
json make_message(category value, std::string_view case_name, json sort, json data = nullptr);

// An error reply of a category: "sort" is {"number", "message"}.
json make_error(category value, int number, std::string_view message, json data = nullptr);

// The reply to a request the device cannot read: category "JSON", "data" {"position"}.
json make_json_error(int number, std::string_view message, std::size_t position);

// Compact text of a message; bytes that are not valid UTF-8 are replaced.
std::string compact_text(const json& message);

}  // namespace vistrel::sim
