// The envelope of a device reply: category, case, sort and the raw data, filled member by
// member while the reply streams in; with the vocabularies of categories and cases.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "console/events/parse_glue.hpp"

namespace vistrel {

// The categories a device reply can belong to.
enum class category_code : std::int32_t {
    none = -1,  // not received yet
    json = 0,
    system = 1,
    hid = 2,
    can = 3,
    user_profiles = 4,
};

// The cases a device reply can carry.
enum class case_code : std::int32_t {
    none = -1,  // not received yet
    get = 0,
    set = 1,
    update = 2,
    state = 3,
    error = 4,
};

// The category whose reply text is exactly `text`, or none.
std::optional<category_code> category_from_reply_text(std::string_view text);

// The name shown to users; "<unknown category>" for values outside the vocabulary.
std::string_view category_display_name(category_code value);

// The case whose reply text is exactly `text`, or none.
std::optional<case_code> case_from_reply_text(std::string_view text);

// The name shown to users; "<unknown case>" for values outside the vocabulary.
std::string_view case_display_name(case_code value);

class json_event_base : public parse_data_base {
public:
    category_code category = category_code::none;
    case_code event_case = case_code::none;
    std::string sort;  // "sort" when it is a string
    std::vector<std::uint8_t> sort_details;  // raw text of "sort" when it is an object
    std::vector<std::uint8_t> data_text;  // raw text of "data" (object or array)
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
    // Checks a complete reply: an object "data" only in category JSON, an object "sort"
    // only in case error. Members may come in any order, so a part of a reply is not
    // checked.
    void finish() override;
    // Back to the empty envelope.
    virtual void reset();

    // Parses the message received so far, text[0, *size), from its first byte in line mode
    // into this envelope, emptied first, and checks the envelope once the message is complete.
    // Returns the parser's result, with *size as the parser gives it; throws the envelope's
    // errors. `state` is reset before the parse.
    int parse_received(const char* text, std::size_t* size, minijson_parse_context_t& state);
};

}  // namespace vistrel
