#include <gtest/gtest.h>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "console/events/parse_glue.hpp"

namespace vistrel {
namespace {

// A target with two integer fields and a string, counting its accepted values and its
// finish calls.
class version_target : public basic_json_data {
public:
    version_target()
        : basic_json_data(1,
                          {
                              {"major", key_handler{value_type::integer, &major, store_integer}},
                              {"minor", key_handler{value_type::integer, &minor, store_integer}},
                              {"note", key_handler{value_type::string, &note, store_string}},
                          })
    {
    }
    void try_accept() override { ++accepted; }
    void finish() override { ++finished; }

    std::int32_t major = 0;
    std::uint32_t minor = 0;
    std::string note;
    int accepted = 0;
    int finished = 0;
};

TEST(parse_glue, members_in_any_order)
{
    for (const char* text : {R"({"major":1,"minor":2,"note":"rc"})", R"({"note":"rc","minor":2,"major":1})",
                             R"({ "minor" : 2 , "note":"rc", "major":1 })"}) {
        version_target target;
        EXPECT_EQ(parse_nested(std::string_view(text), target), 0) << text;
        EXPECT_EQ(target.major, 1) << text;
        EXPECT_EQ(target.minor, 2U) << text;
        EXPECT_EQ(target.note, "rc") << text;
        EXPECT_EQ(target.accepted, 3) << text;
        EXPECT_EQ(target.finished, 1) << text;
    }
}

TEST(parse_glue, integers_keep_their_low_32_bits)
{
    version_target target;
    EXPECT_EQ(parse_nested(std::string_view(R"({"major":-1,"minor":4294967297})"), target), 0);
    EXPECT_EQ(target.major, -1);
    EXPECT_EQ(target.minor, 1U);

    EXPECT_EQ(parse_nested(std::string_view(R"({"minor":-1})"), target), 0);
    EXPECT_EQ(target.minor, 4294967295U);
}

TEST(parse_glue, keys_and_strings_are_decoded)
{
    version_target target;
    EXPECT_EQ(parse_nested(std::string_view(R"({"m\u0061jor":5,"note":"a\"b\\c\u00e9\n"})"), target), 0);
    EXPECT_EQ(target.major, 5);
    EXPECT_EQ(target.note, "a\"b\\c\xC3\xA9\n");
}

TEST(parse_glue, a_repeated_key_is_stored_again)
{
    version_target target;
    EXPECT_EQ(parse_nested(std::string_view(R"({"major":1,"major":7})"), target), 0);
    EXPECT_EQ(target.major, 7);
    EXPECT_EQ(target.accepted, 2);
}

struct failure_case {
    const char* text;
    const char* message;
};

TEST(parse_glue, type_mismatch_names_both_types)
{
    const failure_case cases[] = {
        {R"({"major":3.0})", "inconsistent types ([float] vs [integer])"},
        {R"({"major":1e3})", "inconsistent types ([float] vs [integer])"},
        {R"({"note":null})", "inconsistent types ([bool/null] vs [string])"},
        {R"({"major":"1"})", "inconsistent types ([string] vs [integer])"},
        {R"({"note":{}})", "inconsistent types ([object] vs [string])"},
        {R"({"minor":[1]})", "inconsistent types ([array] vs [integer])"},
    };
    for (const auto& c : cases) {
        version_target target;
        try {
            parse_nested(std::string_view(c.text), target);
            ADD_FAILURE() << c.text << " was accepted";
        } catch (const std::runtime_error& error) {
            EXPECT_STREQ(error.what(), c.message) << c.text;
        }
    }
}

TEST(parse_glue, unknown_and_keyless_values_are_out_of_range)
{
    for (const char* text : {R"({"major":1,"patch":2})", "[1]", R"({"":1})"}) {
        version_target target;
        try {
            parse_nested(std::string_view(text), target);
            ADD_FAILURE() << text << " was accepted";
        } catch (const std::out_of_range& error) {
            EXPECT_STREQ(error.what(), "invalid map<K, T> key") << text;
        }
    }

    // The values stored before the failure stay.
    version_target target;
    EXPECT_THROW(parse_nested(std::string_view(R"({"major":1,"patch":2,"minor":3})"), target), std::out_of_range);
    EXPECT_EQ(target.major, 1);
    EXPECT_EQ(target.minor, 0U);
}

TEST(parse_glue, parse_nested_results)
{
    struct result_case {
        const char* text;
        int result;
    };
    const result_case cases[] = {
        {"", 0},
        {"{}", 0},
        {R"({"major":1)", MINIJSON_UNFINISHED},
        {R"({"major":1]})", MINIJSON_ILLEGAL_FORMAT},
        {R"({1:2})", MINIJSON_WRONG_KEY},
    };
    for (const auto& c : cases) {
        version_target target;
        EXPECT_EQ(parse_nested(std::string_view(c.text), target), c.result) << c.text;
        EXPECT_EQ(target.finished, 1) << c.text;
    }
}

// Records what the parser reports, to show which values reach a target at its depth.
class recording_target : public parse_data_base {
public:
    explicit recording_target(std::uint64_t report_depth) : parse_data_base(report_depth) {}
    int on_value(int kind) override
    {
        seen.push_back({kind, type, length, count});
        return 0;
    }
    struct report {
        int kind;
        std::uint32_t type;
        std::size_t length;
        std::size_t count;
        bool operator==(const report&) const = default;
    };
    std::vector<report> seen;
};

TEST(parse_glue, deeper_values_arrive_as_raw_text_of_their_container)
{
    recording_target target(1);
    EXPECT_EQ(parse_nested(std::string_view(R"({"a":{"b":[1,2]},"c":"xy"})"), target), 0);
    const std::vector<recording_target::report> expected{
        {MINIJSON_KIND_MEMBER, value_type::object, 11, 1},
        {MINIJSON_KIND_MEMBER, value_type::string, 2, 2},
    };
    EXPECT_EQ(target.seen, expected);

    recording_target elements(2);
    EXPECT_EQ(parse_nested(std::string_view(R"([{"a":1},2,{"b":[]}])"), elements), 0);
    ASSERT_EQ(elements.seen.size(), 2U);
    EXPECT_EQ(elements.seen[0].kind, MINIJSON_KIND_MEMBER);
    EXPECT_EQ(elements.seen[0].type, value_type::integer);
    EXPECT_EQ(elements.seen[1].type, value_type::array);
}

TEST(parse_glue, value_type_names)
{
    struct name_case {
        std::uint32_t type;
        const char* name;
    };
    const name_case cases[] = {
        {1, "object"},
        {2, "array"},
        {4, "string"},
        {8, "integer"},
        {16, "float"},
        {32, "bool/null"},
        {0, "unrecognized - 0"},
        {3, "unrecognized - 3"},
        {64, "unrecognized - 64"},
        {0xFFFFFFFFU, "unrecognized - -1"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(value_type_name(c.type), c.name) << c.type;
    }
}

}  // namespace
}  // namespace vistrel
