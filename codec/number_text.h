// Text of the numbers the writer renders (internal to the codec): decimal
// and hexadecimal integers, and reals as a mantissa of one leading digit and
// an optional fraction, then "E" and the decimal exponent; zero is "0.0"
// without exponent.
#pragma once

#include <cstddef>
#include <cstdint>

// Writes "-" and the decimal digits of value into out (room for 20 bytes);
// returns the length.
size_t minijson_format_integer(int64_t value, char* out);

// Writes "0x" and the lowercase hexadecimal digits of value into out (room
// for 18 bytes); returns the length.
size_t minijson_format_hex(uint64_t value, char* out);

struct minijson_real_text {
  char mantissa[72];
  size_t mantissa_length;
  char exponent[8];
  size_t exponent_length;
};

// precision < 0: as many digits as needed (at most 52 fraction digits);
// otherwise the same digits, padded with zeros to at least precision
// fraction digits (at most 52). Returns 0, or MINIJSON_WRONG_VALUE for an
// infinite or NaN value.
int minijson_format_real(double value, int64_t precision, minijson_real_text* text);
