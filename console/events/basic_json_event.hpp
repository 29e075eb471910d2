// The base of every typed event: converts an envelope of the event's category, reads the
// details of error replies, and parses the data into the target the derived event provides.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

#include "console/events/case_code.hpp"
#include "console/events/category_code.hpp"
#include "console/events/event_conversion.hpp"
#include "console/events/json_event_base.hpp"
#include "console/events/parse_data_base.hpp"
#include "console/events/parse_nested.hpp"

namespace vistrel {

// `AcceptedCases` are the cases of a normal reply; the case error is accepted by every event.
template <category_code Category, case_code... AcceptedCases>
class basic_json_event {
public:
    case_code event_case = case_code::none;
    std::string text;          // the sort, or the device's message of an error reply
    std::int32_t number = -1;  // the device's error number; -1 when absent

    // Conversion of a delivered envelope. A reply of category JSON throws the JSON error
    // event, one of any other foreign category transform_error; a case that is not
    // accepted throws std::runtime_error.
    explicit basic_json_event(const json_event_base& envelope)
        : event_case(envelope.event_case), text(envelope.sort)
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

protected:
    struct as_received_t {};
    // Carries the envelope's case and sort as they came, without the category and case checks.
    basic_json_event(const json_event_base& envelope, as_received_t)
        : event_case(envelope.event_case), text(envelope.sort)
    {
    }

public:
    // Parses the envelope's data into the target for this reply's case.
    void fill(const json_event_base& envelope)
    {
        parse_data_base& target = event_case == case_code::error ? get_error_data() : get_normal_data();
        const int result = parse_nested(envelope.data_text, target);
        if (result != MINIJSON_OK) {
            throw_fill_error(result);
        }
    }
};

}  // namespace vistrel
