#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "console/events/json_event_base.hpp"
#include "tests/console/events/reply_feed.hpp"

namespace vistrel {
namespace {

using test::envelope_of;
using test::feed_reply;

std::vector<std::uint8_t> bytes(std::string_view text)
{
    return {text.begin(), text.end()};
}

TEST(envelope, members_in_any_order)
{
    for (const char* text : {
             R"({"category":"user profiles","case":"state","sort":"download","data":[{"profile":1}]})",
             R"({"data":[{"profile":1}],"sort":"download","case":"state","category":"user profiles"})",
             R"({"case":"state","data":[{"profile":1}],"category":"user profiles","sort":"download"})",
         }) {
        const json_event_base envelope = envelope_of(text);
        EXPECT_EQ(envelope.category, category_code::user_profiles) << text;
        EXPECT_EQ(envelope.event_case, case_code::state) << text;
        EXPECT_EQ(envelope.sort, "download") << text;
        EXPECT_EQ(envelope.data_text, bytes(R"([{"profile":1}])")) << text;
        EXPECT_FALSE(envelope.data_is_object) << text;
        EXPECT_FALSE(envelope.sort_is_object) << text;
    }
}

TEST(envelope, every_reply_text_of_the_vocabularies)
{
    const std::pair<const char*, category_code> categories[] = {{"JSON", category_code::json},
                                                                {"system", category_code::system},
                                                                {"HID", category_code::hid},
                                                                {"CAN", category_code::can},
                                                                {"user profiles", category_code::user_profiles}};
    for (const auto& [text, code] : categories) {
        EXPECT_EQ(envelope_of(std::string(R"({"category":")") + text + "\"}").category, code) << text;
    }
    const std::pair<const char*, case_code> cases[] = {{"get", case_code::get},
                                                       {"set", case_code::set},
                                                       {"update", case_code::update},
                                                       {"state", case_code::state},
                                                       {"error", case_code::error}};
    for (const auto& [text, code] : cases) {
        EXPECT_EQ(envelope_of(std::string(R"({"case":")") + text + "\"}").event_case, code) << text;
    }
}

TEST(envelope, objects_in_an_error_reply)
{
    const json_event_base envelope =
        envelope_of(R"({"category":"JSON","case":"error","sort":{"number":3,"message":"x"},"data":{"position":9}})");
    EXPECT_TRUE(envelope.sort_is_object);
    EXPECT_EQ(envelope.sort_details, bytes(R"({"number":3,"message":"x"})"));
    EXPECT_TRUE(envelope.data_is_object);
    EXPECT_EQ(envelope.data_text, bytes(R"({"position":9})"));
    EXPECT_EQ(envelope.sort, "");
}

TEST(envelope, escaped_keys_and_texts_are_decoded_before_comparison)
{
    const json_event_base envelope =
        envelope_of(R"({"c\u0061tegory":"sys\u0074em","\u0063ase":"st\u0061te","sort":"d\u00e9j\u00e0 vu"})");
    EXPECT_EQ(envelope.category, category_code::system);
    EXPECT_EQ(envelope.event_case, case_code::state);
    EXPECT_EQ(envelope.sort, "d\xC3\xA9j\xC3\xA0 vu");
}

struct failure_case {
    const char* text;
    const char* message;
};

TEST(envelope, failures)
{
    const failure_case cases[] = {
        {R"([1])", "Cannot parse events that have values without keys."},
        {R"(["category"])", "Cannot parse events that have values without keys."},
        {R"({"category":"system","kind":"x"})", "unknown key [kind]"},
        {R"({"Category":"system"})", "unknown key [Category]"},
        {R"({"k\u00e9y":1})", "unknown key [k\xC3\xA9y]"},
        {R"({"category":1})", "Wrong value type [string] for key [category]."},
        {R"({"category":null})", "Wrong value type [string] for key [category]."},
        {R"({"case":["get"]})", "Wrong value type [string] for key [case]."},
        {R"({"sort":7})", "Wrong value type [string] for key [sort]."},
        {R"({"sort":[]})", "Wrong value type [string] for key [sort]."},
        {R"({"data":"x"})", "Wrong value type [array] for key [data]."},
        {R"({"data":true})", "Wrong value type [array] for key [data]."},
        {R"({"category":"System"})", "unrecognized category [System]"},
        {R"({"category":"user_profiles"})", "unrecognized category [user_profiles]"},
        {R"({"category":""})", "unrecognized category []"},
        {R"({"case":"Error"})", "unrecognized case [Error]"},
        {R"({"case":"change"})", "unrecognized case [change]"},
        {R"({"category":"system","case":"state","data":{"a":1}})", "Wrong value type [object] for key [category]."},
        {R"({"case":"error","data":{}})", "Wrong value type [object] for key [category]."},
        {R"({"category":"system","case":"state","sort":{"number":1}})", "Wrong value type [object] for key [case]."},
        {R"({"category":"JSON","sort":{}})", "Wrong value type [object] for key [case]."},
    };
    for (const auto& c : cases) {
        json_event_base envelope;
        try {
            feed_reply(envelope, c.text);
            ADD_FAILURE() << c.text << " was accepted";
        } catch (const std::runtime_error& error) {
            EXPECT_STREQ(error.what(), c.message) << c.text;
        }
    }
}

// A reply read in steps, cut anywhere, fills the envelope as the whole reply does: escaped
// keys and texts, and objects before the members that allow them (a part of a reply is not
// checked).
TEST(envelope, a_reply_in_pieces_equals_the_whole_reply)
{
    const std::string texts[] = {
        R"({"c\u0061se":"state","category":"sys\u0074em","sort":"information","data":[{"item":"x\"y"}]})",
        R"({"data":{"position":1},"sort":{"number":1},"category":"JSON","case":"error"})",
    };
    for (const std::string& text : texts) {
        const json_event_base whole = envelope_of(text);
        for (std::size_t cut = 1; cut < text.size(); ++cut) {
            json_event_base envelope;
            ASSERT_EQ(feed_reply(envelope, text, {cut}), MINIJSON_OK) << text << " cut at " << cut;
            EXPECT_EQ(envelope.category, whole.category) << text << " cut at " << cut;
            EXPECT_EQ(envelope.event_case, whole.event_case) << text << " cut at " << cut;
            EXPECT_EQ(envelope.sort, whole.sort) << text << " cut at " << cut;
            EXPECT_EQ(envelope.sort_details, whole.sort_details) << text << " cut at " << cut;
            EXPECT_EQ(envelope.data_text, whole.data_text) << text << " cut at " << cut;
        }
    }
}

