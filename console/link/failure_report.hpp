// The one diagnostic line of a failed device exchange, and the failure signal after it.
#pragma once

#include "console/events/json_event_base.hpp"
#include "console/events/json_event_json_error.hpp"
#include "console/link/request.hpp"

#include <cstdint>
#include <ostream>
#include <string>

namespace vistrel {

// Thrown once a failure has been reported: the program ends with exit status 1 and prints
// nothing more about it.
struct failure_reported {};

// "JSON <", the request without leading and trailing white space, ">".
void print_request(std::ostream& out, const request_bytes& request);

// Empty for -1; otherwise "(" and the low byte of number when its second byte is the
// category's code, else the whole number as unsigned 32 bits, then ")".
std::string code_text(std::int32_t number, category_code category);

// "[", category name, "/", case name, " - ", text, " ", code text, "]".
void print_event(std::ostream& out, case_code event_case, const std::string& text, std::int32_t number,
                 category_code category);

template <typename Event>
void print_event(std::ostream& out, const Event& event, category_code category)
{
    print_event(out, event.event_case, event.text, event.number, category);
}

// "JSON error <", text, "> at position ", position as unsigned.
void print_json_error(std::ostream& out, const json_event_json_error& error);

// Called in the catch-all clause of an exchange: prints one line for the exception in
// flight to standard error, then throws failure_reported. An exception of an unknown kind
// is printed as "unknown exception" and rethrown.
[[noreturn]] void report_system_failure(const request_bytes& request);
[[noreturn]] void report_profile_failure(const request_bytes& request);

}  // namespace vistrel
