// Matching words against registry levels: exact keys, "name=value" rewriting, nested options,
// and the command_context that one match owns.
#include "console/cli/registry.hpp"
#include "console/events/command_context.hpp"
#include "tests/console/cli/argument_list.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <stdexcept>

namespace vistrel {
namespace {

// What each call of a test handler saw.
struct handler_call {
    std::string entry;
    std::string current_word;  // "" when no word was left
    std::optional<command_context> context;
};
std::vector<handler_call> calls;

void record(const char* entry, arg_cursor cursor, arg_vector args)
{
    handler_call call{entry, cursor < 0 ? args[cursor] : "", std::nullopt};
    if (current_command_context != nullptr) {
        call.context = *current_command_context;
    }
    calls.push_back(call);
}

void sub_handler(arg_cursor& cursor, arg_vector args)
{
    record("sub", cursor, args);
}

void value_handler(arg_cursor& cursor, arg_vector args)
{
    record("-v", cursor, args);
    if (cursor < 0) {
        ++cursor;
    }
}

void throwing_handler(arg_cursor& cursor, arg_vector args)
{
    record("boom", cursor, args);
    throw std::runtime_error("boom");
}

const option_map test_level{{{"sub", {sub_handler, "", "", &command_options}},
                             {"-v", {value_handler, "<v>", "", &no_options}},
                             {"boom", {throwing_handler, "", "", &no_options}}},
                            false};

class match_option_test : public ::testing::Test {
protected:
    void SetUp() override
    {
        calls.clear();
        ::unsetenv("VISTREL_TRACE");
    }
    void TearDown() override { current_command_context = nullptr; }
};

TEST_F(match_option_test, keys_match_exactly_and_leave_the_word_alone_otherwise)
{
    for (const char* word : {"SUB", "su", "subs", "-V", "-vv", "-", "", "=", "=sub", " sub", "sub "}) {
        argument_list args({word, "next"});
        arg_cursor cursor = args.first();
        EXPECT_FALSE(match_option(test_level, cursor, args.end())) << word;
        EXPECT_EQ(cursor, args.first()) << word;
        EXPECT_EQ(args.end()[cursor], args.original(cursor)) << word;
    }
    EXPECT_TRUE(calls.empty());
    EXPECT_EQ(current_command_context, nullptr);
}

TEST_F(match_option_test, no_words_left_matches_nothing)
{
    argument_list args({});
    arg_cursor cursor = args.first();
    EXPECT_EQ(cursor, 0);
    EXPECT_FALSE(match_option(test_level, cursor, args.end()));
}

TEST_F(match_option_test, a_plain_word_is_consumed_before_the_handler_runs)
{
    argument_list args({"-v", "value", "rest"});
    arg_cursor cursor = args.first();
    EXPECT_TRUE(match_option(test_level, cursor, args.end()));
    EXPECT_EQ(cursor, -1);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].current_word, "value");
}

TEST_F(match_option_test, a_name_value_word_is_rewritten_in_place_to_its_value)
{
    const struct {
        const char* word;
        const char* value;
    } cases[] = {{"-v=5", "5"}, {"-v=", ""}, {"-v==x", "=x"}, {"-v=a=b", "a=b"}};
    for (const auto& c : cases) {
        calls.clear();
        argument_list args({c.word, "rest"});
        arg_cursor cursor = args.first();
        EXPECT_TRUE(match_option(test_level, cursor, args.end())) << c.word;
        ASSERT_EQ(calls.size(), 1u) << c.word;
        EXPECT_EQ(calls[0].current_word, c.value) << c.word;
        // The element now points into the same characters, just past the first "=".
        EXPECT_EQ(args.end()[args.first()], args.original(args.first()) + 3) << c.word;
        EXPECT_EQ(cursor, -1) << c.word;
    }
}

TEST_F(match_option_test, returns_false_once_the_last_word_is_consumed)
{
    argument_list args({"-v", "value"});
    arg_cursor cursor = args.first();
    EXPECT_FALSE(match_option(test_level, cursor, args.end()));
    EXPECT_EQ(cursor, 0);
}

