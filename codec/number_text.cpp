#include "codec/number_text.h"

#include <cmath>
#include <cstring>

#include "codec/char_table.h"
#include "codec/minijson_results.h"

namespace {

// The digits of magnitude in `base` (16 for hexadecimal numbers; decimal
// ones go two at a time, below), most significant first; returns their count.
size_t write_digits(uint64_t magnitude, unsigned base, char* out) {
  char reversed[20];
  size_t count = 0;
  do {
    reversed[count++] = minijson_detail::hex_digits[magnitude % base];
    magnitude /= base;
  } while (magnitude != 0);
  for (size_t i = 0; i < count; ++i) out[i] = reversed[count - 1 - i];
  return count;
}

// "00" to "99": the decimal digits of every number below 100.
struct digit_pair_table {
  char pairs[200];
  constexpr digit_pair_table() : pairs{} {
    for (unsigned v = 0; v < 100; ++v) {
      pairs[2 * v] = static_cast<char>('0' + v / 10);
      pairs[2 * v + 1] = static_cast<char>('0' + v % 10);
    }
  }
};
constexpr digit_pair_table digit_pairs;

// The number of decimal digits of magnitude.
size_t decimal_length(uint64_t magnitude) {
  static constexpr uint64_t powers[] = {1ull,
                                        10ull,
                                        100ull,
                                        1000ull,
                                        10000ull,
                                        100000ull,
                                        1000000ull,
                                        10000000ull,
                                        100000000ull,
                                        1000000000ull,
                                        10000000000ull,
                                        100000000000ull,
                                        1000000000000ull,
                                        10000000000000ull,
                                        100000000000000ull,
                                        1000000000000000ull,
                                        10000000000000000ull,
                                        100000000000000000ull,
                                        1000000000000000000ull,
                                        10000000000000000000ull};
  // Zero has one digit, as one has. For the others, bits * log10(2) is the
  // digit count or one below it (the powers of ten from 10 on are even, so
  // the lowest bit changes no comparison).
  const uint64_t nonzero = magnitude | 1;
  const int bits = 64 - __builtin_clzll(nonzero);
  const size_t guess = static_cast<size_t>((bits * 1233) >> 12);
  return guess + (nonzero >= powers[guess] ? 1 : 0);
}

// The decimal digits of magnitude, two at a time, most significant first;
// returns their count.
size_t write_decimal(uint64_t magnitude, char* out) {
  const size_t count = decimal_length(magnitude);
  char* at = out + count;
  while (magnitude >= 100) {
    at -= 2;
    std::memcpy(at, digit_pairs.pairs + 2 * (magnitude % 100), 2);
    magnitude /= 100;
  }
  if (magnitude >= 10)
    std::memcpy(at - 2, digit_pairs.pairs + 2 * magnitude, 2);
  else
    at[-1] = static_cast<char>('0' + magnitude);
  return count;
}

constexpr uint64_t unit = uint64_t{1} << 54;  // the mantissa's fixed-point one
constexpr int64_t widest_limit = 53;  // last index a fraction digit may take
constexpr int largest_power = 308;  // 10^308 is still a finite double

// The nearest doubles of 10^-22 ... 10^22, as pow() gives them.
constexpr double nearest_powers_of_ten[] = {
    1e-22, 1e-21, 1e-20, 1e-19, 1e-18, 1e-17, 1e-16, 1e-15, 1e-14, 1e-13, 1e-12, 1e-11,
    1e-10, 1e-9,  1e-8,  1e-7,  1e-6,  1e-5,  1e-4,  1e-3,  1e-2,  1e-1,  1e0,   1e1,
    1e2,   1e3,   1e4,   1e5,   1e6,   1e7,   1e8,   1e9,   1e10,  1e11,  1e12,  1e13,
    1e14,  1e15,  1e16,  1e17,  1e18,  1e19,  1e20,  1e21,  1e22};
constexpr int nearest_lowest = -22;
constexpr int nearest_highest = 22;

double nearest_power_of_ten(int power) { return nearest_powers_of_ten[power - nearest_lowest]; }

// v * 10^power in double arithmetic, in two steps where 10^power alone would
// not be finite (subnormal inputs).
double scale_by_power_of_ten(double v, int power) {
  if (power >= nearest_lowest && power <= nearest_highest) return v * nearest_power_of_ten(power);
  if (power > largest_power) {
    v *= std::pow(10.0, largest_power);
    power -= largest_power;
  }
  return v * std::pow(10.0, power);
}

// floor(log10(v)) for a finite v > 0, exactly as std::floor(std::log10(v))
// gives it. Between 10^-22 and 10^22 it comes from the powers of ten; only
// where v lies so close to a power of ten that log10's last bit could
// decide the floor is log10 asked.
int decimal_exponent(double v) {
  constexpr double margin = 1e-12;  // far beyond log10's error and the table's
  if (v > nearest_power_of_ten(nearest_lowest) && v < nearest_power_of_ten(nearest_highest)) {
    int binary = 0;
    std::frexp(v, &binary);  // 2^(binary-1) <= v < 2^binary
    // floor((binary - 1) * log10(2)), one below floor(log10(v)) or equal to it.
    // Just above 10^-22 that is -23, below the table: its first power
    // serves, as v is above it. v is below 10^22, so power + 1 stays in it.
    int power = ((binary - 1) * 78913) >> 18;
    if (power < nearest_lowest) power = nearest_lowest;
    if (v >= nearest_power_of_ten(power + 1)) ++power;
    if (v > nearest_power_of_ten(power) * (1 + margin) &&
        v < nearest_power_of_ten(power + 1) * (1 - margin))
      return power;
  }
  return static_cast<int>(std::floor(std::log10(v)));
}

bool is_even_digit(char c) { return c >= '0' && c <= '9' && (c - '0') % 2 == 0; }

size_t write_exponent(char* out, int exponent) {
  size_t n = 0;
  out[n++] = 'E';
  if (exponent < 0) out[n++] = '-';
  const unsigned magnitude =
      exponent < 0 ? static_cast<unsigned>(-exponent) : static_cast<unsigned>(exponent);
  return n + write_decimal(magnitude, out + n);
}

}  // namespace

