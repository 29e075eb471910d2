#include "codec/integer_text.h"

namespace {

size_t write_digits(uint64_t magnitude, unsigned base, char* out) {
  static constexpr char digits[] = "0123456789abcdef";
  char reversed[20];
  size_t count = 0;
  do {
    reversed[count++] = digits[magnitude % base];
    magnitude /= base;
  } while (magnitude != 0);
  for (size_t i = 0; i < count; ++i) out[i] = reversed[count - 1 - i];
  return count;
}

}  // namespace

size_t minijson_format_integer(int64_t value, char* out) {
  size_t n = 0;
  uint64_t magnitude = static_cast<uint64_t>(value);
  if (value < 0) {
    out[n++] = '-';
    magnitude = ~magnitude + 1;  // also right for the most negative value
  }
  return n + write_digits(magnitude, 10, out + n);
}

size_t minijson_format_hex(uint64_t value, char* out) {
  out[0] = '0';
  out[1] = 'x';
  return 2 + write_digits(value, 16, out + 2);
}