TEST_F(match_option_test, one_context_with_the_defaults_lives_while_the_entry_is_handled)
{
    argument_list args({"sub", "-t", "7", "sub"});
    arg_cursor cursor = args.first();
    EXPECT_TRUE(match_option(test_level, cursor, args.end()));
    EXPECT_EQ(current_command_context, nullptr);
    EXPECT_TRUE(match_option(test_level, cursor, args.end()) == false && cursor == 0);
    ASSERT_EQ(calls.size(), 2u);
    ASSERT_TRUE(calls[0].context.has_value());
    EXPECT_EQ(calls[0].context->timeout, 7);  // the nested -t wrote into the same context
    EXPECT_FALSE(calls[0].context->trace);
    EXPECT_EQ(calls[0].context->show_data_string, 0);
    ASSERT_TRUE(calls[1].context.has_value());
    EXPECT_EQ(calls[1].context->timeout, 2);  // a fresh context for the next subcommand
    EXPECT_EQ(current_command_context, nullptr);
}

TEST_F(match_option_test, the_last_of_several_timeouts_wins_in_either_spelling)
{
    const struct {
        std::vector<std::string> words;
        std::int64_t timeout;
    } cases[] = {
        {{"sub", "-t", "9"}, 9},
        {{"sub", "-t=9"}, 9},
        {{"sub", "-t", "3", "-t", "4"}, 4},
        {{"sub", "-t=3", "-t", "-5"}, -5},
    };
    for (const auto& c : cases) {
        calls.clear();
        argument_list args(c.words);
        arg_cursor cursor = args.first();
        match_option(test_level, cursor, args.end());
        ASSERT_EQ(calls.size(), 1u);
        EXPECT_EQ(calls[0].context->timeout, c.timeout) << c.words.back();
        EXPECT_EQ(cursor, 0);
    }
}

TEST_F(match_option_test, an_option_before_its_subcommand_is_not_matched)
{
    argument_list args({"-t", "5", "sub"});
    arg_cursor cursor = args.first();
    EXPECT_FALSE(match_option(test_level, cursor, args.end()));
    EXPECT_EQ(cursor, args.first());
}

TEST_F(match_option_test, an_existing_context_is_used_and_kept)
{
    command_context outer;
    outer.timeout = 42;
    current_command_context = &outer;
    argument_list args({"sub", "-t", "8"});
    arg_cursor cursor = args.first();
    match_option(test_level, cursor, args.end());
    EXPECT_EQ(current_command_context, &outer);
    EXPECT_EQ(outer.timeout, 8);
}

TEST_F(match_option_test, the_context_is_dropped_when_the_handler_throws)
{
    argument_list args({"boom"});
    arg_cursor cursor = args.first();
    EXPECT_THROW(match_option(test_level, cursor, args.end()), std::runtime_error);
    EXPECT_EQ(current_command_context, nullptr);
}

TEST_F(match_option_test, trace_is_switched_on_by_vistrel_trace_1_only)
{
    const struct {
        const char* value;  // nullptr: unset
        bool trace;
    } cases[] = {{"1", true},    {nullptr, false}, {"0", false}, {"", false},
                 {"yes", false}, {"11", false},    {" 1", false}};
    for (const auto& c : cases) {
        calls.clear();
        if (c.value != nullptr) {
            ::setenv("VISTREL_TRACE", c.value, 1);
        } else {
            ::unsetenv("VISTREL_TRACE");
        }
        argument_list args({"sub"});
        arg_cursor cursor = args.first();
        match_option(test_level, cursor, args.end());
        ASSERT_EQ(calls.size(), 1u);
        EXPECT_EQ(calls[0].context->trace, c.trace) << (c.value ? c.value : "<unset>");
    }
    ::unsetenv("VISTREL_TRACE");
}

}  // namespace
}  // namespace vistrel
