#include "console/events/json_event_base.hpp"

#include <array>
#include <cstddef>
#include <stdexcept>

#include "contract/device_contract.hpp"

namespace vistrel {

namespace {

// A vocabulary of codes numbered from 0: the texts that replies carry and the names shown
// to users, both indexed by code.
template <typename Code, std::size_t Size>
struct code_vocabulary {
    std::array<std::string_view, Size> reply_texts;
    std::array<std::string_view, Size> display_names;
    std::string_view unknown_name;  // shown for values outside the vocabulary

    std::optional<Code> from_reply_text(std::string_view text) const
    {
        for (std::size_t i = 0; i < Size; ++i) {
            if (reply_texts[i] == text) {
                return static_cast<Code>(i);
            }
        }
        return std::nullopt;
    }

    std::string_view display_name(Code value) const
    {
        const auto index = static_cast<std::int32_t>(value);
        if (index < 0 || static_cast<std::size_t>(index) >= Size) {
            return unknown_name;
        }
        return display_names[static_cast<std::size_t>(index)];
    }
};

constexpr code_vocabulary<category_code, contract::category_texts.size()> categories{
    contract::category_texts, {"JSON", "System", "HMI", "CAN", "User profiles"}, "<unknown category>"};

constexpr code_vocabulary<case_code, contract::case_texts.size()> cases{
    contract::case_texts, {"get", "set", "change", "status", "error"}, "<unknown case>"};

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

std::optional<category_code> category_from_reply_text(std::string_view text)
{
    return categories.from_reply_text(text);
}

std::string_view category_display_name(category_code value)
{
    return categories.display_name(value);
}

std::optional<case_code> case_from_reply_text(std::string_view text)
{
    return cases.from_reply_text(text);
}

std::string_view case_display_name(case_code value)
{
    return cases.display_name(value);
}

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

int json_event_base::parse_received(const char* text, std::size_t* size, minijson_parse_context_t& state)
{
    reset();
    minijson_reset(&state);
    const minijson_parser_t request{report_value, this, static_cast<std::size_t>(depth), MINIJSON_PARSE_LINE, &state};
    const int result = minijson_parse(text, size, &request);
    // Members may come in any order: only the whole message can be judged.
    if (result == MINIJSON_OK) {
        finish();
    }
    return result;
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
