#include "console/events/json_event_base.hpp"

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "console/events/string_text.hpp"
#include "console/events/value_type.hpp"
#include "console/events/wrong_value_type.hpp"

namespace vistrel {

namespace {

std::vector<std::uint8_t> raw_text(const minijson_parse_data_t& data)
{
    const auto* first = reinterpret_cast<const std::uint8_t*>(data.value.text);
    return std::vector<std::uint8_t>(first, first + data.length);
}

// The code named by the string value of member `key`, looked up by `from_reply_text`.
template <typename Code>
Code reply_code(const minijson_parse_data_t& data, const char* key,
                std::optional<Code> (*from_reply_text)(std::string_view))
{
    if (data.type != value_type::string) {
        wrong_value_type(value_type::string, key);
    }
    const std::string text = decode_string_text(data.value.text, data.length);
    const auto code = from_reply_text(text);
    if (!code) {
        throw std::runtime_error(std::string("unrecognized ") + key + " [" + text + "]");
    }
    return *code;
}

}  // namespace

int json_event_base::on_value(int kind)
{
    if (kind != MINIJSON_KIND_MEMBER) {
        throw std::runtime_error("Cannot parse events that have values without keys.");
    }
    const std::string name = decode_string_text(key, key_length);
    if (name == "category") {
        category = reply_code(*this, "category", category_from_reply_text);
    } else if (name == "case") {
        event_case = reply_code(*this, "case", case_from_reply_text);
    } else if (name == "sort") {
        if (type == value_type::object) {
            sort_is_object = true;
            sort_details = raw_text(*this);
        } else if (type == value_type::string) {
            sort = decode_string_text(value.text, length);
        } else {
            wrong_value_type(value_type::string, "sort");
        }
    } else if (name == "data") {
        if (type == value_type::object) {
            data_is_object = true;
            data_text = raw_text(*this);
        } else if (type == value_type::array) {
            data_text = raw_text(*this);
        } else {
            wrong_value_type(value_type::array, "data");
        }
    } else {
        throw std::runtime_error("unknown key [" + name + "]");
    }
    return 0;
}

void json_event_base::finish()
{
    if (data_is_object && category != category_code::json) {
        wrong_value_type(value_type::object, "category");
    }
    if (sort_is_object && event_case != case_code::error) {
        wrong_value_type(value_type::object, "case");
    }
}

void json_event_base::reset()
{
    category = category_code::none;
    event_case = case_code::none;
    sort.clear();
    sort_details.clear();
    data_text.clear();
    data_is_object = false;
    sort_is_object = false;
}

}  // namespace vistrel
