#include "codec/minijson_text.h"

#include <cstdint>
#include <cstring>

#include "codec/string_stops.h"

namespace {

constexpr size_t failed = static_cast<size_t>(-1);
constexpr char malformed_byte = static_cast<char>(0xFF);

unsigned hex_digit(unsigned char c) {
  if (c >= '0' && c <= '9') return c - '0';
  const unsigned lower = c | 0x20u;
  if (lower >= 'a' && lower <= 'f') return lower - 'a' + 10;
  return 16;
}

char simple_escape(unsigned char c) {
  switch (c) {
    case '"': return '"';
    case '\\': return '\\';
    case '/': return '/';
    case 'b': return '\b';
    case 'f': return '\f';
    case 'n': return '\n';
    case 'r': return '\r';
    case 't': return '\t';
    default: return 0;
  }
}

size_t put_utf8(char* out, unsigned code) {
  if (code < 0x80) {
    out[0] = static_cast<char>(code);
    return 1;
  }
  if (code < 0x800) {
    out[0] = static_cast<char>(0xC0 | (code >> 6));
    out[1] = static_cast<char>(0x80 | (code & 0x3F));
    return 2;
  }
  out[0] = static_cast<char>(0xE0 | (code >> 12));
  out[1] = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
  out[2] = static_cast<char>(0x80 | (code & 0x3F));
  return 3;
}

}  // namespace

// The output never runs ahead of the input (every escape is at least as long
// as what it decodes to), so destination may be source itself.
size_t minijson_unescape(char* destination, const char* source, size_t length, int lenient) {
  const unsigned char* in = reinterpret_cast<const unsigned char*>(source);
  size_t written = 0;
  size_t i = 0;
  while (i < length) {
    // Runs of plain bytes move in one piece; in place they only move down.
    const size_t stop = minijson_detail::next_string_stop(in, i, length);
    if (stop > i) {
      if (destination + written != source + i) std::memmove(destination + written, source + i, stop - i);
      written += stop - i;
      i = stop;
      if (i == length) break;
    }
    const unsigned char c = in[i];
    if (c != '\\') {
      if (c == '"' || c < 0x20) {
        if (!lenient) return failed;
        destination[written++] = malformed_byte;
      } else {
        destination[written++] = static_cast<char>(c);
      }
      ++i;
      continue;
    }
    if (i + 1 >= length) break;  // a backslash at the end writes nothing
    const unsigned char kind = in[i + 1];
    if (kind == 'u') {
      unsigned code = 0;
      size_t digits = 0;
      while (digits < 4 && i + 2 + digits < length) {
        const unsigned d = hex_digit(in[i + 2 + digits]);
        if (d > 15) break;
        code = code * 16 + d;
        ++digits;
      }
      if (digits < 4) {
        if (!lenient) return failed;
        destination[written++] = malformed_byte;
      } else {
        written += put_utf8(destination + written, code);
      }
      i += 2 + digits;
      continue;
    }
    const char decoded = simple_escape(kind);
    if (decoded == 0) {
      if (!lenient) return failed;
      destination[written++] = malformed_byte;
    } else {
      destination[written++] = decoded;
    }
    i += 2;
  }
  return written;
}
