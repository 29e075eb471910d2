// The codec's number syntax (internal to the codec): decimal, octal (leading
// zero) and hexadecimal (0x) integers, fractions in the same base (decimal
// after a lone zero), "e" exponents for decimal and "p" exponents for
// hexadecimal numbers, an optional "-" or "+" sign.
#pragma once

#include <cstddef>
#include <cstdint>

enum class number_scan_result {
  number,       // a complete number ends at `end`
  not_a_number, // the token is no number
  more,         // the text ends inside what may still become a number
  overflow,     // the integer digits do not fit into 64 bits
};

struct number_token {
  uint32_t type;     // MINIJSON_INTEGER or MINIJSON_REAL
  int64_t integer;
  double real;
  size_t end;        // offset just past the number
  bool signed_token; // a sign came first
};

// Scans the number starting at text[start]. at_end_is_open: a number that
// runs to `length` may go on (a resumable parse). want_value: compute the
// value (otherwise only the syntax, the type and the end are found).
number_scan_result minijson_scan_number(const char* text, size_t length, size_t start, bool at_end_is_open,
                                        bool want_value, number_token* token);
