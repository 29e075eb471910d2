// The envelope of a device reply: category, case, sort and the raw data, filled member by
// member while the reply streams in.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "console/events/case_code.hpp"
#include "console/events/category_code.hpp"
#include "console/events/parse_data_base.hpp"

namespace vistrel {

class json_event_base : public parse_data_base {
public:
    category_code category = category_code::none;
    case_code event_case = case_code::none;
    std::string sort;                     // "sort" when it is a string
    std::vector<std::uint8_t> sort_details;  // raw text of "sort" when it is an object
    std::vector<std::uint8_t> data_text;     // raw text of "data" (object or array)
    bool data_is_object = false;
    bool sort_is_object = false;

    json_event_base() : parse_data_base(1) {}
    json_event_base(const json_event_base&) = default;
    json_event_base(json_event_base&&) = default;
    json_event_base& operator=(const json_event_base&) = default;
    json_event_base& operator=(json_event_base&&) = default;
    ~json_event_base() override = default;

    // Takes one member of the reply object. Returns 0 or throws std::runtime_error.
    int on_value(int kind) override;
    // Checks what has arrived so far: an object "data" only in category JSON, an object
    // "sort" only in case error.
    void finish() override;
    // Back to the empty envelope.
    virtual void reset();
};

}  // namespace vistrel
