// How one key of a key table is stored: the type it requires, the field it fills and the
// function that fills it.
#pragma once

#include <cstddef>
#include <cstdint>

#include "codec/minijson_parser.h"

namespace vistrel {

// The reported value: value word, raw length and decoded length or element count.
struct value_view {
    minijson_parse_value_t value;
    std::size_t length;
    std::size_t count;
};

using store_function = void (*)(void* target, const value_view& value);

struct key_handler {
    std::uint32_t expected_type;
    void* target;
    store_function store;
};

// Integer into a 32-bit field (std::int32_t or std::uint32_t); wider values keep their low half.
void store_integer(void* target, const value_view& value);

// String, decoded, into a std::string field.
void store_string(void* target, const value_view& value);

// Object, parsed with the parse_data_base that the target points to; the parse result is
// not looked at.
void store_nested(void* target, const value_view& value);

}  // namespace vistrel
