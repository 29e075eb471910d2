// Unescaping any bytes in both modes, in place and into a separate buffer.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "codec/minijson_parser.h"
#include "codec/minijson_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* input, size_t size) {
  const char* source = reinterpret_cast<const char*>(input);
  char* strict = static_cast<char*>(std::malloc(size + 1));
  char* lenient = static_cast<char*>(std::malloc(size + 1));
  char* in_place = static_cast<char*>(std::malloc(size + 1));
  std::memcpy(in_place, input, size);

  const size_t strict_length = minijson_unescape(strict, source, size, 0);
  const size_t lenient_length = minijson_unescape(lenient, source, size, 1);
  const size_t in_place_length = minijson_unescape(in_place, in_place, size, 1);

  // Lenient never fails, never grows the text, and works in place.
  if (lenient_length > size || in_place_length != lenient_length) std::abort();
  if (std::memcmp(lenient, in_place, lenient_length) != 0) std::abort();
  // Where strict succeeds, both modes write the same bytes.
  if (strict_length != static_cast<size_t>(-1)) {
    if (strict_length != lenient_length || std::memcmp(strict, lenient, strict_length) != 0)
      std::abort();
  }

  // The same bytes as a JSON string value: when the parser takes them, the
  // strict unescaper does too, with the decoded length the parser counted.
  char* quoted = static_cast<char*>(std::malloc(size + 2));
  quoted[0] = '"';
  std::memcpy(quoted + 1, input, size);
  quoted[size + 1] = '"';
  minijson_parse_data_t data{};
  size_t length = size + 2;
  const minijson_parser_t request{nullptr, &data, 0, 0, nullptr};
  if (minijson_parse(quoted, &length, &request) == MINIJSON_OK && length == size + 2) {
    if (data.length != size || strict_length != data.count) std::abort();
  }
  std::free(quoted);
  std::free(strict);
  std::free(lenient);
  std::free(in_place);
  return 0;
}
