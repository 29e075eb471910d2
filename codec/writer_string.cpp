#include "codec/writer_string.h"

#include "codec/writer_output.h"

namespace {

// The character after the backslash for bytes that need an escape, 'u' for
// the six-character form, 0 for bytes written as they are.
constexpr unsigned char escape_table_entry(unsigned c) {
  switch (c) {
    case 0x08: return 'b';
    case 0x09: return 't';
    case 0x0A: return 'n';
    case 0x0C: return 'f';
    case 0x0D: return 'r';
    case 0x22: return '"';
    case 0x5C: return '\\';
    default: return c < 0x20 ? 'u' : 0;
  }
}

struct escape_table {
  unsigned char entry[256];
  constexpr escape_table() : entry{} {
    for (unsigned c = 0; c < 256; ++c) entry[c] = escape_table_entry(c);
  }
};

constexpr escape_table escapes;

int emit_escape(minijson_writer_t* writer, unsigned char byte) {
  static constexpr char hex[] = "0123456789abcdef";
  const unsigned char kind = escapes.entry[byte];
  if (kind != 'u') {
    const char pair[2] = {'\\', static_cast<char>(kind)};
    return minijson_emit(writer, pair, 2);
  }
  const char six[6] = {'\\', 'u', '0', '0', hex[byte >> 4], hex[byte & 0xF]};
  return minijson_emit(writer, six, 6);
}

}  // namespace

int minijson_emit_string(minijson_writer_t* writer, const char* text, size_t length, bool counted) {
  int result = minijson_emit(writer, "\"", 1);
  if (result != 0) return result;
  const unsigned char* bytes = reinterpret_cast<const unsigned char*>(text);
  size_t run = 0;  // start of the bytes not yet written
  size_t i = 0;
  for (;; ++i) {
    if (counted ? i == length : bytes[i] == 0) break;
    if (escapes.entry[bytes[i]] == 0) continue;
    result = minijson_emit(writer, text + run, i - run);
    if (result == 0) result = emit_escape(writer, bytes[i]);
    if (result != 0) return result;
    run = i + 1;
  }
  result = minijson_emit(writer, text + run, i - run);
  if (result != 0) return result;
  return minijson_emit(writer, "\"", 1);
}

int minijson_emit_base64(minijson_writer_t* writer, const unsigned char* bytes, size_t length) {
  static constexpr char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  int result = minijson_emit(writer, "\"", 1);
  char chunk[16];
  size_t filled = 0;
  size_t i = 0;
  for (; result == 0 && i + 3 <= length; i += 3) {
    const unsigned group = (unsigned{bytes[i]} << 16) | (unsigned{bytes[i + 1]} << 8) | bytes[i + 2];
    chunk[filled++] = alphabet[(group >> 18) & 63];
    chunk[filled++] = alphabet[(group >> 12) & 63];
    chunk[filled++] = alphabet[(group >> 6) & 63];
    chunk[filled++] = alphabet[group & 63];
    if (filled == sizeof chunk) {
      result = minijson_emit(writer, chunk, filled);
      filled = 0;
    }
  }
  if (result != 0) return result;
  const size_t left = length - i;
  if (left > 0) {
    const unsigned group = (unsigned{bytes[i]} << 16) | (left == 2 ? unsigned{bytes[i + 1]} << 8 : 0u);
    chunk[filled++] = alphabet[(group >> 18) & 63];
    chunk[filled++] = alphabet[(group >> 12) & 63];
    chunk[filled++] = left == 2 ? alphabet[(group >> 6) & 63] : '=';
    chunk[filled++] = '=';
  }
  result = minijson_emit(writer, chunk, filled);
  if (result != 0) return result;
  return minijson_emit(writer, "\"", 1);
}
