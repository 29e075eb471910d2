// The parser over any bytes: a parse of the whole text and a resumable parse
// fed in two pieces, split where the input says, must agree.
#include <sanitizer/asan_interface.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "codec/minijson_parser.h"

namespace {

struct report {
  int kind;
  uint32_t type;
  size_t key_offset, key_length, key_decoded;
  uint64_t value;  // offset of a text, or the value bits
  size_t length, count;
  bool operator==(const report&) const = default;
};

struct outcome {
  int result = 0;
  size_t length = 0;
  std::vector<report> reports;
};

struct recorder : minijson_parse_data_t {
  const char* base = nullptr;
  std::vector<report>* reports = nullptr;
  size_t stop_at = 0;  // the callback answers 9 on this call (0: never)
};

int record(int kind, minijson_parse_data_t* data) {
  auto* self = static_cast<recorder*>(data);
  report r{kind, data->type, 0, 0, 0, data->value.bits, data->length, data->count};
  if (kind == MINIJSON_KIND_MEMBER) {
    r.key_offset = static_cast<size_t>(data->key - self->base);
    r.key_length = data->key_length;
    r.key_decoded = data->key_decoded_length;
  }
  if (data->type == MINIJSON_STRING || data->type == MINIJSON_OBJECT ||
      data->type == MINIJSON_ARRAY) {
    r.value = static_cast<uint64_t>(data->value.text - self->base);
    // Touch the reported text: it must lie inside the buffer.
    volatile char first = data->value.text[0];
    volatile char last = data->value.text[data->length > 0 ? data->length - 1 : 0];
    (void)first;
    (void)last;
  }
  self->reports->push_back(r);
  return self->reports->size() == self->stop_at ? 9 : 0;
}

outcome parse(const char* text, const std::vector<size_t>& ends, size_t depth, uint32_t flags,
              bool resumable, size_t stop_at, size_t size) {
  outcome out;
  recorder data{};
  data.base = text;
  data.reports = &out.reports;
  data.stop_at = stop_at;
  minijson_parse_context_t context{};
  const minijson_parser_t request{record, &data, depth, flags, resumable ? &context : nullptr};
  for (size_t end : ends) {
    // Bytes not handed over yet must not be read.
    ASAN_POISON_MEMORY_REGION(text + end, size - end);
    out.length = end;
    out.result = minijson_parse(text, &out.length, &request);
    ASAN_UNPOISON_MEMORY_REGION(text + end, size - end);
    if (out.result != MINIJSON_UNFINISHED) break;
  }
  return out;
}

bool is_prefix(const std::vector<report>& a, const std::vector<report>& b) {
  return a.size() <= b.size() && std::equal(a.begin(), a.end(), b.begin());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* input, size_t input_size) {
  if (input_size < 3) return 0;
  const size_t depth = input[0] % 4;
  const uint32_t flags = (input[0] >> 2) % 4;
  const size_t stop_at = (input[0] >> 4) % 4 == 0 ? input[1] % 8 : 0;
  const size_t size = input_size - 3;
  const size_t split = size == 0 ? 0 : (size_t{input[1]} << 8 | input[2]) % (size + 1);

  // An exactly sized copy, so that reading past the end is caught.
  char* text = static_cast<char*>(std::malloc(size == 0 ? 1 : size));
  std::memcpy(text, input + 3, size);

  const outcome whole = parse(text, {size}, depth, flags, false, stop_at, size);
  if (whole.result == MINIJSON_OK && whole.length > size) std::abort();
  const outcome pieces = parse(text, {split, size}, depth, flags, true, stop_at, size);

  if (pieces.result == MINIJSON_UNFINISHED) {
    // The whole-text parse may take tokens at the end that a resumable one
    // keeps waiting for; everything reported before must agree.
    if (!is_prefix(pieces.reports, whole.reports)) std::abort();
  } else if (pieces.result == MINIJSON_OK) {
    // The resumable parse may have ended a text at the split point; the
    // whole-text parse of just that text must agree.
    const outcome same = parse(text, {pieces.length}, depth, flags, false, stop_at, size);
    if (same.result != MINIJSON_OK || same.length != pieces.length ||
        same.reports != pieces.reports)
      std::abort();
  } else if (pieces.result != whole.result || pieces.length != whole.length ||
             pieces.reports != whole.reports) {
    std::abort();
  }
  std::free(text);
  return 0;
}
