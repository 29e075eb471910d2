#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "codec/minijson_parser.h"
#include "tests/codec/parse_recorder.hpp"

namespace {

struct resumption_case {
  std::string text;
  size_t depth;
  uint32_t flags;
};

// Texts whose tokens can be cut anywhere: numbers of every form, literals,
// escapes of every kind, keys, nesting, framing bytes.
const std::vector<resumption_case> texts = {
    {"{\"a\":1,\"b\":[1,2]}", 1, 0},
    {"{\"a\":1,\"b\":[1,2]}", 0, 0},
    {"[true,false,null,-12.5e-1,0x1F,017,0x1.8p1,.5,1.,+3]", 1, 0},
    {"{\"k\\u00e9y\":\"v\\n\\\"\\u20ACx\\/\",\"s\":\"\xc3\xa9\"}", 1, 0},
    {"[{\"x\":{\"y\":[\"\\\\\",[]]}},{},\"tail\"]", 2, 0},
    {"[{\"x\":{\"y\":[\"\\\\\",[]]}},{},\"tail\"]", 1, 0},
    {"junk\x1e{\"category\":\"system\",\"data\":[1,2,3]}\r\n", 1,
     MINIJSON_PARSE_SEPARATOR | MINIJSON_PARSE_LINE},
    {"{\"a\":[1,2,]}\n", 1, MINIJSON_PARSE_LINE},
    {"{\"a\" : \"unterminated", 1, 0},
    {"[1,\"bad\\q\"]", 1, 0},
    {"[tr ue]", 1, 0},
    {"[12 34]", 1, 0},
    {"[\"\\u12x4\"]", 1, 0},
    {"\"top\"", 0, 0},
    {"[9223372036854775808,-9223372036854775808]", 1, 0},
};

// A resumable parse handed the first `split` bytes, then all of them, must
// report and end exactly like one call over all of them.
TEST(parser_resumption, every_split_point_gives_the_same_reports_and_result) {
  for (const resumption_case& c : texts) {
    const parse_outcome whole = parse_whole(c.text, c.depth, c.flags, true);
    for (size_t split = 1; split <= c.text.size(); ++split) {
      const parse_outcome parts = parse_split(c.text, split, c.depth, c.flags);
      ASSERT_EQ(parts.result, whole.result) << c.text << " split at " << split;
      ASSERT_EQ(parts.reports, whole.reports) << c.text << " split at " << split;
      // A text whose line end has not arrived yet ends without it.
      const size_t missing = whole.length - std::min(parts.length, whole.length);
      const std::string left_out = c.text.substr(parts.length, missing);
      ASSERT_TRUE(parts.length == whole.length ||
                  (missing <= 2 && left_out.find_first_not_of("\r\n") == std::string::npos))
          << c.text << " split at " << split;
    }
  }
}

TEST(parser_resumption, byte_by_byte) {
  for (const resumption_case& c : texts) {
    const parse_outcome whole = parse_whole(c.text, c.depth, c.flags, true);
    const parse_outcome bytes = parse_in_pieces(c.text, 1, c.depth, c.flags);
    EXPECT_EQ(bytes.result, whole.result) << c.text;
    EXPECT_EQ(bytes.reports, whole.reports) << c.text;
  }
}

TEST(parser_resumption, first_call_is_unfinished) {
  const std::string text = "{\"a\":1,\"b\":[1,2]}";
  for (size_t split = 0; split < text.size(); ++split) {
    minijson_parse_context_t context{};
    const minijson_parser_t request{nullptr, nullptr, 1, 0, &context};
    size_t length = split;
    const int result = minijson_parse(text.data(), &length, &request);
    EXPECT_EQ(result, split == 0 ? 0 : -1) << split;  // an empty buffer is an empty text
  }
}

TEST(parser_resumption, escapes_cut_off_are_scanned_again) {
  const std::string text = "[\"ab\\u00e9\"]";
  minijson_parse_context_t context{};
  const minijson_parser_t request{nullptr, nullptr, 1, 0, &context};
  size_t length = 7;  // ends after "\u0"
  ASSERT_EQ(minijson_parse(text.data(), &length, &request), -1);
  EXPECT_EQ(context.position, 4u);  // back on the backslash
  EXPECT_NE(context.flags & MINIJSON_IN_STRING, 0u);
  length = text.size();
  EXPECT_EQ(minijson_parse(text.data(), &length, &request), 0);
}

TEST(parser_resumption, numbers_and_literals_are_scanned_again) {
  const std::string text = "[12345,true]";
  minijson_parse_context_t context{};
  const minijson_parser_t request{nullptr, nullptr, 1, 0, &context};
  size_t length = 4;
  ASSERT_EQ(minijson_parse(text.data(), &length, &request), -1);
  EXPECT_EQ(context.position, 1u);
  length = 9;
  ASSERT_EQ(minijson_parse(text.data(), &length, &request), -1);
  EXPECT_EQ(context.position, 7u);
}

}  // namespace
