#include "codec/minijson_text.h"

#include <cstring>

#include "codec/char_table.h"

namespace {

using minijson_detail::characters;

constexpr size_t unescape_failed = static_cast<size_t>(-1);
constexpr char malformed_byte = static_cast<char>(0xFF);

constexpr int base64_malformed = -1;
constexpr int base64_padding_missing = -2;

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

// Checks the padding after i decoded characters; `tail` is the number of
// characters left from offset i. Sets *stop to the offset reached.
int check_base64_end(const unsigned char* text, size_t i, size_t tail, size_t* stop) {
  const size_t expected = i % 4 == 2 ? 2 : i % 4 == 3 ? 1 : 0;
  if (i % 4 == 1) {
    *stop = i;
    return base64_malformed;
  }
  if (expected == 0) {
    *stop = i;
    return tail == 0 ? 0 : base64_malformed;
  }
  size_t seen = 0;
  while (seen < tail && seen < expected && text[i + seen] == '=') ++seen;
  *stop = i + seen;
  if (seen < expected) return seen == tail ? base64_padding_missing : base64_malformed;
  return seen == tail ? 0 : base64_malformed;
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
      if (destination + written != source + i)
        std::memmove(destination + written, source + i, stop - i);
      written += stop - i;
      i = stop;
      if (i == length) break;
    }
    const unsigned char c = in[i];
    if (c != '\\') {
      if (c == '"' || c < 0x20) {
        if (!lenient) return unescape_failed;
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
        const unsigned d = characters.hex[in[i + 2 + digits]];
        if (d == minijson_detail::not_hex) break;
        code = code * 16 + d;
        ++digits;
      }
      if (digits < 4) {
        if (!lenient) return unescape_failed;
        destination[written++] = malformed_byte;
      } else {
        written += put_utf8(destination + written, code);
      }
      i += 2 + digits;
      continue;
    }
    const unsigned char decoded = characters.unescape[kind];
    if (decoded == 0) {
      if (!lenient) return unescape_failed;
      destination[written++] = malformed_byte;
    } else {
      destination[written++] = static_cast<char>(decoded);
    }
    i += 2;
  }
  return written;
}

int minijson_base64_decode(unsigned char* destination, size_t* count, const char* source,
                           size_t* length) {
  const unsigned char* text = reinterpret_cast<const unsigned char*>(source);
  const size_t total = *length;
  size_t written = 0;
  unsigned carry = 0;  // bits not yet in an output byte
  size_t i = 0;
  for (; i < total; ++i) {
    const unsigned v = characters.base64[text[i]];
    if (v == minijson_detail::base64_padding) break;
    if (v == minijson_detail::not_base64) {
      *count = written;
      *length = i;
      return base64_malformed;
    }
    switch (i % 4) {
      case 0:
        carry = v;
        break;
      case 1:
        destination[written++] = static_cast<unsigned char>((carry << 2) | (v >> 4));
        carry = v & 0x0F;
        break;
      case 2:
        destination[written++] = static_cast<unsigned char>((carry << 4) | (v >> 2));
        carry = v & 0x03;
        break;
      default:
        destination[written++] = static_cast<unsigned char>((carry << 6) | v);
        carry = 0;
        break;
    }
  }
  *count = written;
  if (carry != 0) {
    *length = i;
    return base64_malformed;
  }
  return check_base64_end(text, i, total - i, length);
}
