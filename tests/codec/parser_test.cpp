#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "codec/minijson_parser.h"
#include "tests/codec/parse_recorder.hpp"

namespace {

using reports = std::vector<std::string>;

TEST(parser_reports, whole_value_at_depth_zero) {
  const parse_outcome out = parse_whole("{}");
  EXPECT_EQ(out.result, 0);
  EXPECT_EQ(out.length, 2u);
  EXPECT_EQ(out.reports, (reports{"kind 1 type 1 text {} length 2 count 0"}));
}

TEST(parser_reports, members_at_depth_one) {
  const parse_outcome out = parse_whole("{\"a\":1,\"b\":[1,2]}", 1);
  EXPECT_EQ(out.result, 0);
  EXPECT_EQ(out.reports,
            (reports{"kind 2 type 8 key a (1) value 1 length 1 count 0",
                     "kind 2 type 2 key b (1) text [1,2] length 5 count 2"}));
}

TEST(parser_reports, elements_at_depth_one_have_no_key) {
  const parse_outcome out = parse_whole("[true, false ,null,\"s\",-2.5]", 1);
  EXPECT_EQ(out.result, 0);
  EXPECT_EQ(
      out.reports,
      (reports{"kind 1 type 32 value 1 length 4 count 0", "kind 1 type 32 value 0 length 5 count 0",
               "kind 1 type 32 value -1 length 4 count 0", "kind 1 type 4 text s length 1 count 1",
               "kind 1 type 16 value -2.5 length 4 count 0"}));
}

TEST(parser_reports, deeper_values_only_inside_their_container) {
  const parse_outcome out = parse_whole("{\"a\":{\"b\":[1,{\"c\":2}]},\"d\":3}", 2);
  EXPECT_EQ(out.result, 0);
  EXPECT_EQ(out.reports, (reports{"kind 2 type 2 key b (1) text [1,{\"c\":2}] length 11 count 2"}));
}

TEST(parser_reports, container_counts) {
  struct row {
    const char* text;
    size_t count;
  };
  const row rows[] = {{"[]", 0},
                      {"[1]", 1},
                      {"[1,2,3]", 3},
                      {"[[],[]]", 2},
                      {"[1,]", 1},
                      {"{\"a\":1,}", 1},
                      {"{}", 0},
                      {"[[1,2],{\"x\":[3]}]", 2},
                      {"{\"a\":[1,2,3]}", 1},
                      {"[\"a,b\",\"[\"]", 2}};
  for (const row& r : rows) {
    const parse_outcome out = parse_whole(r.text);
    ASSERT_EQ(out.result, 0) << r.text;
    ASSERT_EQ(out.reports.size(), 1u) << r.text;
    EXPECT_NE(out.reports[0].find(" count " + std::to_string(r.count)), std::string::npos)
        << r.text << ": " << out.reports[0];
  }
}

TEST(parser_reports, callback_result_stops_the_parse) {
  const parse_outcome out = parse_whole("[1,2,3]", 1, 0, false, 5);
  EXPECT_EQ(out.result, 5);
  EXPECT_EQ(out.length, 2u);
  EXPECT_EQ(out.reports.size(), 1u);
  const parse_outcome container = parse_whole("[[1],2]", 1, 0, false, 6);
  EXPECT_EQ(container.result, 6);
  EXPECT_EQ(container.length, 4u);
}

TEST(parser_reports, null_data_record_reaches_the_callback_as_null) {
  static int calls = 0;
  static minijson_parse_data_t* seen = reinterpret_cast<minijson_parse_data_t*>(1);
  const minijson_parser_t request{[](int, minijson_parse_data_t* data) {
                                    ++calls;
                                    seen = data;
                                    return 0;
                                  },
                                  nullptr, 1, 0, nullptr};
  size_t length = 7;
  EXPECT_EQ(minijson_parse("[1,\"x\"]", &length, &request), 0);
  EXPECT_EQ(calls, 2);
  EXPECT_EQ(seen, nullptr);
}

TEST(parser_reports, top_level_scalars) {
  struct row {
    const char* text;
    const char* report;
  };
  const row rows[] = {{"0", "kind 1 type 8 value 0 length 1 count 0"},
                      {"\"x\" ", "kind 1 type 4 text x length 1 count 1"},
                      {"true", "kind 1 type 32 value 1 length 4 count 0"}};
  for (const row& r : rows) {
    const parse_outcome out = parse_whole(r.text);
    EXPECT_EQ(out.result, 0) << r.text;
    EXPECT_EQ(out.length, std::string(r.text).size());
    EXPECT_EQ(out.reports, (reports{r.report})) << r.text;
  }
}

TEST(parser_reports, two_texts_back_to_back) {
  const std::string text = "{\"a\":1}[2]";
  minijson_parse_context_t context{};
  const minijson_parser_t request{nullptr, nullptr, 0, 0, &context};
  size_t length = text.size();
  ASSERT_EQ(minijson_parse(text.data(), &length, &request), 0);
  ASSERT_EQ(length, 7u);
  minijson_reset(&context);
  const std::string rest = text.substr(length);
  size_t rest_length = rest.size();
  EXPECT_EQ(minijson_parse(rest.data(), &rest_length, &request), 0);
  EXPECT_EQ(rest_length, 3u);
}

// Line and separator framing.
struct framing_case {
  const char* name;
  std::string text;
  uint32_t flags;
  bool resumable;
  int result;
  size_t length;
  size_t reports;
};

void PrintTo(const framing_case& c, std::ostream* os) { *os << c.name; }

class parser_framing : public ::testing::TestWithParam<framing_case> {};

TEST_P(parser_framing, result_and_length) {
  const framing_case& c = GetParam();
  const parse_outcome out = parse_whole(c.text, 0, c.flags, c.resumable);
  EXPECT_EQ(out.result, c.result);
  EXPECT_EQ(out.length, c.length);
  EXPECT_EQ(out.reports.size(), c.reports);
}

INSTANTIATE_TEST_SUITE_P(
    modes, parser_framing,
    ::testing::Values(framing_case{"line_crlf_consumed", "{}\r\nX", 1, false, 0, 4, 1},
                      framing_case{"line_lf_consumed", "[1]\n[2]", 1, false, 0, 4, 1},
                      framing_case{"line_cr_alone", "[1]\r[2]", 1, false, 0, 4, 1},
                      framing_case{"line_end_not_directly_after", "[1] \n", 1, false, 0, 3, 1},
                      framing_case{"lone_lf_is_empty_text", "\n{}", 1, false, 0, 1, 0},
                      framing_case{"lone_crlf_is_empty_text", "\r\n{}", 1, true, 0, 2, 0},
                      framing_case{"scalar_ended_by_line_end", "12\n", 1, true, 0, 3, 1},
                      framing_case{"line_end_inside_brackets", "[1,\n2]", 1, false, -9, 3, 0},
                      framing_case{"line_end_inside_object", "{\"a\"\r:1}", 1, false, -9, 4, 0},
                      framing_case{"line_end_is_space_otherwise", "[1,\n2]", 0, false, 0, 6, 1},
                      framing_case{"separator_skips_garbage", "abc\x1e[]", 2, false, 0, 6, 1},
                      framing_case{"separator_missing", "abc[]", 2, true, -1, 5, 0},
                      framing_case{"separator_and_line", "x\x1e{}\n", 3, false, 0, 5, 1},
                      framing_case{"empty_buffer", "", 0, true, 0, 0, 0}));

TEST(parser_framing, separator_seen_stays_until_reset) {
  const std::string text = "zz\x1e[1,";
  minijson_parse_context_t context{};
  const minijson_parser_t request{nullptr, nullptr, 0, MINIJSON_PARSE_SEPARATOR, &context};
  size_t length = 2;
  EXPECT_EQ(minijson_parse(text.data(), &length, &request), -1);
  EXPECT_EQ(context.position, 2u);
  length = text.size();
  EXPECT_EQ(minijson_parse(text.data(), &length, &request), -1);
  EXPECT_NE(context.flags & MINIJSON_SEPARATOR_SEEN, 0u);
  const std::string more = text + "2]";
  length = more.size();
  EXPECT_EQ(minijson_parse(more.data(), &length, &request), 0);
  EXPECT_NE(context.flags & MINIJSON_SEPARATOR_SEEN, 0u);
}

// Every error code with the offset it reports.
struct error_case {
  const char* name;
  std::string text;
  bool resumable;
  int result;
  size_t offset;
};

void PrintTo(const error_case& c, std::ostream* os) { *os << c.name; }

class parser_errors : public ::testing::TestWithParam<error_case> {};

TEST_P(parser_errors, code_and_offset) {
  const error_case& c = GetParam();
  const parse_outcome out = parse_whole(c.text, 1, 0, c.resumable);
  EXPECT_EQ(out.result, c.result);
  EXPECT_EQ(out.length, c.offset);
}

INSTANTIATE_TEST_SUITE_P(
    codes, parser_errors,
    ::testing::Values(error_case{"leading_comma", "[,1]", false, -9, 1},
                      error_case{"double_comma", "[1,,2]", false, -9, 3},
                      error_case{"missing_comma", "[1 2]", false, -9, 3},
                      error_case{"mismatched_bracket", "[1}", false, -9, 2},
                      error_case{"close_at_depth_zero", "]", false, -9, 0},
                      error_case{"value_after_top_level_scalar", "1 2", false, -9, 2},
                      error_case{"colon_in_array", "[1:2]", false, -9, 2},
                      error_case{"missing_colon", "{\"a\" 1}", false, -9, 5},
                      error_case{"missing_value", "{\"a\":}", false, -9, 5},
                      error_case{"bracket_after_name", "{\"a\"[", false, -9, 4},
                      error_case{"key_not_string", "{1:2}", false, -12, 1},
                      error_case{"key_bad_escape", "{\"a\\x\":1}", false, -12, 4},
                      error_case{"key_control_byte", "{\"a\x01\":1}", false, -12, 3},
                      error_case{"key_unterminated", "{\"abc", false, -12, 5},
                      error_case{"partial_literal", "[tru]", false, -10, 1},
                      error_case{"misspelt_literal_resumable", "[trux]", true, -10, 1},
                      error_case{"bare_word", "[x]", false, -10, 1},
                      error_case{"value_control_byte", "[\"a\x1f\"]", false, -10, 3},
                      error_case{"value_bad_escape", "[\"\\x\"]", false, -10, 3},
                      error_case{"value_short_unicode_escape", "[\"\\u12g4\"]", false, -10, 6},
                      error_case{"value_unterminated", "[\"abc", false, -10, 5},
                      error_case{"value_vertical_tab", "[\x0b]", false, -10, 1},
                      error_case{"exponent_without_digits", "[1e]", false, -10, 1},
                      error_case{"exponent_at_end", "1e", false, -10, 0},
                      error_case{"exponent_letter_of_other_base", "[017e1]", false, -10, 1},
                      error_case{"binary_exponent_in_decimal", "[1p2]", false, -10, 1},
                      error_case{"sign_alone", "[-]", false, -10, 1},
                      error_case{"point_alone", "[.]", false, -10, 1},
                      error_case{"hex_without_digits", "[0x]", false, -10, 1},
                      error_case{"integer_beyond_64_bits", "[18446744073709551616]", false, -10, 1},
                      error_case{"signed_integer_beyond_64_bits", "[-18446744073709551616]", false,
                                 -9, 2},
                      error_case{"non_octal_digit", "[08]", false, -9, 2},
                      error_case{"seventeen_levels", std::string(17, '['), false, -15, 16}));

TEST(parser_errors, sixteen_levels_are_accepted) {
  const std::string text = std::string(16, '[') + std::string(16, ']');
  EXPECT_EQ(parse_whole(text).result, 0);
  EXPECT_EQ(parse_whole(std::string(16, '['), 0, 0, true).result, -1);
}

TEST(parser_errors, wrong_calls) {
  const minijson_parser_t plain{nullptr, nullptr, 0, 0, nullptr};
  EXPECT_EQ(minijson_parse("[]", nullptr, &plain), -14);
  size_t length = 2;
  EXPECT_EQ(minijson_parse(nullptr, &length, &plain), -14);
  EXPECT_EQ(minijson_parse("[]", &length, nullptr), -14);
  length = 0;
  EXPECT_EQ(minijson_parse(nullptr, &length, &plain), 0);

  minijson_parse_context_t context{};
  const minijson_parser_t resumable{nullptr, nullptr, 0, 0, &context};
  length = 3;
  ASSERT_EQ(minijson_parse("[1,", &length, &resumable), -1);
  length = 2;
  EXPECT_EQ(minijson_parse("[1,", &length, &resumable), -14);  // position beyond the length

  minijson_parse_context_t broken{};
  broken.mode = MINIJSON_MODE_VALUE;
  broken.depth = 40;
  const minijson_parser_t corrupt{nullptr, nullptr, 0, 0, &broken};
  length = 2;
  EXPECT_EQ(minijson_parse("[]", &length, &corrupt), -14);
}

TEST(parser_errors, texts_of_the_codes) {
  EXPECT_STREQ(minijson_error_text(-1), "unfinished");
  EXPECT_STREQ(minijson_error_text(-9), "illegal format");
  EXPECT_STREQ(minijson_error_text(-10), "wrong value");
  EXPECT_STREQ(minijson_error_text(-12), "wrong key");
  EXPECT_STREQ(minijson_error_text(-14), "wrong call");
  EXPECT_STREQ(minijson_error_text(-15), "too deep");
  for (int code : {0, -2, -11, -13, -16, 5}) EXPECT_EQ(minijson_error_text(code), nullptr) << code;
}

// The number syntax.
struct number_case {
  const char* text;
  uint32_t type;
  double value;  // integers compared exactly through this double as well
};

class parser_numbers : public ::testing::TestWithParam<number_case> {};

TEST_P(parser_numbers, value_and_type) {
  const number_case& c = GetParam();
  minijson_parse_data_t data{};
  size_t length = std::string(c.text).size();
  const minijson_parser_t request{nullptr, &data, 0, 0, nullptr};
  ASSERT_EQ(minijson_parse(c.text, &length, &request), 0) << c.text;
  EXPECT_EQ(length, std::string(c.text).size());
  ASSERT_EQ(data.type, c.type) << c.text;
  if (c.type == MINIJSON_INTEGER)
    EXPECT_EQ(static_cast<double>(data.value.integer), c.value) << c.text;
  else
    EXPECT_EQ(data.value.real, c.value) << c.text;
}

INSTANTIATE_TEST_SUITE_P(
    syntax, parser_numbers,
    ::testing::Values(
        number_case{"0", MINIJSON_INTEGER, 0}, number_case{"-0", MINIJSON_INTEGER, 0},
        number_case{"+7", MINIJSON_INTEGER, 7}, number_case{"0x1F", MINIJSON_INTEGER, 31},
        number_case{"-0Xff", MINIJSON_INTEGER, -255}, number_case{"017", MINIJSON_INTEGER, 15},
        number_case{"9223372036854775807", MINIJSON_INTEGER, 9223372036854775807.0},
        number_case{"-9223372036854775808", MINIJSON_INTEGER, -9223372036854775808.0},
        number_case{"0.5", MINIJSON_REAL, 0.5}, number_case{".5", MINIJSON_REAL, 0.5},
        number_case{"-.5", MINIJSON_REAL, -0.5}, number_case{"1.", MINIJSON_REAL, 1.0},
        number_case{"1e3", MINIJSON_REAL, 1000.0}, number_case{"1E+3", MINIJSON_REAL, 1000.0},
        number_case{"25E-1", MINIJSON_REAL, 2.5}, number_case{"0e5", MINIJSON_REAL, 0.0},
        number_case{"0x1.8p1", MINIJSON_REAL, 3.0}, number_case{"0x.8", MINIJSON_REAL, 0.5},
        number_case{"0x10p-2", MINIJSON_REAL, 4.0}, number_case{"01.4", MINIJSON_REAL, 1.5},
        number_case{"2.53E2", MINIJSON_REAL, 253.0}, number_case{"1.5E1", MINIJSON_REAL, 15.0},
        number_case{"0.1", MINIJSON_REAL, 0.1}, number_case{"6.126E3", MINIJSON_REAL, 6126.0},
        number_case{"1e400", MINIJSON_REAL, INFINITY}, number_case{"1e-400", MINIJSON_REAL, 0.0},
        number_case{"0.000000000000000000000000000001", MINIJSON_REAL, 1e-30},
        number_case{"3.33333333333333303727386009995825588703155517578125E-1", MINIJSON_REAL,
                    1.0 / 3.0},
        // Integers of 2^63 and more become reals.
        number_case{"9223372036854775808", MINIJSON_REAL, 9223372036854775808.0},
        number_case{"18446744073709551615", MINIJSON_REAL, 18446744073709551615.0},
        number_case{"0xffffffffffffffff", MINIJSON_REAL, 18446744073709551615.0},
        number_case{"-9223372036854775809", MINIJSON_REAL, -9223372036854775809.0}));

TEST(parser_numbers, large_integer_does_not_keep_the_previous_value) {
  const parse_outcome out = parse_whole("[5,9223372036854775808]", 1);
  ASSERT_EQ(out.result, 0);
  EXPECT_EQ(out.reports,
            (reports{"kind 1 type 8 value 5 length 1 count 0",
                     "kind 1 type 16 value 9.2233720368547758e+18 length 19 count 0"}));
}

TEST(parser_numbers, number_at_buffer_end_waits_when_resumable) {
  for (const char* text : {"1", "-", "1e", "1e-", "0x", "12.5", "[1"}) {
    EXPECT_EQ(parse_whole(text, 0, 0, true).result, -1) << text;
  }
  EXPECT_EQ(parse_whole("1", 0, 0, false).result, 0);
}

// Plain decimals (no exponent, a few digits) take a quicker road than other
// numbers; with "e0" after them the same number takes the general one. Both
// must give the same type, value and end, also around the digit counts where
// the quick road hands over (18 integer digits, 19 digits in all).
TEST(parser_numbers, plain_decimals_read_as_with_an_exponent) {
  std::mt19937_64 random(17);
  const auto digits = [&random](size_t count, bool leading_nonzero) {
    std::string out;
    for (size_t i = 0; i < count; ++i)
      out +=
          static_cast<char>('0' + (i == 0 && leading_nonzero ? 1 + random() % 9 : random() % 10));
    return out;
  };
  std::vector<std::string> texts = {"0.0",
                                    "-0.0",
                                    "0.5",
                                    "-0.000142857",
                                    "50.8",
                                    "0.1",
                                    "123456789012345678.9",
                                    "1234567890123456789.0",
                                    "0.9999999999999999999",
                                    "9007199254740993.0"};
  for (size_t whole = 0; whole <= 19; ++whole) {  // 20 would overflow the integer part
    for (size_t fraction = 1; whole + fraction <= 21; ++fraction) {
      for (int sign = 0; sign < 2; ++sign) {
        const std::string integer_part = whole == 0 ? "0" : digits(whole, true);
        texts.push_back((sign ? "-" : "") + integer_part + "." + digits(fraction, false));
      }
    }
  }
  const auto parse = [](const std::string& text, minijson_parse_data_t* data) {
    size_t length = text.size();
    const minijson_parser_t request{nullptr, data, 0, 0, nullptr};
    const int result = minijson_parse(text.data(), &length, &request);
    return result == 0 ? static_cast<int64_t>(length) : -1;
  };
  for (const std::string& text : texts) {
    minijson_parse_data_t plain{};
    minijson_parse_data_t general{};
    ASSERT_EQ(parse(text, &plain), static_cast<int64_t>(text.size())) << text;
    ASSERT_EQ(parse(text + "e0", &general), static_cast<int64_t>(text.size() + 2)) << text;
    EXPECT_EQ(plain.type, MINIJSON_REAL) << text;
    EXPECT_EQ(plain.length, text.size()) << text;
    EXPECT_EQ(plain.value.bits, general.value.bits) << text;
  }
  // Integers: the exact value, up to the 2^63 where they become reals.
  for (size_t count = 1; count <= 19; ++count) {
    for (int sign = 0; sign < 2; ++sign) {
      const std::string text = (sign ? "-" : "") + digits(count, true);
      minijson_parse_data_t data{};
      ASSERT_EQ(parse(text, &data), static_cast<int64_t>(text.size())) << text;
      ASSERT_EQ(data.type, MINIJSON_INTEGER) << text;
      EXPECT_EQ(data.value.integer, std::stoll(text)) << text;
    }
  }
}

// A plain number ends where the general scanner ends it: the byte after it
// is judged as the next token.
TEST(parser_numbers, plain_numbers_end_where_other_numbers_do) {
  struct row {
    const char* text;
    int result;
    size_t length;
  };
  const row rows[] = {{"[12x]", MINIJSON_ILLEGAL_FORMAT, 3},
                      {"[1.5x]", MINIJSON_ILLEGAL_FORMAT, 4},
                      {"[08]", MINIJSON_ILLEGAL_FORMAT, 2},
                      {"[1.5.5]", MINIJSON_ILLEGAL_FORMAT, 4},
                      {"[0.5p1]", MINIJSON_WRONG_VALUE, 1},
                      {"[1.5E1]", 0, 7},
                      {"[-0]", 0, 4},
                      {"[-.5]", 0, 5},
                      {"[1.]", 0, 4},
                      {"[1.5 ,2.25]", 0, 11}};
  for (const row& r : rows) {
    const parse_outcome out = parse_whole(r.text, 1);
    EXPECT_EQ(out.result, r.result) << r.text;
    EXPECT_EQ(out.length, r.length) << r.text;
  }
}

// Strings: raw and decoded lengths.
TEST(parser_strings, raw_and_decoded_lengths) {
  struct row {
    const char* text;
    size_t raw;
    size_t decoded;
  };
  const row rows[] = {{"\"\"", 0, 0},
                      {"\"abc\"", 3, 3},
                      {"\"a\\nb\"", 4, 3},
                      {"\"\\u0041\"", 6, 1},
                      {"\"\\u00e9\"", 6, 2},
                      {"\"\\u20AC\"", 6, 3},
                      {"\"\\\"\\\\\\/\\b\\f\\r\\t\"", 14, 7},
                      {"\"\xc3\xa9\x7f\"", 3, 3}};
  for (const row& r : rows) {
    minijson_parse_data_t data{};
    size_t length = std::string(r.text).size();
    const minijson_parser_t request{nullptr, &data, 0, 0, nullptr};
    ASSERT_EQ(minijson_parse(r.text, &length, &request), 0) << r.text;
    EXPECT_EQ(data.type, MINIJSON_STRING);
    EXPECT_EQ(data.value.text, r.text + 1);
    EXPECT_EQ(data.length, r.raw) << r.text;
    EXPECT_EQ(data.count, r.decoded) << r.text;
  }
}

// A \u escape takes the four bytes after it as hexadecimal digits of
// either case; a neighbour of a digit range is none.
TEST(parser_strings, unicode_escape_digits) {
  for (const char digit : std::string("09AFaf")) {
    const std::string text = std::string("[\"\\u004") + digit + "\"]";
    const parse_outcome out = parse_whole(text, 1);
    EXPECT_EQ(out.result, 0) << text;
    EXPECT_EQ(out.reports.size(), 1u) << text;
  }
  for (const char neighbour : std::string("/:@G`g")) {
    const std::string text = std::string("[\"\\u004") + neighbour + "\"]";
    const parse_outcome out = parse_whole(text, 1);
    EXPECT_EQ(out.result, MINIJSON_WRONG_VALUE) << text;
    EXPECT_EQ(out.length, 7u) << text;
  }
}

TEST(parser_strings, key_lengths) {
  const parse_outcome out = parse_whole("{\"k\\u00e9y\":\"v\"}", 1);
  ASSERT_EQ(out.result, 0);
  EXPECT_EQ(out.reports, (reports{"kind 2 type 4 key k\\u00e9y (4) text v length 1 count 1"}));
}

}  // namespace
