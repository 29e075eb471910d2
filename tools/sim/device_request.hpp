// One request line as the device reads it.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "tools/sim/messages.hpp"

namespace vistrel::sim {

struct device_request {
    // The JSON text could be read as an object of a known category.
    bool readable = false;
    std::optional<sim::category> category;
    // The texts of "category", "case" and "sort" when they are strings, empty otherwise.
    std::string category_name;
    std::string case_name;
    std::string sort;
    json body;
    // For a request that is not readable: why, and where the reading stopped.
    int error_code = 0;
    std::string error_message;
    std::size_t error_position = 0;
};

// JSON error numbers. A number beyond the range of a double cannot be read either: it is a
// syntax error with the message "number out of range".
inline constexpr int json_syntax_error = 0x0001;
inline constexpr int json_not_an_object = 0x0002;
inline constexpr int json_unknown_category = 0x0003;
inline constexpr int json_request_too_long = 0x0004;

// Reads one request line (without its LF).
device_request read_request(std::string_view line);

}  // namespace vistrel::sim
