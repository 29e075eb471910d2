// Writer round trip: a descriptor tree built from the input is written, and
// the text must parse back to the same values; buffered output in a small
// buffer must be the same text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "codec/minijson_writer.h"
#include "tests/codec/descriptor_tree.hpp"

namespace {

std::string* buffered_text = nullptr;

int append(void* context, const void* data, size_t length) {
  if (data != nullptr)
    static_cast<std::string*>(context)->append(static_cast<const char*>(data), length);
  return 0;
}

int append_buffered(void*, const void* data, size_t length) {
  if (data != nullptr) buffered_text->append(static_cast<const char*>(data), length);
  return 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* input, size_t size) {
  if (size < 1) return 0;
  const unsigned flags = input[0] % 4;
  const size_t capacity = 1 + input[0] / 4;
  descriptor_tree tree(input + 1, size - 1);

  std::string text;
  if (minijson_write(&text, append, flags, &tree.root()) != 0) std::abort();
  std::string json = text;
  if ((flags & 2) != 0) {
    if (json.empty() || json.front() != '\x1e') std::abort();
    json.erase(0, 1);
  }
  if ((flags & 3) != 0) {
    if (json.empty() || json.back() != '\n') std::abort();
    json.pop_back();
  }
  const std::string why = tree.mismatch(json);
  if (!why.empty()) std::abort();

  tree.rewind();
  std::string buffered;
  buffered_text = &buffered;
  char* buffer = static_cast<char*>(std::malloc(capacity));
  if (minijson_write_buffered(buffer, capacity, append_buffered, flags, &tree.root()) != 0)
    std::abort();
  std::free(buffer);
  if (buffered != text) std::abort();
  return 0;
}
