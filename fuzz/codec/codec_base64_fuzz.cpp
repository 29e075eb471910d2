// Base64 decoding of any bytes: the output stays within three bytes per four
// characters, and what decodes cleanly is exactly what the writer encodes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "codec/minijson_text.h"
#include "codec/minijson_writer.h"

namespace {

int append(void* context, const void* data, size_t length) {
  if (data != nullptr)
    static_cast<std::string*>(context)->append(static_cast<const char*>(data), length);
  return 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* input, size_t size) {
  const size_t room = size / 4 * 3 + (size % 4 == 3 ? 2 : size % 4 == 2 ? 1 : 0);
  unsigned char* bytes = static_cast<unsigned char*>(std::malloc(room == 0 ? 1 : room));
  size_t count = 0;
  size_t length = size;
  const int result =
      minijson_base64_decode(bytes, &count, reinterpret_cast<const char*>(input), &length);
  if (result != 0 && result != -1 && result != -2) std::abort();
  if (count > room || length > size) std::abort();

  if (result == 0) {
    if (length != size) std::abort();
    std::string text;
    const minijson_value_t value = minijson_binary(bytes, static_cast<uint32_t>(count));
    if (minijson_write(&text, append, 0, &value) != 0) std::abort();
    if (text != "\"" + std::string(reinterpret_cast<const char*>(input), size) + "\"") std::abort();
  }
  if (result == -2) {
    // Only the padding is missing: with it the same bytes decode cleanly.
    std::string padded(reinterpret_cast<const char*>(input), size);
    while (padded.size() % 4 != 0) padded.push_back('=');
    unsigned char* again = static_cast<unsigned char*>(std::malloc(padded.size()));
    size_t again_count = 0;
    size_t again_length = padded.size();
    if (minijson_base64_decode(again, &again_count, padded.data(), &again_length) != 0)
      std::abort();
    if (again_count != count || std::memcmp(again, bytes, count) != 0) std::abort();
    std::free(again);
  }
  std::free(bytes);
  return 0;
}
