// The codec's character table (internal to the codec): for every byte its
// value as a hexadecimal digit and as a base64 character, how the writer
// escapes it and what it stands for after a backslash; and the search for
// the next byte of string text that is not copied as it is. Built with
// MINIJSON_PORTABLE, the searches use no SIMD instructions.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__) && !defined(MINIJSON_PORTABLE)
#define MINIJSON_SSE2 1
#include <emmintrin.h>
#endif

namespace minijson_detail {

inline constexpr char hex_digits[] = "0123456789abcdef";
inline constexpr char base64_alphabet[] =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

inline constexpr unsigned char not_hex = 16;  // above every digit value of bases 8, 10 and 16
inline constexpr unsigned char base64_padding = 64;  // '='
inline constexpr unsigned char not_base64 = 65;

struct char_table {
  // Digit value: 0-9 for '0'-'9', 10-15 for 'a'-'f' and 'A'-'F', not_hex
  // otherwise. A digit of base b is a byte whose value is below b.
  unsigned char hex[256];
  // Base64 value 0-63, base64_padding or not_base64.
  unsigned char base64[256];
  // The letter the writer puts after a backslash, 'u' for the six-character
  // form, 0 for a byte written as it is. Nonzero exactly for '"', '\\' and
  // the control bytes below 0x20: the stops of string text.
  unsigned char escape[256];
  // The byte that a backslash and this letter stand for, 0 when they are no
  // short escape ("\u" is the long one).
  unsigned char unescape[256];

  constexpr char_table() : hex{}, base64{}, escape{}, unescape{} {
    for (unsigned c = 0; c < 256; ++c) {
      hex[c] = not_hex;
      base64[c] = not_base64;
      escape[c] = c < 0x20 ? 'u' : 0;
    }
    for (unsigned v = 0; v < 16; ++v) {
      const auto digit = static_cast<unsigned char>(hex_digits[v]);
      hex[digit] = static_cast<unsigned char>(v);
      if (v >= 10) hex[digit - 'a' + 'A'] = static_cast<unsigned char>(v);
    }
    for (unsigned v = 0; v < 64; ++v)
      base64[static_cast<unsigned char>(base64_alphabet[v])] = static_cast<unsigned char>(v);
    base64[static_cast<unsigned char>('=')] = base64_padding;
    // Letter and byte of each short escape; the writer leaves '/' as it is.
    constexpr char short_escapes[] = "\"\"\\\\//b\bf\fn\nr\rt\t";
    for (size_t i = 0; i + 1 < sizeof short_escapes; i += 2) {
      const auto letter = static_cast<unsigned char>(short_escapes[i]);
      const auto byte = static_cast<unsigned char>(short_escapes[i + 1]);
      unescape[letter] = byte;
      if (letter != '/') escape[byte] = letter;
    }
  }
};

inline constexpr char_table characters;

// Offset of the first stop byte ('"', '\\' or a control byte) in
// bytes[from, length), or length; with `copy`, the bytes before it are
// copied to out as well (out may receive up to length - from bytes, even
// past the stop).
template <bool copy>
inline size_t scan_to_string_stop(const unsigned char* bytes, size_t from, size_t length,
                                  char* out) {
  size_t p = from;
#if defined(MINIJSON_SSE2)
  const __m128i quote = _mm_set1_epi8('"');
  const __m128i backslash = _mm_set1_epi8('\\');
  const __m128i highest_control = _mm_set1_epi8(0x1F);
  while (p + 16 <= length) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + p));
    if constexpr (copy) _mm_storeu_si128(reinterpret_cast<__m128i*>(out + (p - from)), v);
    const __m128i stops =
        _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, quote), _mm_cmpeq_epi8(v, backslash)),
                     _mm_cmpeq_epi8(_mm_min_epu8(v, highest_control), v));
    const int mask = _mm_movemask_epi8(stops);
    if (mask != 0) return p + static_cast<size_t>(__builtin_ctz(static_cast<unsigned>(mask)));
    p += 16;
  }
#else
  // Eight bytes at a time until a word may hold a stop; the bytes loop
  // below finds it exactly.
  constexpr uint64_t ones = 0x0101010101010101ull;
  constexpr uint64_t highs = 0x8080808080808080ull;
  while (p + 8 <= length) {
    uint64_t word;
    std::memcpy(&word, bytes + p, 8);
    const uint64_t quote = word ^ (ones * '"');
    const uint64_t backslash = word ^ (ones * '\\');
    const uint64_t found = ((quote - ones) & ~quote) | ((backslash - ones) & ~backslash) |
        ((word - ones * 0x20) & ~word);
    if ((found & highs) != 0) break;
    if constexpr (copy) std::memcpy(out + (p - from), &word, 8);
    p += 8;
  }
#endif
  for (; p < length && characters.escape[bytes[p]] == 0; ++p) {
    if constexpr (copy) out[p - from] = static_cast<char>(bytes[p]);
  }
  return p;
}

// Offset of the first stop byte in bytes[from, length), or length.
inline size_t next_string_stop(const unsigned char* bytes, size_t from, size_t length) {
  return scan_to_string_stop<false>(bytes, from, length, nullptr);
}

// The same, and bytes[from, stop) copied to out, which has room for
// length - from bytes and may receive them all.
inline size_t copy_to_string_stop(const unsigned char* bytes, size_t from, size_t length,
                                  char* out) {
  return scan_to_string_stop<true>(bytes, from, length, out);
}

}  // namespace minijson_detail
