// Counts calls of the allocation functions around codec calls: the codec
// must not allocate. Replacing malloc itself is left out under the address
// sanitizer, which owns it; operator new is counted in every build.
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>
#include <string>

#include "codec/minijson_parser.h"
#include "codec/minijson_text.h"
#include "codec/minijson_writer.h"

namespace {
bool counting = false;
int allocations = 0;

void count() {
  if (counting) ++allocations;
}
}  // namespace

// Allocates through malloc so that the matching deletes below can free.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif
void* operator new(std::size_t size) {
  count();
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
extern "C" {
void* __libc_malloc(size_t);
void* __libc_calloc(size_t, size_t);
void* __libc_realloc(void*, size_t);
void* malloc(size_t size) {
  count();
  return __libc_malloc(size);
}
void* calloc(size_t n, size_t size) {
  count();
  return __libc_calloc(n, size);
}
void* realloc(void* p, size_t size) {
  count();
  return __libc_realloc(p, size);
}
}
#endif

namespace {

char output[4096];
size_t output_length = 0;

int into_array(void*, const void* data, size_t length) {
  if (data == nullptr) return 0;
  if (output_length + length > sizeof output) return 1;
  for (size_t i = 0; i < length; ++i) output[output_length + i] = static_cast<const char*>(data)[i];
  output_length += length;
  return 0;
}

int ignore(int, minijson_parse_data_t*) { return 0; }

const minijson_value_t* two_reals(void*, uint64_t argument) {
  static minijson_value_t real = minijson_real(0);
  static uint64_t calls = 0;
  if (calls++ % 3 == 2) return nullptr;
  real.value.real = 1.0 / static_cast<double>(argument + calls);
  return &real;
}

TEST(codec_allocation, writer_parser_and_text_functions_allocate_nothing) {
  static const unsigned char edid[256] = {0x00, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0x00};
  static const minijson_value_t reals[] = {minijson_generated(two_reals, 2), minijson_end()};
  static const minijson_member_t members[] = {
      minijson_member("category", minijson_string("user profiles")),
      minijson_member("edid", minijson_binary(edid, 256)),
      minijson_member("escapes", minijson_string("tab\there \"quoted\" \x01")),
      minijson_member("numbers", minijson_array(reals)),
      minijson_member("integer", minijson_integer(INT64_MIN)),
      minijson_member("hex", minijson_hex(255)),
      minijson_member_end()};
  static const minijson_value_t root = minijson_object(members);
  char buffer[64];
  minijson_parse_data_t data{};
  minijson_parse_context_t context{};
  const minijson_parser_t whole{ignore, &data, 1, MINIJSON_PARSE_LINE, nullptr};
  const minijson_parser_t resumable{ignore, &data, 2, MINIJSON_PARSE_LINE, &context};
  unsigned char decoded[512];
  char unescaped[64];

  counting = true;
  int written = minijson_write(nullptr, into_array, MINIJSON_WRITE_LINE, &root);
  written |= minijson_write_buffered(buffer, sizeof buffer, into_array, MINIJSON_WRITE_LINE, &root);
  size_t length = output_length;
  const int parsed = minijson_parse(output, &length, &whole);
  int resumed = -1;
  for (size_t end = 1; end <= output_length && resumed == -1; ++end) {
    length = end;
    resumed = minijson_parse(output, &length, &resumable);
  }
  size_t count = 0;
  size_t base64_length = 4;
  const int decode = minijson_base64_decode(decoded, &count, "AP//", &base64_length);
  const size_t unescape = minijson_unescape(unescaped, "a\\u20acb\\n", 10, 0);
  counting = false;

  EXPECT_EQ(written, 0);
  EXPECT_EQ(parsed, 0);
  EXPECT_EQ(resumed, 0);
  EXPECT_EQ(decode, 0);
  EXPECT_EQ(unescape, 6u);
  EXPECT_EQ(allocations, 0);
}

// The counter itself works, so a zero above means something.
TEST(codec_allocation, counter_sees_allocations) {
  counting = true;
  std::string* s = new std::string(100, 'x');
  counting = false;
  delete s;
  EXPECT_GE(allocations, 1);
  allocations = 0;
}

}  // namespace
