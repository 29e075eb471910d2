#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "console/events/json_event_profiles.hpp"
#include "tests/console/events/edid_builder.hpp"
#include "tests/console/events/reply_feed.hpp"

namespace vistrel {
namespace {

using test::base64_of;
using test::envelope_of;

json_event_profiles convert(const std::string& data)
{
    return json_event_profiles(
        envelope_of(R"({"category":"user profiles","case":"state","sort":"download","data":)" + data + "}"));
}

// "slot:size:first byte" for each record.
std::string summary(const json_event_profiles& event)
{
    std::string text;
    for (const profile& record : event.profiles) {
        text += std::to_string(record.id) + ":" + std::to_string(record.edid_size) + ":"
            + std::to_string(record.edid[0]) + " ";
    }
    return text;
}

struct profiles_case {
    const char* name;
    const char* data;
    const char* records;
};

TEST(profiles_event, records)
{
    // "AAEC" decodes to 00 01 02, "AQ==" to 01, "/w" to FF.
    const profiles_case cases[] = {
        {"usual order", R"([{"profile":0,"edid":"AAEC"},{"profile":7,"edid":"AQ=="}])", "0:3:0 7:1:1 "},
        {"edid before profile", R"([{"edid":"AAEC","profile":0},{"edid":"AQ==","profile":7}])", "0:3:0 7:1:1 "},
        {"a profile split over two items is none", R"([{"profile":3},{"edid":"AQ=="}])", ""},
        {"edid first, slot in the next item is none", R"([{"edid":"AQ=="},{"profile":4}])", ""},
        {"missing padding", R"([{"profile":1,"edid":"/w"},{"profile":2,"edid":"AQE"}])", "1:1:255 2:2:1 "},
        {"invalid Base64 is dropped, the slot stays for its own item", R"([{"profile":1,"edid":"A A=","edid":"AQ=="}])",
         "1:1:1 "},
        {"invalid Base64 lends its slot to no other item", R"([{"profile":1,"edid":"A A="},{"edid":"AQ=="}])", ""},
        {"invalid Base64 first lends its slot to no other item",
         R"([{"edid":"A A=","profile":1},{"edid":"AQ==","profile":2}])", "2:1:1 "},
        {"a lone character is invalid", R"([{"profile":1,"edid":"A"}])", ""},
        {"an empty text waits for a real one in its item", R"([{"profile":5,"edid":"","edid":"AQ=="}])", "5:1:1 "},
        {"an empty text first lends its slot to no other item",
         R"([{"edid":"","profile":5},{"edid":"AQ==","profile":6}])", "6:1:1 "},
        {"an empty text takes no EDID of another item", R"([{"profile":5,"edid":""},{"edid":"AQ=="}])", ""},
        {"slot 254 is the last", R"([{"profile":254,"edid":"AQ=="}])", "254:1:1 "},
        {"slot 255 is never taken", R"([{"profile":255,"edid":"AQ=="},{"profile":6}])", ""},
        {"after slot 255 a valid slot of the item takes the EDID", R"([{"profile":255,"edid":"AQ==","profile":6}])",
         "6:1:1 "},
        {"negative slots are never taken", R"([{"profile":-1,"edid":"AQ=="}])", ""},
        {"a slot above 32 bits keeps its low half", R"([{"profile":4294967298,"edid":"AQ=="}])", "2:1:1 "},
        {"a later slot of the item replaces a pending one", R"([{"profile":1,"profile":2,"edid":"AQ=="}])", "2:1:1 "},
        {"pending slots end with their items", R"([{"profile":1},{"profile":2},{"edid":"AQ=="}])", ""},
        {"elements that are not objects", R"([3,"AQ==",{"profile":1,"edid":"AQ=="}])", "1:1:1 "},
        {"empty data", "[]", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(summary(convert(c.data)), c.records) << c.name;
    }
}

TEST(profiles_event, a_whole_edid_round_trips)
{
    edid_bytes edid{};
    for (std::size_t i = 0; i < edid.size(); ++i) {
        edid[i] = static_cast<std::uint8_t>(i * 7 + 3);
    }
    const std::string text = base64_of(edid.data(), edid.size());
    ASSERT_EQ(text.size(), 344U);
    const json_event_profiles event = convert(R"([{"profile":2,"edid":")" + text + "\"}]");
    ASSERT_EQ(event.profiles.size(), 1U);
    EXPECT_EQ(event.profiles[0].edid_size, 256U);
    EXPECT_EQ(event.profiles[0].edid, edid);
}

// A text that decodes to more than the 256 bytes of a profile is rejected like invalid
// Base64, whether it is padded or not, so no record ever holds a cut EDID.
TEST(profiles_event, an_over_long_edid_is_rejected)
{
    const std::vector<std::uint8_t> bytes(300, 0xAB);
    for (const std::size_t count : {257U, 258U, 300U}) {
        std::string text = base64_of(bytes.data(), count);
        for (const bool padded : {true, false}) {
            if (!padded) {
                while (!text.empty() && text.back() == '=') {
                    text.pop_back();
                }
            }
            const json_event_profiles event = convert(R"([{"profile":1,"edid":")" + text + R"(","edid":"AQ=="}])");
            EXPECT_EQ(summary(event), "1:1:1 ") << count << (padded ? " padded" : " unpadded");
        }
    }
}

TEST(profiles_event, member_failures)
{
    struct failure_case {
        const char* data;
        const char* message;
    };
    const failure_case cases[] = {
        {R"([{"profile":1,"name":"x"}])", "invalid map<K, T> key"},
        {R"([{"profile":"1"}])", "inconsistent types ([string] vs [integer])"},
        {R"([{"profile":1.0}])", "inconsistent types ([float] vs [integer])"},
        {R"([{"edid":[0,1]}])", "inconsistent types ([array] vs [string])"},
    };
    for (const auto& c : cases) {
        try {
            convert(c.data);
            ADD_FAILURE() << c.data << " was accepted";
        } catch (const std::exception& error) {
            EXPECT_STREQ(error.what(), c.message) << c.data;
        }
    }
}

}  // namespace
}  // namespace vistrel
