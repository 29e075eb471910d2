#include "console/events/basic_json_event.hpp"

#include "codec/json_error.hpp"
#include "console/events/json_event_json_error.hpp"

namespace vistrel {

bool read_error_details(const std::vector<std::uint8_t>& details, std::int32_t& number, std::string& message)
{
    basic_json_data target(1,
                           {
                               {"number", key_handler{value_type::integer, &number, store_integer}},
                               {"message", key_handler{value_type::string, &message, store_string}},
                           });
    return parse_nested(details, target) == MINIJSON_OK;
}

void throw_inconsistent_category(category_code reply, category_code event)
{
    std::string message = "inconsistent category [";
    message += category_display_name(reply);
    message += "] with [";
    message += category_display_name(event);
    message += "]";
    throw transform_error(message);
}

void throw_inconsistent_case(case_code reply, std::initializer_list<case_code> accepted)
{
    std::string message = "inconsistent case [";
    message += case_display_name(reply);
    message += "] from {";
    for (const case_code code : accepted) {
        message += case_display_name(code);
        message += ", ";
    }
    message += "error}";
    throw std::runtime_error(message);
}

void throw_fill_error(int code)
{
    throw_json_error("basic_json_event::fill() - ", code);
}

void throw_json_error_event(const json_event_base& envelope)
{
    // The event's constructor ends by throwing the event it built; the logic_error only
    // keeps this function from returning should that ever change.
    (void)json_event_json_error(envelope);
    throw std::logic_error("JSON error event was not thrown");
}

void require_sort_text(const std::string& text, std::string_view sort_name)
{
    if (text != sort_name) {
        throw std::runtime_error("unrecognized type [" + text + "]");
    }
}

}  // namespace vistrel
