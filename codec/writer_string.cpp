#include "codec/writer_string.h"

#include <cstring>

#include "codec/string_stops.h"
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
  if (!counted) length = std::strlen(text);
  int result = minijson_emit(writer, "\"", 1);
  const unsigned char* bytes = reinterpret_cast<const unsigned char*>(text);
  size_t run = 0;  // start of the bytes not yet written
  while (result == 0) {
    // '"', '\\' and control bytes are exactly the bytes that need an escape.
    const size_t stop = minijson_detail::next_string_stop(bytes, run, length);
    result = minijson_emit(writer, text + run, stop - run);
    if (result != 0 || stop == length) break;
    result = emit_escape(writer, bytes[stop]);
    run = stop + 1;
  }
  if (result != 0) return result;
  return minijson_emit(writer, "\"", 1);
}

namespace {

constexpr char base64_alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// Encodes bytes (a multiple of three) as base64 into out; returns the length.
size_t encode_groups(const unsigned char* bytes, size_t length, char* out) {
  size_t n = 0;
  for (size_t i = 0; i + 3 <= length; i += 3) {
    const unsigned group = (unsigned{bytes[i]} << 16) | (unsigned{bytes[i + 1]} << 8) | bytes[i + 2];
    out[n++] = base64_alphabet[(group >> 18) & 63];
    out[n++] = base64_alphabet[(group >> 12) & 63];
    out[n++] = base64_alphabet[(group >> 6) & 63];
    out[n++] = base64_alphabet[group & 63];
  }
  return n;
}

// The last one or two bytes with their padding; returns the length (0 or 4).
size_t encode_tail(const unsigned char* bytes, size_t left, char* out) {
  if (left == 0) return 0;
  const unsigned group = (unsigned{bytes[0]} << 16) | (left == 2 ? unsigned{bytes[1]} << 8 : 0u);
  out[0] = base64_alphabet[(group >> 18) & 63];
  out[1] = base64_alphabet[(group >> 12) & 63];
  out[2] = left == 2 ? base64_alphabet[(group >> 6) & 63] : '=';
  out[3] = '=';
  return 4;
}

}  // namespace

int minijson_emit_base64(minijson_writer_t* writer, const unsigned char* bytes, size_t length) {
  const size_t whole = length / 3 * 3;
  const size_t encoded = (length + 2) / 3 * 4;
  if (encoded + 2 < writer->room) {
    // Room in the buffer for all of it: encode in place.
    char* out = static_cast<char*>(writer->position);
    size_t n = 0;
    out[n++] = '"';
    n += encode_groups(bytes, whole, out + n);
    n += encode_tail(bytes + whole, length - whole, out + n);
    out[n++] = '"';
    writer->position = out + n;
    writer->room -= n;
    return 0;
  }
  // Otherwise in 16-character chunks (twelve bytes each).
  int result = minijson_emit(writer, "\"", 1);
  char chunk[16];
  size_t i = 0;
  for (; result == 0 && i + 12 <= whole; i += 12) result = minijson_emit(writer, chunk, encode_groups(bytes + i, 12, chunk));
  if (result != 0) return result;
  size_t n = encode_groups(bytes + i, whole - i, chunk);
  n += encode_tail(bytes + whole, length - whole, chunk + n);
  result = minijson_emit(writer, chunk, n);
  if (result != 0) return result;
  return minijson_emit(writer, "\"", 1);
}
