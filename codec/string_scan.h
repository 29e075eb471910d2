// Scanning of JSON string text (internal to the codec): finds the closing
// quote, checks escapes and control bytes, and counts the decoded length.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

enum class string_scan_result {
  complete,  // the closing quote was found; `at` is just past it
  more,      // the text ends inside the string; `at` is where to go on
  bad,       // a control byte or a malformed escape at `at`
};

#include "codec/string_stops.h"

namespace minijson_detail {

inline unsigned hex_value(unsigned char c) {
  if (c >= '0' && c <= '9') return c - '0';
  const unsigned lower = c | 0x20u;
  if (lower >= 'a' && lower <= 'f') return lower - 'a' + 10;
  return 16;
}

}  // namespace minijson_detail

// Scans string text from `at` (just past the opening quote, or where an
// earlier scan stopped). `saved` grows by the bytes that escapes save, so
// the decoded length is the raw length minus `saved`. An escape cut off by
// the end of the text is left for the next scan: `at` stays on its backslash.
inline string_scan_result minijson_scan_string(const char* text, size_t length, size_t& at, size_t& saved) {
  using namespace minijson_detail;
  const unsigned char* bytes = reinterpret_cast<const unsigned char*>(text);
  size_t p = at;
  for (;;) {
    p = next_string_stop(bytes, p, length);
    if (p >= length) {
      at = p;
      return string_scan_result::more;
    }
    const unsigned char c = bytes[p];
    if (c == '"') {
      at = p + 1;
      return string_scan_result::complete;
    }
    if (c != '\\') {
      at = p;
      return string_scan_result::bad;
    }
    if (p + 1 >= length) {
      at = p;
      return string_scan_result::more;
    }
    switch (bytes[p + 1]) {
      case '"': case '\\': case '/': case 'b': case 'f': case 'n': case 'r': case 't':
        saved += 1;
        p += 2;
        continue;
      case 'u': {
        unsigned code = 0;
        for (size_t k = 2; k < 6; ++k) {
          if (p + k >= length) {
            at = p;
            return string_scan_result::more;
          }
          const unsigned digit = hex_value(bytes[p + k]);
          if (digit > 15) {
            at = p + k;
            return string_scan_result::bad;
          }
          code = code * 16 + digit;
        }
        saved += code < 0x80 ? 5 : code < 0x800 ? 4 : 3;
        p += 6;
        continue;
      }
      default:
        at = p + 1;
        return string_scan_result::bad;
    }
  }
}