TEST(envelope, repeated_members_and_reset)
{
    json_event_base envelope = envelope_of(
        R"({"category":"JSON","case":"get","case":"error","sort":{"number":1},"sort":"s","data":{"position":2},"data":[3]})");
    EXPECT_EQ(envelope.event_case, case_code::error);
    EXPECT_EQ(envelope.sort, "s");
    EXPECT_EQ(envelope.sort_details, bytes(R"({"number":1})"));
    EXPECT_TRUE(envelope.sort_is_object);
    EXPECT_EQ(envelope.data_text, bytes("[3]"));
    EXPECT_TRUE(envelope.data_is_object);  // stays set until the reset

    envelope.reset();
    EXPECT_EQ(envelope.category, category_code::none);
    EXPECT_EQ(envelope.event_case, case_code::none);
    EXPECT_EQ(envelope.sort, "");
    EXPECT_TRUE(envelope.sort_details.empty());
    EXPECT_TRUE(envelope.data_text.empty());
    EXPECT_FALSE(envelope.data_is_object);
    EXPECT_FALSE(envelope.sort_is_object);
    EXPECT_NO_THROW(envelope.finish());

    // The reset envelope takes the next reply like a new one.
    EXPECT_EQ(feed_reply(envelope, R"({"category":"CAN","case":"state"})"), MINIJSON_OK);
    EXPECT_EQ(envelope.category, category_code::can);
    EXPECT_FALSE(envelope.data_is_object);
}

TEST(envelope, display_names)
{
    EXPECT_EQ(category_display_name(category_code::hid), "HMI");
    EXPECT_EQ(category_display_name(category_code::user_profiles), "User profiles");
    EXPECT_EQ(category_display_name(category_code::none), "<unknown category>");
    EXPECT_EQ(category_display_name(static_cast<category_code>(5)), "<unknown category>");
    EXPECT_EQ(case_display_name(case_code::update), "change");
    EXPECT_EQ(case_display_name(case_code::state), "status");
    EXPECT_EQ(case_display_name(case_code::none), "<unknown case>");
    EXPECT_EQ(case_display_name(static_cast<case_code>(5)), "<unknown case>");
}

}  // namespace
}  // namespace vistrel
