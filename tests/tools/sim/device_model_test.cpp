// What the device answers to requests it cannot serve, and what such requests leave behind.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tools/sim/base64.hpp"
#include "tools/sim/device_model.hpp"
#include "tools/sim/device_request.hpp"

namespace vistrel::sim_test {
namespace {

using sim::json;

std::vector<std::string> answer(sim::device_model& model, const std::string& line)
{
    std::vector<std::string> texts;
    for (const auto& reply : model.answer(sim::read_request(line))) {
        texts.push_back(sim::compact_text(reply));
    }
    return texts;
}

std::string error(const char* category, int number, const char* message, const char* data = nullptr)
{
    std::string text = std::string(R"({"category":")") + category + R"(","case":"error","sort":{"number":)"
        + std::to_string(number) + R"(,"message":")" + message + "\"}";
    if (data != nullptr) {
        text += std::string(R"(,"data":)") + data;
    }
    return text + "}";
}

std::string upload(const std::string& items)
{
    return R"({"category":"user profiles","case":"set","sort":"upload","data":[)" + items + "]}";
}

std::string can_set(const std::string& items)
{
    return R"({"category":"CAN","case":"set","sort":"signal","data":[)" + items + "]}";
}

struct error_case {
    const char* name;
    std::string request;
    std::string reply;
};

TEST(device_model, requests_it_cannot_serve_get_an_error_of_their_category)
{
    const std::string long_edid = sim::base64_encode(std::vector<std::uint8_t>(257, 1));
    const error_case cases[] = {
        {"not JSON", "{\"category\":", error("JSON", 1, "syntax error", R"({"position":12})")},
        {"not an object", "[1]", error("JSON", 2, "request is not an object", R"({"position":0})")},
        {"number beyond a double", can_set(R"({"identifier":{"code":1},"value":{"physical":2.53E412}})"),
         error("JSON", 1, "number out of range", R"({"position":107})")},  // its last byte
        {"unknown category", R"({"category":"system "})", error("JSON", 3, "unknown category", R"({"position":0})")},
        {"system set", R"({"category":"system","case":"set","sort":"information"})",
         error("system", 0x0101, "unknown request")},
        {"HID request", R"({"category":"HID","case":"get","sort":"button"})", error("HID", 0x0201, "unknown request")},
        {"profile sort unknown", R"({"category":"user profiles","case":"get","sort":"upload"})",
         error("user profiles", 0x0401, "unknown request")},
        {"download of a non-number",
         R"({"category":"user profiles","case":"get","sort":"download","data":[{"profile":"1"}]})",
         error("user profiles", 0x0402, "profile numbers expected")},
        {"upload without edid", upload(R"({"profile":1})"),
         error("user profiles", 0x0402, "profile and edid expected")},
        {"upload into slot 8", upload(R"({"profile":8,"edid":"AAAA"})"),
         error("user profiles", 0x0403, "no such profile slot")},
        {"upload of bad base64", upload(R"({"profile":1,"edid":"AA*A"})"),
         error("user profiles", 0x0404, "invalid EDID")},
        {"upload of 257 bytes", upload(R"({"profile":1,"edid":")" + long_edid + "\"}"),
         error("user profiles", 0x0404, "invalid EDID")},
        {"reset of slot -1", R"({"category":"user profiles","case":"set","sort":"reset","data":[{"profile":-1}]})",
         error("user profiles", 0x0403, "no such profile slot")},
        {"CAN sort unknown", R"({"category":"CAN","case":"get","sort":"signals"})",
         error("CAN", 0x0304, "unknown request", "[]")},
        {"CAN unknown code", can_set(R"({"identifier":{"code":0},"value":{"raw":1}})"),
         error("CAN", 0x0301, "unknown signal", R"([{"identifier":{"code":0}}])")},
        {"CAN percent above 100",
         can_set(R"({"identifier":{"code":2},"value":{"physical":{"numerical":100.5,"unit":"%"}}})"),
         error("CAN", 0x0302, "value out of range for DI_KL_58xs",
               R"([{"identifier":{"code":2,"name":"DI_KL_58xs"}}])")},
        {"CAN negative raw", can_set(R"({"identifier":{"code":1},"value":{"raw":-1}})"),
         error("CAN", 0x0302, "value out of range for DI_KL_58xd",
               R"([{"identifier":{"code":1,"name":"DI_KL_58xd"}}])")},
        {"CAN Init for the night design", can_set(R"({"identifier":{"code":3},"value":{"textual":"Init"}})"),
         error("CAN", 0x0303, "invalid value for DI_Display_Nachtdesign",
               R"([{"identifier":{"code":3,"name":"DI_Display_Nachtdesign"}}])")},
        {"CAN unknown lux band", can_set(R"({"identifier":{"code":6},"value":{"textual":"bis_1_Lux"}})"),
         error("CAN", 0x0303, "invalid value for RLS_Vorfeldhelligkeit_Boost",
               R"([{"identifier":{"code":6,"name":"RLS_Vorfeldhelligkeit_Boost"}}])")},
        {"CAN set without value", can_set(R"({"identifier":{"code":4}})"),
         error("CAN", 0x0303, "missing value for DI_KL_58xt", R"([{"identifier":{"code":4,"name":"DI_KL_58xt"}}])")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        sim::device_model model;
        EXPECT_EQ(answer(model, c.request), std::vector<std::string>{c.reply});
    }
}

TEST(device_model, failed_upload_stores_none_of_its_profiles)
{
    sim::device_model model;
    const auto before = model.profiles().slot(1);
    answer(model, upload(R"({"profile":1,"edid":"AAAA"},{"profile":9,"edid":"AAAA"})"));
    EXPECT_EQ(model.profiles().slot(1), before);
}

TEST(device_model, can_set_stores_the_good_signals_and_reports_each_bad_one)
{
    sim::device_model model;
    const auto replies = answer(model,
                                can_set(R"({"identifier":{"code":1},"value":{"raw":300}},)"
                                        R"({"identifier":{"code":4},"value":{"physical":7.0E1}},)"
                                        R"({"identifier":{"code":9},"value":{"raw":1}})"));
    ASSERT_EQ(replies.size(), 2U);
    EXPECT_NE(replies[0].find(R"("number":770)"), std::string::npos) << replies[0];
    EXPECT_NE(replies[1].find(R"("number":769)"), std::string::npos) << replies[1];
    const auto* dimming = sim::signal_store::find(4);
    EXPECT_EQ(model.signals().raw(*dimming), 70);
    EXPECT_EQ(model.signals().raw(*sim::signal_store::find(1)), 200);  // unchanged
}

TEST(device_model, can_values_take_every_accepted_form)
{
    struct form_case {
        int code;
        const char* value;
        int raw;
    };
    const form_case cases[] = {
        {1, R"({"raw":254})", 254},  // raw "Init"
        {1, R"({"physical":2.53E2})", 253},  // real
        {2, R"({"physical":{"numerical":50.5,"unit":"%"}})", 101},  // object, half-percent steps
        {5, R"({"physical":6126})", 1021},  // integer, 6 lx steps
        {5, R"({"textual":"Fehler","raw":3})", 1023},  // textual wins
        {6, R"({"textual":"groesser_24413_Lux"})", 0},
        {6, R"({"physical":1.5E1})", 15},  // band number from the dialog
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        sim::device_model model;
        const auto replies = answer(
            model, can_set(R"({"identifier":{"code":)" + std::to_string(c.code) + R"(},"value":)" + c.value + "}"));
        EXPECT_TRUE(replies.empty());
        EXPECT_EQ(model.signals().raw(*sim::signal_store::find(c.code)), c.raw);
    }
}

TEST(device_model, a_deeply_nested_value_is_refused_like_any_value_that_is_no_object)
{
    // Nearly as long as a request line may be; a copy of the value took a stack frame per level.
    const std::size_t levels = 500'000;
    sim::device_model model;
    const auto replies = answer(
        model,
        can_set(R"({"identifier":{"code":1},"value":)" + std::string(levels, '[') + std::string(levels, ']') + "}"));
    ASSERT_EQ(replies.size(), 1U);
    EXPECT_NE(replies[0].find(R"("number":771,"message":"missing value for DI_KL_58xd")"), std::string::npos)
        << replies[0];
}

TEST(device_model, download_and_can_get_without_data_answer_everything)
{
    sim::device_model model;
    const auto profiles =
        json::parse(answer(model, R"({"category":"user profiles","case":"get","sort":"download"})").at(0));
    EXPECT_EQ(profiles.at("data").size(), 8U);
    const auto signals = json::parse(answer(model, R"({"category":"CAN","case":"get","sort":"signal"})").at(0));
    EXPECT_EQ(signals.at("data").size(), 6U);
}

}  // namespace
}  // namespace vistrel::sim_test
