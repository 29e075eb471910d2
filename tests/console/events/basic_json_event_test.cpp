#include <gtest/gtest.h>

#include <optional>
#include <stdexcept>
#include <string>

#include "console/events/basic_json_event.hpp"
#include "console/events/json_event_json_error.hpp"
#include "console/events/json_event_profiles.hpp"
#include "console/events/json_event_sysinfo.hpp"
#include "console/events/parse_glue.hpp"
#include "tests/console/events/reply_feed.hpp"

namespace vistrel {
namespace {

using test::envelope_of;

// The message of the exception of type E that converting `envelope` into Event throws.
template <class Event, class E>
std::string failure_of(const json_event_base& envelope)
{
    try {
        Event event(envelope);
    } catch (const E& error) {
        return error.what();
    } catch (const std::exception& other) {
        return std::string("other exception: ") + other.what();
    }
    return "no exception";
}

TEST(conversion, other_categories_are_transform_errors)
{
    struct category_case {
        const char* reply;
        const char* sysinfo_message;
        const char* profiles_message;
    };
    const category_case cases[] = {
        {R"({"category":"user profiles","case":"state","sort":"download"})",
         "inconsistent category [User profiles] with [System]", nullptr},
        {R"({"category":"system","case":"state","sort":"information"})", nullptr,
         "inconsistent category [System] with [User profiles]"},
        {R"({"category":"HID","case":"state"})", "inconsistent category [HMI] with [System]",
         "inconsistent category [HMI] with [User profiles]"},
        {R"({"category":"CAN","case":"error","sort":{"number":1}})", "inconsistent category [CAN] with [System]",
         "inconsistent category [CAN] with [User profiles]"},
        {"{}", "inconsistent category [<unknown category>] with [System]",
         "inconsistent category [<unknown category>] with [User profiles]"},
    };
    for (const auto& c : cases) {
        const json_event_base envelope = envelope_of(c.reply);
        if (c.sysinfo_message != nullptr) {
            EXPECT_EQ((failure_of<json_event_sysinfo, transform_error>(envelope)), c.sysinfo_message) << c.reply;
        }
        if (c.profiles_message != nullptr) {
            EXPECT_EQ((failure_of<json_event_profiles, transform_error>(envelope)), c.profiles_message) << c.reply;
        }
    }
    EXPECT_EQ((failure_of<json_event_json_error, transform_error>(envelope_of(R"({"category":"system"})"))),
              "inconsistent category [System] with [JSON]");
}

TEST(conversion, json_errors_are_diverted)
{
    const json_event_base envelope =
        envelope_of(R"({"category":"JSON","case":"error","sort":{"number":2,"message":"bad"},"data":{"position":12}})");
    for (int event = 0; event < 2; ++event) {
        try {
            if (event == 0) {
                json_event_sysinfo converted(envelope);
            } else {
                json_event_profiles converted(envelope);
            }
            ADD_FAILURE() << "no exception";
        } catch (const json_event_json_error& error) {
            EXPECT_EQ(error.event_case, case_code::error);
            EXPECT_EQ(error.text, "bad");
            EXPECT_EQ(error.number, 2);
            EXPECT_EQ(error.position, 12U);
        }
    }
}

TEST(conversion, error_replies_are_thrown_as_the_event)
{
    struct error_case {
        const char* details;
        std::int32_t number;
        const char* text;
    };
    const error_case cases[] = {
        {R"({"number":261,"message":"busy"})", 261, "busy"},
        {R"({"message":"busy","number":7})", 7, "busy"},
        {R"({"number":7})", 7, ""},
        {R"({})", -1, ""},
        {R"("plain")", -1, "plain"},
    };
    for (const auto& c : cases) {
        const std::string reply = std::string(R"({"category":"system","case":"error","sort":)") + c.details + "}";
        try {
            json_event_sysinfo event(envelope_of(reply));
            ADD_FAILURE() << reply << " was returned";
        } catch (const json_event_sysinfo& event) {
            EXPECT_EQ(event.event_case, case_code::error) << reply;
            EXPECT_EQ(event.number, c.number) << reply;
            EXPECT_EQ(event.text, c.text) << reply;
        }
    }

    // The error reply's data is read without the sort check.
    try {
        json_event_profiles event(envelope_of(
            R"({"category":"user profiles","case":"error","sort":{"number":1025,"message":"slot"},"data":[{"profile":1,"edid":"AAEC"}]})"));
        ADD_FAILURE() << "no exception";
    } catch (const json_event_profiles& event) {
        EXPECT_EQ(event.number, 1025);
        EXPECT_EQ(event.text, "slot");
        ASSERT_EQ(event.profiles.size(), 1U);
        EXPECT_EQ(event.profiles[0].id, 1);
    }
}

TEST(conversion, error_details_failures)
{
    const json_event_base unknown_key =
        envelope_of(R"({"category":"system","case":"error","sort":{"number":1,"code":2}})");
    EXPECT_EQ((failure_of<json_event_sysinfo, std::out_of_range>(unknown_key)), "invalid map<K, T> key");
    const json_event_base wrong_type = envelope_of(R"({"category":"system","case":"error","sort":{"number":"1"}})");
    EXPECT_EQ((failure_of<json_event_sysinfo, std::runtime_error>(wrong_type)),
              "inconsistent types ([string] vs [integer])");
}

TEST(conversion, cases_outside_the_accepted_ones)
{
    struct case_case {
        const char* reply;
        const char* message;
    };
    const case_case sysinfo_cases[] = {
        {R"({"category":"system","case":"get","sort":"information"})",
         "inconsistent case [get] from {change, status, error}"},
        {R"({"category":"system","case":"set","sort":"information"})",
         "inconsistent case [set] from {change, status, error}"},
        {R"({"category":"system","sort":"information"})",
         "inconsistent case [<unknown case>] from {change, status, error}"},
    };
    for (const auto& c : sysinfo_cases) {
        EXPECT_EQ((failure_of<json_event_sysinfo, std::runtime_error>(envelope_of(c.reply))), c.message) << c.reply;
    }
    EXPECT_EQ((failure_of<json_event_profiles, std::runtime_error>(
                  envelope_of(R"({"category":"user profiles","case":"set","sort":"upload"})"))),
              "inconsistent case [set] from {change, status, error}");

    for (const char* accepted : {"update", "state"}) {
        const std::string reply =
            std::string(R"({"category":"system","sort":"information","case":")") + accepted + "\"}";
        const json_event_sysinfo event(envelope_of(reply));
        EXPECT_EQ(event.text, "information");
        EXPECT_EQ(event.number, -1);
    }
}

TEST(conversion, unrecognized_sort)
{
    struct sort_case {
        const char* reply;
        const char* message;
    };
    const sort_case cases[] = {
        {R"({"category":"system","case":"state","sort":"info"})", "unrecognized type [info]"},
        {R"({"category":"system","case":"state","sort":"Information"})", "unrecognized type [Information]"},
        {R"({"category":"system","case":"state","sort":"information "})", "unrecognized type [information ]"},
        {R"({"category":"system","case":"state"})", "unrecognized type []"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ((failure_of<json_event_sysinfo, std::runtime_error>(envelope_of(c.reply))), c.message) << c.reply;
    }
    EXPECT_EQ((failure_of<json_event_profiles, std::runtime_error>(
                  envelope_of(R"({"category":"user profiles","case":"update","sort":"upload"})"))),
              "unrecognized type [upload]");
}

TEST(conversion, data_that_does_not_parse)
{
    struct fill_case {
        const char* data;
        const char* message;
    };
    const fill_case cases[] = {
        {"[{\"item\":\"hardware\"}", "basic_json_event::fill() - unfinished"},
        {"[}", "basic_json_event::fill() - illegal format"},
        {"[{\"item\":tru}]", "basic_json_event::fill() - wrong value"},
        {"[{item:1}]", "basic_json_event::fill() - wrong key"},
        {"[[[[[[[[[[[[[[[[[1]]]]]]]]]]]]]]]]]", "basic_json_event::fill() - too deep"},
    };
    for (const auto& c : cases) {
        json_event_base envelope = envelope_of(R"({"category":"system","case":"state","sort":"information"})");
        const std::string data = c.data;
        envelope.data_text.assign(data.begin(), data.end());
        EXPECT_EQ((failure_of<json_event_sysinfo, std::runtime_error>(envelope)), c.message) << c.data;
    }
}

TEST(conversion, an_event_without_a_data_target)
{
    using bare_event = basic_json_event<category_code::can, case_code::state>;
    bare_event event(envelope_of(R"({"category":"CAN","case":"state"})"));
    try {
        event.fill(envelope_of("{}"));
        ADD_FAILURE() << "no exception";
    } catch (const std::logic_error& error) {
        EXPECT_STREQ(error.what(), "basic_json_event::get_normal_data() called - not implemented");
    }
}

// A thrown event is a copy; its reader must fill the copy's own record, not the record of
// the event it was copied from, which is gone by the time the copy is caught.
TEST(conversion, a_thrown_copy_owns_its_record)
{
    std::optional<json_event_sysinfo> kept;
    try {
        json_event_sysinfo event(envelope_of(R"({"category":"system","case":"error","sort":"busy"})"));
    } catch (const json_event_sysinfo& thrown) {
        kept.emplace(thrown);
    }
    ASSERT_TRUE(kept);
    EXPECT_EQ(parse_nested(std::string_view(R"([{"item":"firmware","version":{"major":3,"minor":4}}])"),
                           kept->get_error_data()),
              0);
    EXPECT_EQ(kept->firmware.major, 3U);
    EXPECT_EQ(kept->firmware.minor, 4U);

    std::optional<json_event_profiles> profiles;
    try {
        json_event_profiles event(
            envelope_of(R"({"category":"user profiles","case":"error","sort":"full","data":[{"profile":2}]})"));
    } catch (const json_event_profiles& thrown) {
        profiles.emplace(thrown);
    }
    ASSERT_TRUE(profiles);
    // The copy appends to its own list.
    EXPECT_EQ(parse_nested(std::string_view(R"([{"edid":"AAEC","profile":2}])"), profiles->get_error_data()), 0);
    ASSERT_EQ(profiles->profiles.size(), 1U);
    EXPECT_EQ(profiles->profiles[0].id, 2);
    EXPECT_EQ(profiles->profiles[0].edid_size, 3U);
}

}  // namespace
}  // namespace vistrel
