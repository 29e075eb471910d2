// Text of a real number as the writer renders it (internal to the codec):
// a mantissa of one leading digit and an optional fraction, then "E" and the
// decimal exponent; zero is "0.0" without exponent.
#pragma once

#include <cstddef>
#include <cstdint>

struct minijson_real_text {
  char mantissa[72];
  size_t mantissa_length;
  char exponent[8];
  size_t exponent_length;
};

// precision < 0: as many digits as needed (at most 52 fraction digits);
// otherwise the same digits, padded with zeros to at least precision
// fraction digits (at most 52). Returns 0, or -10 for an infinite or NaN
// value.
int minijson_format_real(double value, int64_t precision, minijson_real_text* text);
