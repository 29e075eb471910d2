// Finding the next byte of JSON string text that is not copied as it is:
// '"', '\\' or a control byte below 0x20 (internal to the codec).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace minijson_detail {

struct string_stop_table {
  unsigned char stop[256];
  constexpr string_stop_table() : stop{} {
    for (unsigned c = 0; c < 0x20; ++c) stop[c] = 1;
    stop[static_cast<unsigned char>('"')] = 1;
    stop[static_cast<unsigned char>('\\')] = 1;
  }
};
inline constexpr string_stop_table string_stops;

// Offset of the first stop byte in bytes[from, length), or length.
inline size_t next_string_stop(const unsigned char* bytes, size_t from, size_t length) {
  size_t p = from;
#if defined(__SSE2__)
  const __m128i quote = _mm_set1_epi8('"');
  const __m128i backslash = _mm_set1_epi8('\\');
  const __m128i highest_control = _mm_set1_epi8(0x1F);
  while (p + 16 <= length) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + p));
    const __m128i stops = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, quote), _mm_cmpeq_epi8(v, backslash)),
                                       _mm_cmpeq_epi8(_mm_min_epu8(v, highest_control), v));
    const int mask = _mm_movemask_epi8(stops);
    if (mask != 0) return p + static_cast<size_t>(__builtin_ctz(static_cast<unsigned>(mask)));
    p += 16;
  }
#else
  constexpr uint64_t ones = 0x0101010101010101ull;
  constexpr uint64_t highs = 0x8080808080808080ull;
  while (p + 8 <= length) {
    uint64_t word;
    std::memcpy(&word, bytes + p, 8);
    const uint64_t quote = word ^ (ones * '"');
    const uint64_t backslash = word ^ (ones * '\\');
    const uint64_t found = ((quote - ones) & ~quote) | ((backslash - ones) & ~backslash) | ((word - ones * 0x20) & ~word);
    if ((found & highs) != 0) break;
    p += 8;
  }
#endif
  while (p < length && string_stops.stop[bytes[p]] == 0) ++p;
  return p;
}

}  // namespace minijson_detail
