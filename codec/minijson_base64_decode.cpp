#include "codec/minijson_text.h"

namespace {

constexpr unsigned padding = 64;
constexpr unsigned invalid = 65;

struct base64_table {
  unsigned char value[256];
  constexpr base64_table() : value{} {
    for (unsigned c = 0; c < 256; ++c) value[c] = invalid;
    for (unsigned c = 0; c < 26; ++c) {
      value['A' + c] = static_cast<unsigned char>(c);
      value['a' + c] = static_cast<unsigned char>(26 + c);
    }
    for (unsigned c = 0; c < 10; ++c) value['0' + c] = static_cast<unsigned char>(52 + c);
    value[static_cast<unsigned char>('+')] = 62;
    value[static_cast<unsigned char>('/')] = 63;
    value[static_cast<unsigned char>('=')] = padding;
  }
};

constexpr base64_table alphabet;

// Checks the padding after i decoded characters; `tail` is the number of
// characters left from offset i. Sets *stop to the offset reached.
int check_end(const unsigned char* text, size_t i, size_t tail, size_t* stop) {
  const size_t expected = i % 4 == 2 ? 2 : i % 4 == 3 ? 1 : 0;
  if (i % 4 == 1) {
    *stop = i;
    return -1;
  }
  if (expected == 0) {
    *stop = i;
    return tail == 0 ? 0 : -1;
  }
  size_t seen = 0;
  while (seen < tail && seen < expected && text[i + seen] == '=') ++seen;
  *stop = i + seen;
  if (seen < expected) return seen == tail ? -2 : -1;
  return seen == tail ? 0 : -1;
}

}  // namespace

int minijson_base64_decode(unsigned char* destination, size_t* count, const char* source, size_t* length) {
  const unsigned char* text = reinterpret_cast<const unsigned char*>(source);
  const size_t total = *length;
  size_t written = 0;
  unsigned carry = 0;  // bits not yet in an output byte
  size_t i = 0;
  for (; i < total; ++i) {
    const unsigned v = alphabet.value[text[i]];
    if (v == padding) break;
    if (v == invalid) {
      *count = written;
      *length = i;
      return -1;
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
    return -1;
  }
  return check_end(text, i, total - i, length);
}
