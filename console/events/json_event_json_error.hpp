// The device's answer to a request it could not read as JSON. Always thrown.
#pragma once

#include <cstdint>

#include "console/events/basic_json_event.hpp"
#include "console/events/json_event_base.hpp"
#include "console/events/parse_glue.hpp"

namespace vistrel {

class json_event_json_error : public basic_json_event<category_code::json, case_code::error> {
public:
    static constexpr std::uint32_t no_position = 0xFFFFFFFFU;

    std::uint32_t position = no_position;  // where the device stopped reading the request

    // Builds the event from a reply of category JSON and throws it; never returns.
    explicit json_event_json_error(const json_event_base& envelope);
    json_event_json_error(const json_event_json_error& other);
    ~json_event_json_error() override = default;

    parse_data_base& get_normal_data() override { return internal; }

private:
    basic_json_data internal;
};

}  // namespace vistrel
