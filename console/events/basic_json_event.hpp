// The base of every typed event: converts an envelope of the event's category, reads the
// details of error replies, and parses the data into the target the derived event
// provides; with the failures of a conversion.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "console/events/json_event_base.hpp"
#include "console/events/parse_glue.hpp"

namespace vistrel {

// Raised when a reply belongs to another category than the event it is converted into;
// the waiting command drops such a reply and waits for the next one.
class transform_error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

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

// Throws std::runtime_error "unrecognized type [<text>]" unless `text` is exactly `sort_name`.
void require_sort_text(const std::string& text, std::string_view sort_name);

template <class Event>
void require_sort(const Event& event, std::string_view sort_name)
{
    require_sort_text(event.text, sort_name);
}

// `AcceptedCases` are the cases of a normal reply; the case error is accepted by every event.
template <category_code Category, case_code... AcceptedCases>
class basic_json_event {
public:
    case_code event_case = case_code::none;
    std::string text;  // the sort, or the device's message of an error reply
    std::int32_t number = -1;  // the device's error number; -1 when absent

    // Conversion of a delivered envelope. A reply of category JSON throws the JSON error
    // event, one of any other foreign category transform_error; a case that is not
    // accepted throws std::runtime_error.
    explicit basic_json_event(const json_event_base& envelope) : event_case(envelope.event_case), text(envelope.sort)
    {
        if (envelope.category != Category) {
            if constexpr (Category != category_code::json) {
                if (envelope.category == category_code::json) {
                    throw_json_error_event(envelope);
                }
            }
            throw_inconsistent_category(envelope.category, Category);
        }
        if (event_case == case_code::error && read_error_details(envelope.sort_details, number, text)) {
            return;
        }
        const bool accepted = ((event_case == AcceptedCases) || ...);
        if (accepted) {
            return;
        }
        throw_inconsistent_case(event_case, {AcceptedCases...});
    }

    basic_json_event(const basic_json_event&) = default;
    basic_json_event& operator=(const basic_json_event&) = delete;
    virtual ~basic_json_event() = default;

    // The target for the data of a normal reply.
    virtual parse_data_base& get_normal_data()
    {
        throw std::logic_error("basic_json_event::get_normal_data() called - not implemented");
    }

    // The target for the data of an error reply.
    virtual parse_data_base& get_error_data() { return get_normal_data(); }

    // Parses the envelope's data into the target for this reply's case.
    void fill(const json_event_base& envelope)
    {
        parse_data_base& target = event_case == case_code::error ? get_error_data() : get_normal_data();
        const int result = parse_nested(envelope.data_text, target);
        if (result != MINIJSON_OK) {
            throw_fill_error(result);
        }
    }

protected:
    struct as_received_t {};
    // Carries the envelope's case and sort as they came, without the category and case checks.
    basic_json_event(const json_event_base& envelope, as_received_t)
        : event_case(envelope.event_case), text(envelope.sort)
    {
    }
};

}  // namespace vistrel
