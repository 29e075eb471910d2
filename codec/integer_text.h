// Decimal and hexadecimal integer text (internal to the codec).
#pragma once

#include <cstddef>
#include <cstdint>

// Writes "-" and the decimal digits of value into out (room for 20 bytes);
// returns the length.
size_t minijson_format_integer(int64_t value, char* out);

// Writes "0x" and the lowercase hexadecimal digits of value into out (room
// for 18 bytes); returns the length.
size_t minijson_format_hex(uint64_t value, char* out);
