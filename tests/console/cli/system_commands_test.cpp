// The handlers of -c and -t: which words they accept and what they store.
#include "console/cli/system_commands.hpp"
#include "console/events/command_context.hpp"
#include "console/link/exchange.hpp"
#include "tests/console/cli/argument_list.hpp"

#include <gtest/gtest.h>

#include <stdexcept>

namespace vistrel {
namespace {

TEST(set_port, stores_the_word_as_given_and_consumes_it)
{
    for (const char* word : {"COM3", "/dev/ttyACM0", "", "-t", "\xff\xfe"}) {
        set_port_name("earlier");
        argument_list args({word, "rest"});
        arg_cursor cursor = args.first();
        set_port(cursor, args.end());
        EXPECT_EQ(port_name(), word);
        EXPECT_EQ(cursor, args.first() + 1);
    }
}

TEST(set_port, without_a_word_fails_with_its_message)
{
    set_port_name("kept");
    argument_list args({});
    arg_cursor cursor = args.first();
    try {
        set_port(cursor, args.end());
        FAIL() << "no exception";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "incorrectly specified COM port");
    }
    EXPECT_EQ(port_name(), "kept");
    EXPECT_EQ(cursor, 0);
}

class set_timeout_test : public ::testing::Test {
protected:
    void SetUp() override { current_command_context = &context; }
    void TearDown() override { current_command_context = nullptr; }
    command_context context;
};

TEST_F(set_timeout_test, reads_the_word_like_stol)
{
    const struct {
        const char* word;
        std::int64_t timeout;
    } cases[] = {
        {"5", 5},
        {"5x", 5},
        {" 7", 7},
        {"\t\n8", 8},
        {"+3", 3},
        {"-1", -1},
        {"0", 0},
        {"007", 7},
        {"12.9", 12},
        {"2147483647", 2147483647},
        {"-2147483648", -2147483648LL},
    };
    for (const auto& c : cases) {
        context.timeout = 2;
        argument_list args({c.word});
        arg_cursor cursor = args.first();
        set_timeout(cursor, args.end());
        EXPECT_EQ(context.timeout, c.timeout) << c.word;
        EXPECT_EQ(cursor, 0) << c.word;
    }
}

TEST_F(set_timeout_test, rejects_words_without_digits_or_outside_32_bits)
{
    for (const char* word : {"abc", "", " ", "-", "+", "x5", "--1", "+-1"}) {
        argument_list args({word});
        arg_cursor cursor = args.first();
        EXPECT_THROW(set_timeout(cursor, args.end()), std::invalid_argument) << word;
        EXPECT_EQ(cursor, args.first()) << word;
    }
    for (const char* word : {"2147483648", "-2147483649", "99999999999999999999", "-9223372036854775809"}) {
        argument_list args({word});
        arg_cursor cursor = args.first();
        EXPECT_THROW(set_timeout(cursor, args.end()), std::out_of_range) << word;
    }
    EXPECT_EQ(context.timeout, 2);
}

TEST_F(set_timeout_test, without_a_word_fails_with_its_message)
{
    argument_list args({});
    arg_cursor cursor = args.first();
    try {
        set_timeout(cursor, args.end());
        FAIL() << "no exception";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "incorrectly specified timeout");
    }
}

}  // namespace
}  // namespace vistrel