size_t minijson_format_integer(int64_t value, char* out) {
  size_t n = 0;
  uint64_t magnitude = static_cast<uint64_t>(value);
  if (value < 0) {
    out[n++] = '-';
    magnitude = ~magnitude + 1;  // also right for the most negative value
  }
  return n + write_decimal(magnitude, out + n);
}

size_t minijson_format_hex(uint64_t value, char* out) {
  out[0] = '0';
  out[1] = 'x';
  return 2 + write_digits(value, 16, out + 2);
}

int minijson_format_real(double value, int64_t precision, minijson_real_text* text) {
  if (!std::isfinite(value)) return MINIJSON_WRONG_VALUE;
  char* m = text->mantissa;
  if (value == 0.0) {
    std::memcpy(m, "0.0", 3);
    text->mantissa_length = 3;
    text->exponent_length = 0;
    return 0;
  }

  size_t n = 0;
  int64_t limit = widest_limit;
  double v = value;
  if (v < 0) {
    m[n++] = '-';
    v = -v;
    limit += 1;
  }

  int exponent = decimal_exponent(v);
  if (exponent != 0) v = scale_by_power_of_ten(v, -exponent);
  // log10 or the scaling may round up to 10; a leading digit must stay a digit.
  while (v >= 10.0) {
    v /= 10.0;
    exponent += 1;
  }

  const uint64_t fixed = static_cast<uint64_t>(v * static_cast<double>(unit));
  const size_t lead = n;
  m[n++] = static_cast<char>('0' + fixed / unit);
  uint64_t rest = fixed % unit;

  if (rest != 0) {
    const size_t point = n;
    m[n++] = '.';
    size_t zero_anchor = point;  // last nonzero digit, or the point
    size_t carry = m[lead] == '9' ? lead : point;  // last digit that is not a 9
    bool round_up = false;
    for (;;) {
      rest *= 10;
      const unsigned digit = static_cast<unsigned>(rest / unit);
      rest %= unit;
      const size_t at = n;
      const bool beyond = static_cast<int64_t>(at) > limit;
      if (digit == 0) {
        if (at - zero_anchor >= 5) {
          n = zero_anchor == point ? point : zero_anchor + 1;
          break;
        }
      } else if (digit == 9) {
        if (at - carry >= 5 || beyond) {
          round_up = true;
          break;
        }
      } else if (beyond) {
        const char before = m[at - 1];
        round_up = digit > 5 || (digit == 5 && before != '.' && !is_even_digit(before));
        break;
      }
      m[n++] = static_cast<char>('0' + digit);
      if (digit != 0) zero_anchor = at;
      if (digit != 9) carry = at;
      if (rest == 0) break;
    }
    if (round_up) {
      if (carry == point) {
        m[lead] = static_cast<char>(m[lead] + 1);
        n = lead + 1;
      } else if (carry == lead) {  // a leading 9 with only nines after it
        m[lead] = '1';
        n = lead + 1;
        exponent += 1;
      } else {
        m[carry] = static_cast<char>(m[carry] + 1);
        n = carry + 1;
      }
    }
    if (m[n - 1] == '.') n -= 1;
  }

  // A precision never cuts digits (the text keeps the value); it only asks
  // for at least that many fraction digits.
  if (precision > 0) {
    const size_t wanted =
        lead + 1 + static_cast<size_t>(precision < widest_limit - 1 ? precision : widest_limit - 1);
    if (n == lead + 1) m[n++] = '.';
    while (n <= wanted) m[n++] = '0';
  }
  text->mantissa_length = n;
  text->exponent_length = write_exponent(text->exponent, exponent);
  return 0;
}
