#include "console/events/parse_glue.hpp"

#include <cstring>
#include <stdexcept>

#include "codec/minijson_text.h"

namespace vistrel {

std::string value_type_name(std::uint32_t type)
{
    switch (type) {
    case value_type::object:
        return "object";
    case value_type::array:
        return "array";
    case value_type::string:
        return "string";
    case value_type::integer:
        return "integer";
    case value_type::real:
        return "float";
    case value_type::literal:
        return "bool/null";
    default:
        return "unrecognized - " + std::to_string(static_cast<std::int32_t>(type));
    }
}

void wrong_value_type(std::uint32_t type, std::string_view key)
{
    std::string message = "Wrong value type [" + value_type_name(type) + "] for key";
    if (!key.empty()) {
        message += " [";
        message += key;
        message += "].";
    }
    throw std::runtime_error(message);
}

std::string decode_string_text(const char* raw, std::size_t length)
{
    if (raw == nullptr || length == 0) {
        return {};
    }
    // Decoding never makes a text longer.
    std::string decoded(length, '\0');
    const std::size_t written = minijson_unescape(decoded.data(), raw, length, 1);
    decoded.resize(written <= length ? written : length);
    return decoded;
}

int report_value(int kind, minijson_parse_data_t* data)
{
    return static_cast<parse_data_base*>(data)->on_value(kind);
}

int parse_nested(const char* text, std::size_t length, parse_data_base& target)
{
    int result = MINIJSON_OK;
    if (length != 0) {
        const minijson_parser_t request{report_value, &target, static_cast<std::size_t>(target.depth),
                                        MINIJSON_PARSE_LINE, nullptr};
        std::size_t parsed = length;
        result = minijson_parse(text, &parsed, &request);
    }
    target.finish();
    return result;
}

void store_integer(void* target, const value_view& value)
{
    const auto low = static_cast<std::uint32_t>(static_cast<std::uint64_t>(value.value.integer));
    std::memcpy(target, &low, sizeof low);
}

void store_string(void* target, const value_view& value)
{
    *static_cast<std::string*>(target) = decode_string_text(value.value.text, value.length);
}

void store_nested(void* target, const value_view& value)
{
    parse_nested(value.value.text, value.length, *static_cast<parse_data_base*>(target));
}

int basic_json_data::on_value(int kind)
{
    if (kind == MINIJSON_KIND_ELEMENT) {
        on_key("__");
    } else if (kind == MINIJSON_KIND_MEMBER) {
        on_key(decode_string_text(key, key_length));
    }
    return 0;
}

void basic_json_data::on_key(std::string_view name)
{
    const auto found = key_table.find(name);
    if (found == key_table.end()) {
        throw std::out_of_range("invalid map<K, T> key");
    }
    const key_handler& handler = found->second;
    if (type != handler.expected_type) {
        throw std::runtime_error("inconsistent types ([" + value_type_name(type) + "] vs ["
                                 + value_type_name(handler.expected_type) + "])");
    }
    handler.store(handler.target, value_view{value, length, count});
    try_accept();
}

int item_list::on_value(int)
{
    if (type != value_type::object && type != value_type::array) {
        return 0;
    }
    items.start_item();
    return parse_nested(value.text, length, items);
}

}  // namespace vistrel
