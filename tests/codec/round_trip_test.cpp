#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "tests/codec/descriptor_tree.hpp"
#include "tests/codec/recording_sink.hpp"

namespace {

// Buffered writes hand full buffers to the sink with a null context.
struct collected {
  std::string text;
  static int sink(void*, const void* data, size_t length) {
    if (data != nullptr) target->text.append(static_cast<const char*>(data), length);
    return 0;
  }
  static inline collected* target = nullptr;
};

// Random trees of every descriptor type are written and parsed back; the
// framing bytes are checked and stripped first.
TEST(writer_round_trip, generated_trees_parse_back_to_their_values) {
  std::mt19937 random(20240611);
  for (int tree_number = 0; tree_number < 2000; ++tree_number) {
    std::vector<uint8_t> bytes(64 + random() % 2048);
    for (uint8_t& b : bytes) b = static_cast<uint8_t>(random());
    descriptor_tree tree(bytes.data(), bytes.size());
    const write_outcome out = write_unbuffered(tree.root(), MINIJSON_WRITE_SEPARATOR);
    ASSERT_EQ(out.result, 0) << "tree " << tree_number;
    ASSERT_GE(out.text.size(), 2u);
    ASSERT_EQ(out.text.front(), '\x1e');
    ASSERT_EQ(out.text.back(), '\n');
    const std::string json = out.text.substr(1, out.text.size() - 2);
    ASSERT_EQ(tree.mismatch(json), "") << "tree " << tree_number << ": " << json;
  }
}

// Buffered output is the same text whatever the buffer size.
TEST(writer_round_trip, buffered_output_equals_unbuffered) {
  std::mt19937 random(7);
  for (int tree_number = 0; tree_number < 200; ++tree_number) {
    std::vector<uint8_t> bytes(512);
    for (uint8_t& b : bytes) b = static_cast<uint8_t>(random());
    descriptor_tree tree(bytes.data(), bytes.size());
    const write_outcome reference = write_unbuffered(tree.root(), MINIJSON_WRITE_LINE);
    ASSERT_EQ(reference.result, 0);
    for (size_t capacity : {1u, 3u, 16u, 4096u}) {
      std::vector<char> buffer(capacity);
      collected got;
      collected::target = &got;
      tree.rewind();
      EXPECT_EQ(minijson_write_buffered(buffer.data(), capacity, collected::sink,
                                        MINIJSON_WRITE_LINE, &tree.root()),
                0);
      EXPECT_EQ(got.text, reference.text) << "capacity " << capacity;
    }
    tree.rewind();
  }
}

// Strings are copied and escaped in place when the buffer has room, piece
// by piece otherwise: the same text either way, with a byte that needs an
// escape at every position of strings up to 40 bytes, counted or not.
TEST(writer_round_trip, strings_written_in_place_equal_strings_written_in_pieces) {
  const char stops[] = {'"', '\\', '\n', '\x01', '\x1f', '\0'};
  for (size_t length = 1; length <= 40; ++length) {
    for (size_t at = 0; at < length; ++at) {
      for (const char stop : stops) {
        std::string text(length, 'a');
        for (size_t i = 0; i < length; ++i) text[i] = static_cast<char>('a' + i % 26);
        text[at] = stop;
        if (at + 3 < length) text[at + 3] = '\xc3';  // a byte above 0x7f stays as it is
        const minijson_value_t values[] = {
            minijson_string_n(text.data(), static_cast<uint32_t>(length)),
            minijson_string(text.c_str())};
        for (const minijson_value_t& value : values) {
          const write_outcome reference = write_unbuffered(value);
          std::vector<char> buffer(4096);
          collected got;
          collected::target = &got;
          ASSERT_EQ(
              minijson_write_buffered(buffer.data(), buffer.size(), collected::sink, 0, &value), 0);
          EXPECT_EQ(got.text, reference.text) << "length " << length << " stop at " << at;
        }
      }
    }
  }
}

}  // namespace
