#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "console/events/json_event_json_error.hpp"
#include "console/events/parse_glue.hpp"
#include "tests/console/events/reply_feed.hpp"

namespace vistrel {
namespace {

using test::envelope_of;

struct thrown_error {
    std::string text;
    std::int32_t number;
    std::uint32_t position;
};

thrown_error thrown_by(const std::string& reply)
{
    try {
        json_event_json_error event(envelope_of(reply));
    } catch (const json_event_json_error& error) {
        EXPECT_EQ(error.event_case, case_code::error) << reply;
        return {error.text, error.number, error.position};
    }
    ADD_FAILURE() << reply << " did not throw the event";
    return {};
}

TEST(json_error_event, replies)
{
    struct reply_case {
        const char* reply;
        const char* text;
        std::int32_t number;
        std::uint32_t position;
    };
    const reply_case cases[] = {
        {R"({"category":"JSON","case":"error","sort":{"number":1,"message":"syntax"},"data":{"position":17}})",
         "syntax", 1, 17},
        {R"({"category":"JSON","case":"error","sort":{"number":1,"message":"syntax"}})", "syntax", 1, 4294967295U},
        {R"({"category":"JSON","case":"error","sort":"bad request","data":{"position":0}})", "bad request", -1, 0},
        {R"({"category":"JSON","case":"error","data":[]})", "", -1, 4294967295U},
        {R"({"category":"JSON","case":"error","data":{}})", "", -1, 4294967295U},
        {R"({"category":"JSON","case":"error","data":{"position":-2}})", "", -1, 4294967294U},
    };
    for (const auto& c : cases) {
        const thrown_error error = thrown_by(c.reply);
        EXPECT_EQ(error.text, c.text) << c.reply;
        EXPECT_EQ(error.number, c.number) << c.reply;
        EXPECT_EQ(error.position, c.position) << c.reply;
    }
}

TEST(json_error_event, failures_replace_the_event)
{
    struct failure_case {
        const char* reply;
        const char* message;
    };
    const failure_case cases[] = {
        {R"({"category":"JSON","case":"error","data":[1]})", "invalid map<K, T> key"},
        {R"({"category":"JSON","case":"error","data":{"offset":1}})", "invalid map<K, T> key"},
        {R"({"category":"JSON","case":"error","data":{"position":1.5}})", "inconsistent types ([float] vs [integer])"},
        {R"({"category":"JSON","case":"error","data":{"position":"1"}})", "inconsistent types ([string] vs [integer])"},
        {R"({"category":"JSON","case":"error","data":{"position":null}})",
         "inconsistent types ([bool/null] vs [integer])"},
        {R"({"category":"JSON","case":"state","data":{"position":1}})",
         "inconsistent case [status] from {error, error}"},
        {R"({"category":"JSON"})", "inconsistent case [<unknown case>] from {error, error}"},
    };
    for (const auto& c : cases) {
        try {
            json_event_json_error event(envelope_of(c.reply));
            ADD_FAILURE() << c.reply << " returned";
        } catch (const json_event_json_error&) {
            ADD_FAILURE() << c.reply << " threw the event";
        } catch (const std::exception& error) {
            EXPECT_STREQ(error.what(), c.message) << c.reply;
        }
    }
}

TEST(json_error_event, a_copy_reads_into_its_own_position)
{
    std::optional<json_event_json_error> kept;
    try {
        json_event_json_error event(envelope_of(R"({"category":"JSON","case":"error","data":{"position":3}})"));
    } catch (const json_event_json_error& thrown) {
        kept.emplace(thrown);
    }
    ASSERT_TRUE(kept);
    EXPECT_EQ(kept->position, 3U);
    EXPECT_EQ(parse_nested(std::string_view(R"({"position":8})"), kept->get_normal_data()), 0);
    EXPECT_EQ(kept->position, 8U);
}

}  // namespace
}  // namespace vistrel
