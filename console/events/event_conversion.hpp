// The steps of converting an envelope into a typed event that do not depend on the event type.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "console/events/case_code.hpp"
#include "console/events/category_code.hpp"

namespace vistrel {

class json_event_base;

// Reads "number" and "message" of an error reply's details; true when the details parse
// completely (empty details do).
bool read_error_details(const std::vector<std::uint8_t>& details, std::int32_t& number, std::string& message);

// transform_error "inconsistent category [<reply's>] with [<event's>]".
[[noreturn]] void throw_inconsistent_category(category_code reply, category_code event);

// std::runtime_error "inconsistent case [<case>] from {<accepted>, ..., error}".
[[noreturn]] void throw_inconsistent_case(case_code reply, std::initializer_list<case_code> accepted);

// std::runtime_error "basic_json_event::fill() - " and the parser's text for `code`.
[[noreturn]] void throw_fill_error(int code);

// Builds the JSON error event of a reply of category JSON and throws it.
[[noreturn]] void throw_json_error_event(const json_event_base& envelope);

}  // namespace vistrel
