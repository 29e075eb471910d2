// The command line, the fault rules and the log's byte escaping.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/sim_fixture.hpp"
#include "tools/sim/fault_rule.hpp"
#include "tools/sim/sim_log.hpp"
#include "tools/sim/sim_options.hpp"

namespace vistrel::sim_test {
namespace {

using sim::json;

TEST(sim_options, bad_arguments_are_refused_with_a_reason)
{
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"--bogus", "1"}, "unknown option [--bogus]"},
        {{"--log"}, "option [--log] needs a value"},
        {{"extra"}, "unexpected argument [extra]"},
        {{"--hardware", "1"}, "option [--hardware] needs a version"},
        {{"--firmware", "1.x"}, "option [--firmware] needs a version"},
        {{"--line-end", "lfcr"}, "option [--line-end] takes crlf, lf or cr"},
        {{"--exit-after", "0"}, "option [--exit-after] needs a number of seconds"},
        {{"--exit-after", "2s"}, "option [--exit-after] needs a number of seconds"},
        {{"--fault", "{"}, "fault rule is not valid JSON"},
        {{"--fault", R"({"delay_ms":2.53E412})"},
         "fault rule is not valid JSON (a number beyond the range of a double)"},
        {{"--fault", R"({"reply":"loud"})"}, "fault rule member [reply] must be one of"},
        {{"--scenario", "/nonexistent/scenario.json"}, "cannot read scenario file"},
    };
    for (const auto& [arguments, reason] : cases) {
        SCOPED_TRACE(reason);
        try {
            sim::parse_options(arguments);
            ADD_FAILURE() << "accepted";
        } catch (const sim::usage_error& error) {
            EXPECT_NE(std::string(error.what()).find(reason), std::string::npos) << error.what();
        }
    }
}

// The refusals of a rule send the user to --help: it names every member and reply mode.
TEST(sim_options, help_names_every_fault_rule_member_and_mode)
{
    const std::string help = sim::usage_text();
    for (const char* word : {"request",
                             "category",
                             "case",
                             "sort",
                             "times",
                             "reply",
                             "number",
                             "message",
                             "signal",
                             "position",
                             "garbage",
                             "text",
                             "delay_ms",
                             "split",
                             "pause_ms",
                             "notify",
                             "notify_separate",
                             "notify_pause_ms",
                             "hangup",
                             "hangup_at",
                             "hangup_pause_ms",
                             "late",
                             "unavailable",
                             "normal",
                             "silent",
                             "error",
                             "json-error",
                             "broken-line",
                             "string",
                             "line-end",
                             "inside-line-end",
                             "HID",
                             "CAN"}) {
        EXPECT_NE(help.find('"' + std::string(word) + '"'), std::string::npos) << word;
    }
    // Every example rule is one the simulator takes.
    const std::string example = "  vistrel-sim --fault '";
    std::size_t examples = 0;
    for (auto at = help.find(example); at != std::string::npos; at = help.find(example, at + 1)) {
        const auto start = at + example.size();
        const std::string rule = help.substr(start, help.find("'\n", start) - start);
        SCOPED_TRACE(rule);
        EXPECT_NO_THROW(sim::parse_options({"--fault", rule}));
        ++examples;
    }
    EXPECT_GT(examples, 0U);
}

TEST(sim_options, values_reach_the_settings)
{
    const auto options = sim::parse_options({"--hardware", "7.8.rc2", "--exit-after", "0.25", "--line-end", "cr",
                                             "--fault", R"({"request":3})", "--exit-on-eof"});
    EXPECT_EQ(options.identity.hardware.major, 7U);
    EXPECT_EQ(options.identity.hardware.minor, 8U);
    EXPECT_EQ(options.identity.hardware.note, "rc2");
    EXPECT_EQ(options.server.exit_after, std::chrono::milliseconds(250));
    EXPECT_EQ(options.server.line_end, "\r");
    EXPECT_TRUE(options.server.exit_on_eof);
    ASSERT_EQ(options.rules.size(), 1U);
    EXPECT_EQ(options.rules[0].request, 3UL);
}

TEST(fault_rule, malformed_rules_are_refused)
{
    for (const char* text :
         {R"({"request":0})", R"({"request":-1})", R"({"delay_ms":1.5})", R"({"split":[-2]})",
          R"({"split":["middle"]})", R"({"notify":"system"})", R"({"late":1})", R"({"unavailable":[5,"6"]})",
          R"({"number":1.5})", R"({"signal":"7"})", R"({"sorts":"x"})", R"([{"reply":"silent"}])",
          // Integers beyond their member's range, which were cut to other numbers.
          R"({"number":4294967297})", R"({"number":-2147483649})", R"({"unavailable":[4294967301]})",
          R"({"signal":18446744073709551615})"}) {
        SCOPED_TRACE(text);
        EXPECT_THROW(sim::read_rule(json::parse(text)), sim::rule_error);
    }
    EXPECT_THROW(sim::read_scenario(json::parse(R"({"rules":[],"more":1})")), sim::rule_error);
    EXPECT_EQ(sim::read_scenario(json::parse(R"({"rules":[{},{}]})")).size(), 2U);
}

TEST(fault_rule, a_deeply_nested_member_is_refused_before_the_rule_is_written_out)
{
    // Writing the rule out for the log took a stack frame per level.
    const std::size_t levels = 500'000;
    const json rule =
        json::parse(R"({"reply":"silent","x":)" + std::string(levels, '[') + std::string(levels, ']') + "}");
    EXPECT_THROW(sim::read_rule(rule), sim::rule_error);
    EXPECT_EQ(sim::read_rule(json::parse(R"({"number":-2147483648,"unavailable":[2147483647]})")).text,
              R"({"number":-2147483648,"unavailable":[2147483647]})");
}

TEST(fault_rule, first_applicable_rule_wins_until_it_is_used_up)
{
    auto rules = sim::read_scenario(json::parse(
        R"([{"category":"CAN","case":"set","times":1,"reply":"silent"},{"request":2,"reply":"garbage"},{"reply":"error"}])"));
    const auto can_set = sim::read_request(R"({"category":"CAN","case":"set","sort":"signal"})");
    const auto can_get = sim::read_request(R"({"category":"CAN","case":"get","sort":"signal"})");
    EXPECT_EQ(sim::pick_rule(rules, 1, can_set), &rules[0]);
    EXPECT_EQ(sim::pick_rule(rules, 2, can_set), &rules[1]);  // the first is used up
    EXPECT_EQ(sim::pick_rule(rules, 3, can_set), &rules[2]);
    EXPECT_EQ(sim::pick_rule(rules, 4, can_get), &rules[2]);
}

TEST(sim_log, escaping_keeps_every_byte_and_one_record_per_line)
{
    std::string all;
    for (int byte = 0; byte < 256; ++byte) {
        all += static_cast<char>(byte);
    }
    all += "\\x41\\";  // escape-like text must survive as written
    const std::string escaped = sim::escape_bytes(all);
    EXPECT_EQ(escaped.find('\n'), std::string::npos);
    EXPECT_EQ(escaped.find('\r'), std::string::npos);
    EXPECT_EQ(test_support::unescape_log_bytes(escaped), all);
}

}  // namespace
}  // namespace vistrel::sim_test
