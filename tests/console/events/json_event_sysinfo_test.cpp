#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "console/events/json_event_sysinfo.hpp"
#include "tests/console/events/reply_feed.hpp"

namespace vistrel {
namespace {

using test::envelope_of;

json_event_sysinfo convert(const std::string& data)
{
    return json_event_sysinfo(
        envelope_of(R"({"category":"system","case":"state","sort":"information","data":)" + data + "}"));
}

std::string versions(const system_information& info)
{
    return to_string(info.hardware) + " " + to_string(info.firmware) + " " + to_string(info.json_schema) + " "
        + info.schema_url;
}

struct sysinfo_case {
    const char* name;
    const char* data;
    const char* versions;  // hardware, firmware, schema and URL
};

TEST(sysinfo_event, items)
{
    const sysinfo_case cases[] = {
        {"usual order",
         R"([{"item":"hardware","version":{"major":1,"minor":2}},{"item":"firmware","version":{"major":3,"minor":4,"note":"rc1"}},)"
         R"({"item":"JSON schema","version":{"major":5,"minor":6},"url":"http://x/s.json"}])",
         "1.2 3.4.rc1 5.6 http://x/s.json"},
        {"firmware, schema, hardware",
         R"([{"item":"firmware","version":{"major":3,"minor":4}},{"item":"JSON schema","url":"u","version":{"major":5,"minor":6}},)"
         R"({"item":"hardware","version":{"major":1,"minor":2}}])",
         "1.2 3.4 5.6 u"},
        {"version before item", R"([{"version":{"minor":9,"major":0},"item":"hardware"}])", "0.9 0.0 0.0 "},
        {"url before item and version", R"([{"url":"u","version":{"major":1,"minor":0},"item":"JSON schema"}])",
         "0.0 0.0 1.0 u"},
        {"schema without url stays pending", R"([{"item":"JSON schema","version":{"major":5,"minor":6}}])",
         "0.0 0.0 0.0 "},
        {"schema url in a later item is not the schema's",
         R"([{"item":"JSON schema","version":{"major":5,"minor":6}},{"url":"u"}])", "0.0 0.0 0.0 "},
        {"url of another item is not the schema's",
         R"([{"item":"hardware","url":"u","version":{"major":1,"minor":2}},{"item":"JSON schema","version":{"major":5,"minor":6}}])",
         "1.2 0.0 0.0 "},
        {"schema without url gives its version to no other item",
         R"([{"item":"JSON schema","version":{"major":5,"minor":6}},{"item":"firmware","version":{"major":3,"minor":4}}])",
         "0.0 3.4 0.0 "},
        {"0.0 is not received; a version in a later item is not its",
         R"([{"item":"hardware","version":{"major":0,"minor":0}},{"version":{"major":2,"minor":1}}])", "0.0 0.0 0.0 "},
        {"0.0 is not received; a later version of the item is",
         R"([{"item":"hardware","version":{"major":0,"minor":0},"version":{"major":2,"minor":1}}])", "2.1 0.0 0.0 "},
        {"a version lacking members keeps those read before in its item",
         R"([{"version":{"major":2},"version":{"minor":7},"item":"firmware"}])", "0.0 2.7 0.0 "},
        {"versions lacking members in other items are not combined",
         R"([{"version":{"major":2}},{"version":{"minor":7}},{"item":"firmware"}])", "0.0 0.0 0.0 "},
        {"an unknown item gives its version to no other item",
         R"([{"item":"bootloader","version":{"major":9,"minor":9}},{"item":"firmware"}])", "0.0 0.0 0.0 "},
        {"an unknown item first shifts nothing",
         R"([{"item":"bootloader","version":{"major":9,"minor":9}},{"item":"hardware","version":{"major":1,"minor":2}},)"
         R"({"item":"firmware","version":{"major":3,"minor":4}},{"item":"JSON schema","version":{"major":5,"minor":6},"url":"u"}])",
         "1.2 3.4 5.6 u"},
        {"the note of an unused version goes to no other item",
         R"([{"item":"bootloader","version":{"major":9,"minor":9,"note":"x"}},{"item":"firmware","version":{"major":3,"minor":4}}])",
         "0.0 3.4 0.0 "},
        {"a newer version of the item overwrites the pending one",
         R"([{"version":{"major":1,"minor":1},"version":{"major":3,"minor":4},"item":"firmware"}])", "0.0 3.4 0.0 "},
        {"item names are exact", R"([{"item":"Hardware","version":{"major":1,"minor":1}},{"item":"hardware "}])",
         "0.0 0.0 0.0 "},
        {"elements that are not objects",
         R"([1,"hardware",null,{"item":"hardware","version":{"major":1,"minor":0}},2.5])", "1.0 0.0 0.0 "},
        {"empty data", "[]", "0.0 0.0 0.0 "},
        {"numbers are unsigned", R"([{"item":"hardware","version":{"major":-1,"minor":4294967295}}])",
         "4294967295.4294967295 0.0 0.0 "},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(versions(convert(c.data)), c.versions) << c.name;
    }
}

TEST(sysinfo_event, reply_without_data)
{
    const json_event_sysinfo event(envelope_of(R"({"category":"system","case":"update","sort":"information"})"));
    EXPECT_EQ(versions(event), "0.0 0.0 0.0 ");
}

TEST(sysinfo_event, member_failures)
{
    struct failure_case {
        const char* data;
        const char* message;
    };
    const failure_case cases[] = {
        {R"([{"item":"hardware","build":1}])", "invalid map<K, T> key"},
        {R"([{"item":"hardware","version":{"major":1,"patch":0}}])", "invalid map<K, T> key"},
        {R"([{"item":"hardware","version":{"major":"1"}}])", "inconsistent types ([string] vs [integer])"},
        {R"([{"item":"hardware","version":{"major":1.5}}])", "inconsistent types ([float] vs [integer])"},
        {R"([{"item":"hardware","version":[1,2]}])", "inconsistent types ([array] vs [object])"},
        {R"([{"item":7}])", "inconsistent types ([integer] vs [string])"},
        {R"([{"url":null}])", "inconsistent types ([bool/null] vs [string])"},
        {R"([[1]])", "invalid map<K, T> key"},
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

TEST(sysinfo_event, version_text)
{
    EXPECT_EQ(to_string(item_version{2, 3, "rc1"}), "2.3.rc1");
    EXPECT_EQ(to_string(item_version{2, 3, ""}), "2.3");
    EXPECT_EQ(to_string(item_version{}), "0.0");
    EXPECT_EQ(to_string(item_version{4294967295U, 0, "x.y"}), "4294967295.0.x.y");
}

}  // namespace
}  // namespace vistrel
