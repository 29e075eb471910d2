#include <gtest/gtest.h>

#include <string>

#include "codec/minijson_text.h"

namespace {

constexpr size_t failed = static_cast<size_t>(-1);

struct unescape_case {
  const char* name;
  std::string source;
  std::string strict;  // "" with strict_fails
  bool strict_fails;
  std::string lenient;
};

void PrintTo(const unescape_case& c, std::ostream* os) { *os << c.name; }

class unescaping : public ::testing::TestWithParam<unescape_case> {};

TEST_P(unescaping, strict_and_lenient) {
  const unescape_case& c = GetParam();
  std::string out(c.source.size() + 1, '?');
  const size_t strict = minijson_unescape(out.data(), c.source.data(), c.source.size(), 0);
  if (c.strict_fails) {
    EXPECT_EQ(strict, failed);
  } else {
    ASSERT_NE(strict, failed);
    EXPECT_EQ(out.substr(0, strict), c.strict);
  }
  // Lenient mode, in place as the console program does it.
  std::string in_place = c.source;
  const size_t lenient = minijson_unescape(in_place.data(), in_place.data(), in_place.size(), 1);
  EXPECT_EQ(in_place.substr(0, lenient), c.lenient);
}

INSTANTIATE_TEST_SUITE_P(
    cases, unescaping,
    ::testing::Values(
        unescape_case{"plain", "abc", "abc", false, "abc"},
        unescape_case{"empty", "", "", false, ""},
        unescape_case{"line_feed", "a\\nb", "a\nb", false, "a\nb"},
        unescape_case{"carriage_return", "a\\rb", "a\rb", false, "a\rb"},
        unescape_case{"every_short_escape", "\\\"\\\\\\/\\b\\f\\n\\r\\t", "\"\\/\b\f\n\r\t", false,
                      "\"\\/\b\f\n\r\t"},
        unescape_case{"unicode_one_byte", "\\u0041z", "Az", false, "Az"},
        unescape_case{"unicode_two_bytes", "\\u00e9z", "\xc3\xa9z", false, "\xc3\xa9z"},
        unescape_case{"unicode_three_bytes", "\\u20ACz", "\xe2\x82\xacz", false, "\xe2\x82\xacz"},
        unescape_case{"surrogate_not_combined", "\\ud83d\\ude00", "\xed\xa0\xbd\xed\xb8\x80", false,
                      "\xed\xa0\xbd\xed\xb8\x80"},
        unescape_case{"unicode_nul", "\\u0000", std::string(1, '\0'), false, std::string(1, '\0')},
        unescape_case{"short_unicode_at_end", "x\\u12", "", true, "x\xff"},
        unescape_case{"short_unicode_then_text", "\\u1g", "", true, "\xffg"},
        unescape_case{"unknown_escape", "a\\qb", "", true,
                      "a\xff"
                      "b"},
        unescape_case{"backslash_at_end", "ab\\", "ab", false, "ab"},
        unescape_case{"raw_quote", "a\"b", "", true,
                      "a\xff"
                      "b"},
        unescape_case{"raw_control_byte",
                      "a\x01"
                      "b",
                      "", true,
                      "a\xff"
                      "b"},
        unescape_case{"utf8_passes", "\xc3\xa9\x7f", "\xc3\xa9\x7f", false, "\xc3\xa9\x7f"}));

// "\u004" and one digit is the character 0x40 plus the digit's value.
TEST(unicode_escapes, digits_of_either_case_and_their_neighbours) {
  const std::string digits = "09AFaf";
  const std::string characters = "@IJOJO";
  for (size_t i = 0; i < digits.size(); ++i) {
    const std::string source = std::string("\\u004") + digits[i];
    char out[8];
    ASSERT_EQ(minijson_unescape(out, source.data(), source.size(), 0), 1u) << source;
    EXPECT_EQ(out[0], characters[i]) << source;
  }
  for (const char neighbour : std::string("/:@G`g")) {
    const std::string source = std::string("\\u004") + neighbour;
    char out[8];
    EXPECT_EQ(minijson_unescape(out, source.data(), source.size(), 0), failed) << source;
    const size_t lenient = minijson_unescape(out, source.data(), source.size(), 1);
    EXPECT_EQ(std::string(out, lenient), std::string("\xff") + neighbour) << source;
  }
}

struct base64_case {
  const char* name;
  std::string source;
  int result;
  std::string bytes;
  size_t stop;
};

void PrintTo(const base64_case& c, std::ostream* os) { *os << c.name; }

class base64_decoding : public ::testing::TestWithParam<base64_case> {};

TEST_P(base64_decoding, result_bytes_and_stop) {
  const base64_case& c = GetParam();
  unsigned char out[64] = {};
  size_t count = 99;
  size_t length = c.source.size();
  EXPECT_EQ(minijson_base64_decode(out, &count, c.source.data(), &length), c.result);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(out), count), c.bytes);
  EXPECT_EQ(length, c.stop);
}

INSTANTIATE_TEST_SUITE_P(
    cases, base64_decoding,
    ::testing::Values(
        base64_case{"empty", "", 0, "", 0}, base64_case{"one_group", "TWFu", 0, "Man", 4},
        base64_case{"two_groups", "TWFuTWFu", 0, "ManMan", 8},
        base64_case{"one_pad", "TWE=", 0, "Ma", 4}, base64_case{"two_pads", "TQ==", 0, "M", 4},
        base64_case{"nonzero_bits_before_pads", "TW==", -1, "M", 2},
        base64_case{"unpadded_two", "TWE", -2, "Ma", 3},
        base64_case{"unpadded_one", "TQ", -2, "M", 2},
        base64_case{"one_of_two_pads", "TQ=", -2, "M", 3},
        base64_case{"pad_run", "T===", -1, "", 1}, base64_case{"single_character", "T", -1, "", 1},
        base64_case{"pad_after_full_group", "TWFu=", -1, "Man", 4},
        base64_case{"text_after_padding", "TWE=TWFu", -1, "Ma", 4},
        base64_case{"too_many_pads", "TQ===", -1, "M", 4},
        base64_case{"leftover_bits", "TWF=", -1, "Ma", 3},
        base64_case{"space", "TW Fu", -1, "M", 2}, base64_case{"newline", "TWFu\n", -1, "Man", 4},
        base64_case{"url_alphabet_rejected", "TW-_", -1, "M", 2},
        base64_case{"all_alphabet", "+/+/", 0, "\xfb\xff\xbf", 4}));

// The bytes next to each range of the alphabet, and a byte with the high
// bit set over an alphabet character, are no base64.
TEST(base64_alphabet, neighbours_are_rejected) {
  for (const char neighbour : std::string("@[`{*,.:\xc1\x00", 10)) {
    const std::string source = std::string("TW") + neighbour + "u";
    unsigned char out[8];
    size_t count = 99;
    size_t length = source.size();
    EXPECT_EQ(minijson_base64_decode(out, &count, source.data(), &length), -1) << int{neighbour};
    EXPECT_EQ(count, 1u) << int{neighbour};
    EXPECT_EQ(length, 2u) << int{neighbour};
  }
}

}  // namespace
