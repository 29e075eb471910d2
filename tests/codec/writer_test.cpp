#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <tuple>
#include <vector>

#include "codec/minijson_parser.h"
#include "codec/minijson_writer.h"
#include "tests/codec/recording_sink.hpp"

namespace {

struct text_case {
  const char* name;
  minijson_value_t value;
  std::string expected;
};

void PrintTo(const text_case& c, std::ostream* os) { *os << c.name; }

class written_as : public ::testing::TestWithParam<text_case> {};

TEST_P(written_as, exact_bytes) {
  const text_case& c = GetParam();
  const write_outcome out = write_unbuffered(c.value);
  EXPECT_EQ(out.result, 0);
  EXPECT_EQ(out.text, c.expected);
  EXPECT_EQ(out.sink.end_calls, 1);
  EXPECT_EQ(out.sink.abort_calls, 0);
}

const char nul_inside[] = {'a', '\0', 'b'};
const char controls[] = {'\x01', '\x1f', '\x7f', '\xc3', '\xa9', '\0'};
const unsigned char bytes17[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 255};
const char raw_json[] = "{\"x\":[1,2]}";

INSTANTIATE_TEST_SUITE_P(
    scalars, written_as,
    ::testing::Values(
        text_case{"integer_zero", minijson_integer(0), "0"},
        text_case{"integer_negative", minijson_integer(-42), "-42"},
        text_case{"integer_most_negative", minijson_integer(INT64_MIN), "-9223372036854775808"},
        text_case{"integer_largest", minijson_integer(INT64_MAX), "9223372036854775807"},
        text_case{"counted_integer", minijson_value_t{-MINIJSON_TYPE_INTEGER, 7, {.integer = 12}},
                  "12"},
        text_case{"hex_zero", minijson_hex(0), "0x0"},
        text_case{"hex_255", minijson_hex(255), "0xff"},
        text_case{"hex_all_bits", minijson_hex(UINT64_MAX), "0xffffffffffffffff"},
        text_case{"bool_false", minijson_bool(0), "false"},
        text_case{"bool_true", minijson_bool(5), "true"},
        text_case{"bool_negative_is_null", minijson_bool(-1), "null"},
        text_case{"null", minijson_null(), "null"},
        text_case{"string_plain", minijson_string("CAN"), "\"CAN\""},
        text_case{"string_empty", minijson_string(""), "\"\""},
        text_case{"string_short_escapes", minijson_string("\b\t\n\f\r\"\\/"),
                  "\"\\b\\t\\n\\f\\r\\\"\\\\/\""},
        text_case{"string_controls_and_utf8", minijson_string(controls),
                  "\"\\u0001\\u001f\x7f\xc3\xa9\""},
        text_case{"counted_string_keeps_nul", minijson_string_n(nul_inside, 3), "\"a\\u0000b\""},
        text_case{"uncounted_string_stops_at_nul", minijson_string(nul_inside), "\"a\""},
        text_case{"counted_string_shorter_than_text", minijson_string_n("abcdef", 2), "\"ab\""},
        text_case{"raw_text", minijson_raw(raw_json, 11), "{\"x\":[1,2]}"},
        text_case{"binary_empty", minijson_binary(bytes17, 0), "\"\""},
        text_case{"binary_one_byte", minijson_binary("M", 1), "\"TQ==\""},
        text_case{"binary_two_bytes", minijson_binary("Ma", 2), "\"TWE=\""},
        text_case{"binary_three_bytes", minijson_binary("Man", 3), "\"TWFu\""},
        text_case{"binary_seventeen_bytes", minijson_binary(bytes17, 17),
                  "\"AAECAwQFBgcICQoLDA0OD/8=\""},
        text_case{"end_marker_root", minijson_end(), ""}));

// The real rendering: examples, signs, zeros, precision and extremes.
INSTANTIATE_TEST_SUITE_P(
    reals, written_as,
    ::testing::Values(text_case{"one", minijson_real(1.0), "1E0"},
                      text_case{"r150", minijson_real(150.0), "1.5E2"},
                      text_case{"r25", minijson_real(25.0), "2.5E1"},
                      text_case{"r6126", minijson_real(6126.0), "6.126E3"},
                      text_case{"half", minijson_real(0.5), "5E-1"},
                      text_case{"negative", minijson_real(-0.0025), "-2.5E-3"},
                      text_case{"one_point_one", minijson_real(1.1), "1.1E0"},
                      text_case{"third", minijson_real(1.0 / 3.0),
                                "3.33333333333333303727386009995825588703155517578125E-1"},
                      text_case{"nines_round_up", minijson_real(2.9999999), "3E0"},
                      text_case{"leading_nine_rounds_to_ten", minijson_real(9.9999999), "1E1"},
                      text_case{"zeros_end_mantissa", minijson_real(1.0000001), "1E0"},
                      text_case{"zero", minijson_real(0.0), "0.0"},
                      text_case{"negative_zero", minijson_real(-0.0), "0.0"},
                      text_case{"physical_253", minijson_real(253.0), "2.53E2"},
                      text_case{"fifteen", minijson_real(15.0), "1.5E1"},
                      text_case{"below_one_normalised_by_rounding", minijson_real(1e23), "1E23"},
                      // A counted real's count asks for at least that many fraction
                      // digits; it never cuts digits, so the value stays the same.
                      text_case{"counted_real_pads",
                                minijson_value_t{-MINIJSON_TYPE_REAL, 3, {.real = 1.0}}, "1.000E0"},
                      text_case{"counted_real_pads_fraction",
                                minijson_value_t{-MINIJSON_TYPE_REAL, 4, {.real = 0.25}},
                                "2.5000E-1"},
                      text_case{"counted_real_keeps_longer_mantissa",
                                minijson_value_t{-MINIJSON_TYPE_REAL, 1, {.real = 0.36}}, "3.6E-1"},
                      text_case{"counted_real_precision_zero",
                                minijson_value_t{-MINIJSON_TYPE_REAL, 0, {.real = 150.0}}, "1.5E2"},
                      text_case{"counted_real_zero",
                                minijson_value_t{-MINIJSON_TYPE_REAL, 3, {.real = 0.0}}, "0.0"},
                      text_case{"counted_real_precision_capped",
                                minijson_value_t{-MINIJSON_TYPE_REAL, 1000, {.real = 2.0}},
                                "2." + std::string(52, '0') + "E0"},
                      text_case{"counted_negative_real",
                                minijson_value_t{-MINIJSON_TYPE_REAL, 2, {.real = -2.0}},
                                "-2.00E0"}));

// Containers, end markers and generators.
const minijson_value_t just_end[] = {minijson_end()};
const minijson_value_t two_then_end[] = {minijson_integer(1), minijson_string("x"), minijson_end(),
                                         minijson_integer(99)};
const minijson_member_t two_members[] = {minijson_member("a", minijson_integer(1)),
                                         minijson_member("b\"", minijson_null()),
                                         minijson_member_end()};
const minijson_value_t nested_elements[] = {minijson_array_n(nullptr, 0),
                                            minijson_object(two_members + 2),
                                            minijson_object_n(two_members, 2)};

INSTANTIATE_TEST_SUITE_P(
    containers, written_as,
    ::testing::Values(
        text_case{"uncounted_array_end_first", minijson_array(just_end), "[]"},
        text_case{"uncounted_array_stops_at_end", minijson_array(two_then_end), "[1,\"x\"]"},
        text_case{"counted_array_empty_without_elements", minijson_array_n(nullptr, 0), "[]"},
        text_case{"counted_array", minijson_array_n(two_then_end, 2), "[1,\"x\"]"},
        text_case{"uncounted_object", minijson_object(two_members), "{\"a\":1,\"b\\\"\":null}"},
        text_case{"counted_object_takes_count", minijson_object_n(two_members, 1), "{\"a\":1}"},
        text_case{"empty_uncounted_object", minijson_object(two_members + 2), "{}"},
        text_case{"nested", minijson_array_n(nested_elements, 3),
                  "[[],{},{\"a\":1,\"b\\\"\":null}]"}));

// A generator that hands out `argument` copies of an object, then null.
struct generator_state {
  uint64_t produced = 0;
  std::vector<uint64_t> arguments;
  std::vector<void*> contexts;
};
generator_state* current_generator = nullptr;
const minijson_member_t generated_members[] = {minijson_member("n", minijson_integer(7)),
                                               minijson_member_end()};
minijson_value_t generated_item = minijson_object(generated_members);

const minijson_value_t* repeat(void* context, uint64_t argument) {
  current_generator->arguments.push_back(argument);
  current_generator->contexts.push_back(context);
  if (current_generator->produced == argument) return nullptr;
  ++current_generator->produced;
  return &generated_item;
}

std::string generate(const minijson_value_t& root, int* result, generator_state* state) {
  current_generator = state;
  const write_outcome out = write_unbuffered(root);
  *result = out.result;
  current_generator = nullptr;
  return out.text;
}

TEST(writer_generator, stands_for_zero_or_more_elements) {
  struct row {
    std::vector<minijson_value_t> elements;
    const char* expected;
  };
  const minijson_value_t none = minijson_generated(repeat, 0);
  const minijson_value_t two = minijson_generated(repeat, 2);
  const std::vector<row> rows = {
      {{none}, "[]"},
      {{two}, "[{\"n\":7},{\"n\":7}]"},
      {{minijson_integer(1), none, minijson_integer(2)}, "[1,2]"},
      {{none, minijson_integer(2)}, "[2]"},
      {{minijson_integer(1), two}, "[1,{\"n\":7},{\"n\":7}]"},
  };
  for (const row& r : rows) {
    generator_state state;
    int result = -1;
    const minijson_value_t array =
        minijson_array_n(r.elements.data(), static_cast<uint32_t>(r.elements.size()));
    EXPECT_EQ(generate(array, &result, &state), r.expected);
    EXPECT_EQ(result, 0);
  }
}

TEST(writer_generator, gets_the_count_word_and_the_context) {
  generator_state state;
  minijson_value_t element = minijson_generated(repeat, 2);
  const minijson_value_t array = minijson_array_n(&element, 1);
  recording_sink sink;
  current_generator = &state;
  EXPECT_EQ(minijson_write(&sink, recording_sink::sink, 0, &array), 0);
  current_generator = nullptr;
  ASSERT_EQ(state.arguments.size(), 3u);
  EXPECT_EQ(state.arguments[0], 2u);
  EXPECT_EQ(state.contexts[0], &sink);
}

TEST(writer_generator, as_a_member_value_must_give_exactly_one_value) {
  for (uint64_t produced : {0u, 1u, 2u}) {
    generator_state state;
    const minijson_member_t members[] = {
        minijson_member("g", minijson_generated(repeat, produced))};
    int result = 0;
    const std::string text = generate(minijson_object_n(members, 1), &result, &state);
    if (produced == 1) {
      EXPECT_EQ(result, 0);
      EXPECT_EQ(text, "{\"g\":{\"n\":7}}");
    } else {
      EXPECT_EQ(result, MINIJSON_ILLEGAL_FORMAT) << produced;
    }
  }
}

TEST(writer_framing, flags_add_separator_and_line_feed) {
  const minijson_member_t none[] = {minijson_member_end()};
  const minijson_value_t root = minijson_object(none);
  EXPECT_EQ(write_unbuffered(root, 0).text, "{}");
  EXPECT_EQ(write_unbuffered(root, 1).text, "{}\n");
  EXPECT_EQ(write_unbuffered(root, 2).text, "\x1e{}\n");
  EXPECT_EQ(write_unbuffered(root, 3).text, "\x1e{}\n");
  const write_outcome end_only = write_unbuffered(minijson_end(), 1);
  EXPECT_EQ(end_only.result, 0);
  EXPECT_EQ(end_only.text, "\n");
}

TEST(writer_framing, request_of_the_dimming_program) {
  // The same tree shape as the signal requests: counted object, uncounted
  // array of one generator element and the end marker.
  static const minijson_member_t code[] = {minijson_member("code", minijson_integer(1))};
  static const minijson_member_t item[] = {
      minijson_member("identifier", minijson_object_n(code, 1))};
  static const minijson_value_t item_value = minijson_object_n(item, 1);
  struct one_item {
    static const minijson_value_t* next(void*, uint64_t argument) {
      static uint64_t calls = 0;
      return calls++ < argument ? &item_value : nullptr;
    }
  };
  const minijson_value_t data[] = {minijson_generated(one_item::next, 1), minijson_end()};
  const minijson_member_t request[] = {minijson_member("category", minijson_string("CAN")),
                                       minijson_member("case", minijson_string("get")),
                                       minijson_member("sort", minijson_string("signal")),
                                       minijson_member("data", minijson_array(data))};
  const write_outcome out = write_unbuffered(minijson_object_n(request, 4), MINIJSON_WRITE_LINE);
  EXPECT_EQ(out.result, 0);
  EXPECT_EQ(
      out.text,
      "{\"category\":\"CAN\",\"case\":\"get\",\"sort\":\"signal\",\"data\":[{\"identifier\":{\"code\":1}}]}\n");
}

TEST(writer_pieces, unescaped_runs_and_numbers_come_whole) {
  const write_outcome out = write_unbuffered(minijson_string("abc\ndef"));
  EXPECT_EQ(out.sink.pieces, (std::vector<std::string>{"\"", "abc", "\\n", "def", "\""}));
  const write_outcome real = write_unbuffered(minijson_real(-1234.5));
  EXPECT_EQ(real.sink.pieces, (std::vector<std::string>{"-1.2345", "E3"}));
  const write_outcome integer = write_unbuffered(minijson_integer(-1234));
  EXPECT_EQ(integer.sink.pieces, (std::vector<std::string>{"-1234"}));
}

TEST(writer_pieces, base64_comes_in_sixteen_character_chunks) {
  unsigned char bytes[20] = {};
  const write_outcome out = write_unbuffered(minijson_binary(bytes, 20));
  ASSERT_EQ(out.sink.pieces.size(), 4u);
  EXPECT_EQ(out.sink.pieces[1].size(), 16u);
  EXPECT_EQ(out.sink.pieces[2], "AAAAAAAAAAA=");
  EXPECT_EQ(out.text, "\"AAAAAAAAAAAAAAAAAAAAAAAAAAA=\"");
}

// Failures: the result, the text delivered before the failure, one abort call.
struct failure_case {
  const char* name;
  minijson_value_t value;
  int result;
  std::string delivered;
};

void PrintTo(const failure_case& c, std::ostream* os) { *os << c.name; }

class write_fails : public ::testing::TestWithParam<failure_case> {};

TEST_P(write_fails, with_abort_call) {
  const failure_case& c = GetParam();
  const write_outcome out = write_unbuffered(c.value, MINIJSON_WRITE_LINE);
  EXPECT_EQ(out.result, c.result);
  EXPECT_EQ(out.text, c.delivered);
  EXPECT_EQ(out.sink.abort_calls, 1);
  EXPECT_EQ(out.sink.end_calls, 0);
}

const minijson_member_t null_name_second[] = {minijson_member("a", minijson_integer(1)),
                                              minijson_member(nullptr, minijson_integer(2)),
                                              minijson_member("c", minijson_integer(3))};
const minijson_value_t end_in_counted[] = {minijson_integer(1), minijson_end()};
const minijson_member_t end_as_member[] = {minijson_member("a", minijson_end())};
const minijson_value_t infinite_second[] = {minijson_integer(1), minijson_real(INFINITY)};
const minijson_value_t* yields_end_marker(void*, uint64_t) {
  static const minijson_value_t end = minijson_end();
  return &end;
}
const minijson_value_t generator_then_end[] = {minijson_generated(yields_end_marker, 0),
                                               minijson_end()};

INSTANTIATE_TEST_SUITE_P(
    malformed, write_fails,
    ::testing::Values(
        failure_case{"counted_object_null_name", minijson_object_n(null_name_second, 3), -9,
                     "{\"a\":1"},
        failure_case{"end_marker_in_counted_array", minijson_array_n(end_in_counted, 2), -9, "[1"},
        failure_case{"end_marker_as_member_value", minijson_object_n(end_as_member, 1), -9,
                     "{\"a\""},
        failure_case{"infinite_real", minijson_real(INFINITY), -10, ""},
        failure_case{"negative_infinite_real", minijson_real(-INFINITY), -10, ""},
        failure_case{"nan_real", minijson_real(NAN), -10, ""},
        failure_case{"infinite_real_in_array", minijson_array_n(infinite_second, 2), -10, "[1,"},
        failure_case{"generator_at_top", minijson_generated(repeat, 0), -9, ""},
        // A generated value never ends the array the generator stands in.
        failure_case{"generated_end_marker", minijson_array(generator_then_end), -9, ""},
        failure_case{"unassigned_code", minijson_value_t{'C', 0, {0}}, -9, ""},
        failure_case{"code_below_range", minijson_value_t{62, 0, {0}}, -9, ""},
        failure_case{"code_above_range", minijson_value_t{89, 0, {0}}, -9, ""},
        failure_case{"counted_unassigned_code", minijson_value_t{-64, 0, {0}}, -9, ""},
        failure_case{"most_negative_code", minijson_value_t{INT32_MIN, 0, {0}}, -9, ""},
        failure_case{"null_string", minijson_string(nullptr), -9, ""},
        failure_case{"null_object_members", minijson_object_n(nullptr, 0), -9, ""},
        failure_case{"null_array_elements", minijson_array(nullptr), -9, ""},
        failure_case{"uncounted_binary", minijson_value_t{MINIJSON_TYPE_BINARY, 0, {.data = "x"}},
                     -9, ""},
        failure_case{"uncounted_raw", minijson_value_t{MINIJSON_TYPE_RAW, 0, {.text = "1"}}, -9,
                     ""},
        failure_case{"null_raw", minijson_raw(nullptr, 1), -9, ""},
        failure_case{"null_binary", minijson_binary(nullptr, 0), -9, ""}));

TEST(writer_failure, null_sink_or_root_makes_no_call) {
  recording_sink sink;
  const minijson_value_t root = minijson_null();
  EXPECT_EQ(minijson_write(&sink, nullptr, 0, &root), -9);
  EXPECT_EQ(minijson_write(&sink, recording_sink::sink, 0, nullptr), -9);
  EXPECT_EQ(minijson_write_buffered(nullptr, 16, recording_sink::sink, 0, &root), -9);
  EXPECT_EQ(sink.end_calls + sink.abort_calls + static_cast<int>(sink.pieces.size()), 0);
}

TEST(writer_failure, sink_result_stops_the_write) {
  const minijson_value_t elements[] = {minijson_integer(1), minijson_integer(2),
                                       minijson_integer(3)};
  const minijson_value_t root = minijson_array_n(elements, 3);
  recording_sink sink;
  sink.fail_on_piece = 2;
  sink.failure = 7;
  EXPECT_EQ(minijson_write(&sink, recording_sink::sink, 0, &root), 7);
  EXPECT_EQ(sink.text, "[1");
  EXPECT_EQ(sink.abort_calls, 1);
}

TEST(writer_failure, end_call_result_is_the_result) {
  recording_sink sink;
  sink.end_result = 3;
  const minijson_value_t root = minijson_null();
  EXPECT_EQ(minijson_write(&sink, recording_sink::sink, 0, &root), 3);
}

// A sink may answer with any nonzero value, the codec's own result codes
// included: that value is the writer's result, and the refused delivery is
// the last one before the abort call.
const int sink_results[] = {MINIJSON_UNFINISHED,
                            MINIJSON_ILLEGAL_FORMAT,
                            MINIJSON_WRONG_VALUE,
                            MINIJSON_WRONG_KEY,
                            MINIJSON_WRONG_CALL,
                            MINIJSON_TOO_DEEP,
                            1,
                            7,
                            INT_MIN,
                            INT_MAX};

struct refusal_place {
  const char* name;
  minijson_value_t root;
  unsigned flags;
  size_t capacity;  // 0: unbuffered, else the buffer size
  size_t piece;  // index of the refused delivery
  const char* refused;  // what that delivery carries
};

void PrintTo(const refusal_place& p, std::ostream* os) { *os << p.name; }

recording_sink* buffered_target = nullptr;

int into_buffered_target(void*, const void* data, size_t length) {
  return recording_sink::sink(buffered_target, data, length);
}

int write_into(recording_sink* sink, const refusal_place& p) {
  generator_state state;  // each write starts the generated sequence afresh
  current_generator = &state;
  char buffer[64];
  int result = 0;
  if (p.capacity == 0) {
    result = minijson_write(sink, recording_sink::sink, p.flags, &p.root);
  } else {
    buffered_target = sink;
    result = minijson_write_buffered(buffer, p.capacity, into_buffered_target, p.flags, &p.root);
    buffered_target = nullptr;
  }
  current_generator = nullptr;
  return result;
}

const minijson_value_t one_two[] = {minijson_integer(1), minijson_integer(2), minijson_end()};
const minijson_value_t with_escape[] = {minijson_string("ab\ncd"), minijson_end()};
const minijson_member_t member_a[] = {minijson_member("a", minijson_integer(1)),
                                      minijson_member_end()};
const minijson_value_t with_object[] = {minijson_object(member_a), minijson_end()};
const unsigned char zero_bytes[20] = {};
const minijson_value_t with_binary[] = {minijson_binary(zero_bytes, 20), minijson_end()};
const minijson_value_t with_real[] = {minijson_real(150.0), minijson_end()};
const minijson_value_t with_two_generated[] = {minijson_generated(repeat, 2), minijson_end()};
const minijson_value_t one_to_six[] = {
    minijson_integer(1), minijson_integer(2), minijson_integer(3), minijson_integer(4),
    minijson_integer(5), minijson_integer(6), minijson_end()};

const refusal_place refusal_places[] = {
    {"record_separator", minijson_null(), MINIJSON_WRITE_SEPARATOR, 0, 0, "\x1e"},
    {"root_string_opening_quote", minijson_string("CAN"), MINIJSON_WRITE_LINE, 0, 0, "\""},
    {"array_opening_bracket", minijson_array(one_two), MINIJSON_WRITE_LINE, 0, 0, "["},
    {"array_comma", minijson_array(one_two), MINIJSON_WRITE_LINE, 0, 2, ","},
    {"array_closing_bracket", minijson_array(one_two), MINIJSON_WRITE_LINE, 0, 4, "]"},
    {"line_feed", minijson_array(one_two), MINIJSON_WRITE_LINE, 0, 5, "\n"},
    {"string_escape", minijson_array(with_escape), MINIJSON_WRITE_LINE, 0, 3, "\\n"},
    {"string_run_after_escape", minijson_array(with_escape), MINIJSON_WRITE_LINE, 0, 4, "cd"},
    {"member_name", minijson_array(with_object), MINIJSON_WRITE_LINE, 0, 3, "a"},
    {"object_closing_brace", minijson_array(with_object), MINIJSON_WRITE_LINE, 0, 7, "}"},
    {"base64_full_chunk", minijson_array(with_binary), MINIJSON_WRITE_LINE, 0, 2,
     "AAAAAAAAAAAAAAAA"},
    {"base64_last_chunk", minijson_array(with_binary), MINIJSON_WRITE_LINE, 0, 3, "AAAAAAAAAAA="},
    {"real_exponent", minijson_array(with_real), MINIJSON_WRITE_LINE, 0, 2, "E2"},
    {"generated_comma", minijson_array(with_two_generated), MINIJSON_WRITE_LINE, 0, 8, ","},
    {"inside_second_generated_value", minijson_array(with_two_generated), MINIJSON_WRITE_LINE, 0,
     14, "7"},
    {"buffer_full_inside_array", minijson_array(one_to_six), MINIJSON_WRITE_LINE, 8, 0, "[1,2,3,4"},
    {"buffer_full_inside_base64", minijson_array(with_binary), MINIJSON_WRITE_LINE, 8, 1,
     "AAAAAAAA"},
};

class sink_refusal : public ::testing::TestWithParam<std::tuple<refusal_place, int>> {};

TEST_P(sink_refusal, is_the_result_and_the_last_delivery) {
  const auto& [place, code] = GetParam();
  recording_sink clean;
  ASSERT_EQ(write_into(&clean, place), 0);
  ASSERT_LT(place.piece, clean.pieces.size());
  ASSERT_EQ(clean.pieces[place.piece], place.refused);  // the fixture reaches the place it names

  recording_sink refusing;
  refusing.fail_on_piece = static_cast<int>(place.piece);
  refusing.failure = code;
  EXPECT_EQ(write_into(&refusing, place), code);
  const std::vector<std::string> before(clean.pieces.begin(), clean.pieces.begin() + place.piece);
  EXPECT_EQ(refusing.pieces, before);
  EXPECT_EQ(refusing.refused_calls, 1);
  EXPECT_EQ(refusing.abort_calls, 1);
  EXPECT_EQ(refusing.end_calls, 0);
}

std::string refusal_name(const ::testing::TestParamInfo<std::tuple<refusal_place, int>>& info) {
  const int code = std::get<1>(info.param);
  const std::string number =
      code < 0 ? "minus" + std::to_string(-static_cast<int64_t>(code)) : std::to_string(code);
  return std::string(std::get<0>(info.param).name) + "_" + number;
}

INSTANTIATE_TEST_SUITE_P(every_code_everywhere, sink_refusal,
                         ::testing::Combine(::testing::ValuesIn(refusal_places),
                                            ::testing::ValuesIn(sink_results)),
                         refusal_name);

// The call that ends a successful output (the end call, or in buffered mode
// the hand-over of the pending bytes) gives the result, with no abort call.
TEST(writer_failure, end_of_output_result_is_returned_as_it_is) {
  const minijson_value_t root = minijson_null();
  for (int code : sink_results) {
    recording_sink unbuffered;
    unbuffered.end_result = code;
    EXPECT_EQ(minijson_write(&unbuffered, recording_sink::sink, 0, &root), code);

    // "null" fills the buffer exactly, so nothing is pending at the end.
    recording_sink end_call;
    end_call.end_result = code;
    buffered_target = &end_call;
    char buffer[8];
    EXPECT_EQ(minijson_write_buffered(buffer, 4, into_buffered_target, 0, &root), code);
    EXPECT_EQ(end_call.end_calls, 1);

    recording_sink hand_over;
    hand_over.fail_on_piece = 1;
    hand_over.failure = code;
    buffered_target = &hand_over;
    EXPECT_EQ(minijson_write_buffered(buffer, 3, into_buffered_target, 0, &root), code);
    buffered_target = nullptr;
    EXPECT_EQ(hand_over.pieces, std::vector<std::string>{"nul"});
    EXPECT_EQ(hand_over.refused_calls, 1);
    EXPECT_EQ(hand_over.abort_calls + hand_over.end_calls, 0);
  }
}

TEST(writer_failure, cyclic_tree_is_rejected) {
  minijson_value_t self[1] = {};
  self[0] = minijson_array_n(self, 1);
  EXPECT_EQ(write_unbuffered(self[0]).result, -9);
}

// Reals beyond the plain examples must still be valid numbers of nearly the
// same value with a leading digit from 1 to 9 (or 0 when rounding kept it).
TEST(writer_real, extreme_values_parse_back) {
  const double values[] = {DBL_MAX,
                           -DBL_MAX,
                           DBL_MIN,
                           5e-324,
                           2.2250738585072009e-308,
                           1e-310,
                           9.999999999999999e22,
                           1e22,
                           1e300,
                           123456789.0,
                           0.1,
                           0.3,
                           1e-5,
                           999999.5,
                           7e-11};
  for (double v : values) {
    const write_outcome out = write_unbuffered(minijson_real(v));
    ASSERT_EQ(out.result, 0) << v;
    const std::string& text = out.text;
    const size_t digit = text[0] == '-' ? 1 : 0;
    EXPECT_TRUE(text[digit] >= '0' && text[digit] <= '9') << text;
    minijson_parse_data_t data{};
    size_t length = text.size();
    const minijson_parser_t request{nullptr, &data, 0, 0, nullptr};
    ASSERT_EQ(minijson_parse(text.data(), &length, &request), 0) << text;
    ASSERT_EQ(data.type, MINIJSON_REAL) << text;
    EXPECT_NEAR(data.value.real / v, 1.0, 1e-5) << text;
  }
}

}  // namespace
