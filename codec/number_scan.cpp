#include "codec/number_scan.h"

#include <cmath>

#include "codec/minijson_parser.h"

namespace {

constexpr unsigned no_digit = 99;
constexpr int64_t exponent_clamp = 100000;  // far beyond any finite double

unsigned digit_value(unsigned char c) {
  if (c >= '0' && c <= '9') return c - '0';
  const unsigned lower = c | 0x20u;
  if (lower >= 'a' && lower <= 'f') return lower - 'a' + 10;
  return no_digit;
}

long double power_of_ten(int64_t exponent) {
  // Exact up to 10^27 in the 64-bit mantissa of long double.
  static constexpr long double exact[] = {
      1e0L,  1e1L,  1e2L,  1e3L,  1e4L,  1e5L,  1e6L,  1e7L,  1e8L,  1e9L,  1e10L, 1e11L, 1e12L, 1e13L,
      1e14L, 1e15L, 1e16L, 1e17L, 1e18L, 1e19L, 1e20L, 1e21L, 1e22L, 1e23L, 1e24L, 1e25L, 1e26L, 1e27L};
  if (exponent < static_cast<int64_t>(sizeof exact / sizeof exact[0])) return exact[exponent];
  return std::pow(10.0L, static_cast<long double>(exponent));
}

double decimal_value(uint64_t mantissa, int64_t exponent) {
  if (mantissa == 0) return 0.0;
  // Both factors exact in a double: one correctly rounded operation.
  static constexpr double exact[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                     1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
  if (mantissa <= (uint64_t{1} << 53) && exponent >= -22 && exponent <= 22) {
    const double m = static_cast<double>(mantissa);
    return exponent >= 0 ? m * exact[exponent] : m / exact[-exponent];
  }
  long double value = static_cast<long double>(mantissa);
  if (exponent >= 0) value *= power_of_ten(exponent);
  else value /= power_of_ten(-exponent);
  return static_cast<double>(value);
}

}  // namespace

number_scan_result minijson_scan_number(const char* text, size_t length, size_t start, bool at_end_is_open,
                                        bool want_value, number_token* token) {
  const auto byte = [text](size_t at) { return static_cast<unsigned char>(text[at]); };
  const auto ran_out = [&](size_t at) {
    return at >= length ? (at_end_is_open ? number_scan_result::more : number_scan_result::not_a_number)
                        : number_scan_result::not_a_number;
  };
  size_t p = start;
  bool negative = false;
  token->signed_token = false;
  if (byte(p) == '-' || byte(p) == '+') {
    negative = byte(p) == '-';
    token->signed_token = true;
    ++p;
    if (p == length) return ran_out(p);
  }

  unsigned base = 10;
  unsigned fraction_base = 10;
  size_t integer_digits = 0;
  bool lone_zero = false;
  if (byte(p) == '0') {
    ++p;
    if (p < length && (byte(p) | 0x20u) == 'x') {
      base = fraction_base = 16;
      ++p;
    } else if (p < length && byte(p) >= '0' && byte(p) <= '7') {
      base = fraction_base = 8;
      integer_digits = 1;
    } else {
      integer_digits = 1;
      lone_zero = true;
    }
  }

  uint64_t integer = 0;
  for (; !lone_zero && p < length; ++p) {
    const unsigned d = digit_value(byte(p));
    if (d >= base) break;
    if (integer > (UINT64_MAX - d) / base) return number_scan_result::overflow;
    integer = integer * base + d;
    ++integer_digits;
  }

  bool is_real = false;
  uint64_t mantissa = integer;
  int64_t fraction_digits = 0;  // digits that went into the mantissa
  size_t fraction_seen = 0;
  if (p < length && byte(p) == '.') {
    is_real = true;
    ++p;
    for (; p < length; ++p) {
      const unsigned d = digit_value(byte(p));
      if (d >= fraction_base) break;
      ++fraction_seen;
      if (mantissa <= (UINT64_MAX - d) / fraction_base) {
        mantissa = mantissa * fraction_base + d;
        ++fraction_digits;
      }
    }
  }
  if (integer_digits == 0 && fraction_seen == 0) return ran_out(p);

  int64_t exponent = 0;
  if (p < length) {
    const unsigned letter = byte(p) | 0x20u;
    const bool decimal_exponent = letter == 'e' && fraction_base == 10;
    const bool binary_exponent = letter == 'p' && base == 16;
    if (decimal_exponent || binary_exponent) {
      is_real = true;
      ++p;
      bool exponent_negative = false;
      if (p < length && (byte(p) == '-' || byte(p) == '+')) {
        exponent_negative = byte(p) == '-';
        ++p;
      }
      size_t exponent_digits = 0;
      for (; p < length && byte(p) >= '0' && byte(p) <= '9'; ++p, ++exponent_digits) {
        if (exponent < exponent_clamp) exponent = exponent * 10 + (byte(p) - '0');
      }
      if (exponent_digits == 0) return ran_out(p);
      if (exponent_negative) exponent = -exponent;
    } else if (letter == 'e' || letter == 'p') {
      return number_scan_result::not_a_number;  // an exponent letter of another base
    }
  }
  if (p == length && at_end_is_open) return number_scan_result::more;

  token->end = p;
  if (!is_real && (integer <= INT64_MAX || (negative && integer == uint64_t{1} << 63))) {
    token->type = MINIJSON_INTEGER;
    token->integer = negative ? static_cast<int64_t>(~integer + 1) : static_cast<int64_t>(integer);
    return number_scan_result::number;
  }
  // Integers of 2^63 and more are kept as reals.
  token->type = MINIJSON_REAL;
  if (!want_value) return number_scan_result::number;
  double value;
  if (fraction_base == 10) {
    value = decimal_value(mantissa, exponent - fraction_digits);
  } else {
    const int64_t bits = fraction_base == 16 ? 4 : 3;
    const int64_t shift = exponent - fraction_digits * bits;
    const int clamped = static_cast<int>(shift < -exponent_clamp ? -exponent_clamp
                                         : shift > exponent_clamp ? exponent_clamp
                                                                  : shift);
    value = static_cast<double>(std::ldexp(static_cast<long double>(mantissa), clamped));
  }
  token->real = negative ? -value : value;
  return number_scan_result::number;
}
