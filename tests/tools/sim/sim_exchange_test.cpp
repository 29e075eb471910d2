// The simulator answers each exchange of the device over its pseudo-terminal; the host side
// here is plain POSIX I/O.
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <unistd.h>

#include "tests/support/sim_fixture.hpp"
#include "tests/tools/sim/host_port.hpp"
#include "tools/sim/base64.hpp"
#include "tools/sim/edid_builder.hpp"
#include "tools/sim/messages.hpp"

namespace vistrel::sim_test {
namespace {

using namespace std::chrono_literals;
using sim::json;
using test_support::sim_process;
using test_support::sim_settings;

constexpr auto reply_bound = 2000ms;
constexpr auto silence_window = 300ms;

const std::string information_request = R"({"category":"system","case":"get","sort":"information"})";

std::string ask(const sim_process& sim, const std::string& request, std::size_t lines = 1)
{
    host_port host(sim.port());
    host.send(request);
    return host.read_lines(lines, reply_bound);
}

std::string edid_text(int slot)
{
    const auto edid = sim::build_edid(sim::default_panels()[static_cast<std::size_t>(slot)]);
    return sim::base64_encode(edid);
}

TEST(sim_exchange, system_information_reply_is_exact_and_request_is_logged)
{
    sim_process sim;
    EXPECT_EQ(ask(sim, information_request),
              R"({"category":"system","case":"state","sort":"information","data":[)"
              R"({"item":"hardware","version":{"major":1,"minor":3,"note":"B"}},)"
              R"({"item":"firmware","version":{"major":2,"minor":7}},)"
              R"({"item":"JSON schema","version":{"major":1,"minor":1},)"
              R"("url":"https://vistrel.example/schema/device-1.1.json"}]})"
              "\r\n");
    EXPECT_EQ(sim.requests(), std::vector<std::string>{information_request + "\n"});
}

TEST(sim_exchange, system_information_takes_versions_url_and_line_end_from_options)
{
    sim_process sim(std::vector<std::string>{"--hardware", "4.5.rc1", "--firmware", "0.9", "--schema", "3.0.x",
                                             "--schema-url", "http://s/u", "--line-end", "lf"});
    EXPECT_EQ(ask(sim, information_request),
              R"({"category":"system","case":"state","sort":"information","data":[)"
              R"({"item":"hardware","version":{"major":4,"minor":5,"note":"rc1"}},)"
              R"({"item":"firmware","version":{"major":0,"minor":9}},)"
              R"({"item":"JSON schema","version":{"major":3,"minor":0,"note":"x"},"url":"http://s/u"}]})"
              "\n");
}

TEST(sim_exchange, reply_line_end_is_selectable)
{
    for (const auto& [option, line_end] : {std::pair{"crlf", "\r\n"}, {"lf", "\n"}, {"cr", "\r"}}) {
        SCOPED_TRACE(option);
        sim_process sim(std::vector<std::string>{"--line-end", option});
        host_port host(sim.port());
        host.send(information_request);
        const std::string reply = host.read_all(silence_window);
        ASSERT_GT(reply.size(), 2U);
        EXPECT_EQ(reply.substr(reply.rfind('}') + 1), line_end);
    }
}

TEST(sim_exchange, download_answers_the_requested_slots_that_exist)
{
    sim_process sim;
    EXPECT_EQ(ask(sim,
                  R"({"category":"user profiles","case":"get","sort":"download",)"
                  R"("data":[{"profile":7},{"profile":8},{"profile":0}]})"),
              R"({"category":"user profiles","case":"state","sort":"download","data":[)"
              R"({"profile":7,"edid":")"
                  + edid_text(7) + R"("},{"profile":0,"edid":")" + edid_text(0)
                  + R"("}]})"
                    "\r\n");
}

std::string download_request(int slot)
{
    return R"({"category":"user profiles","case":"get","sort":"download","data":[{"profile":)" + std::to_string(slot)
        + "}]}";
}

std::string downloaded_edid(const sim_process& sim, int slot)
{
    const std::string reply = ask(sim, download_request(slot));
    const auto object = json::parse(reply);
    return object.at("data").at(0).at("edid").get<std::string>();
}

TEST(sim_exchange, upload_is_silent_and_stored_reset_is_silent_and_restores_the_default)
{
    sim_process sim;
    const std::string uploaded = sim::base64_encode(std::vector<std::uint8_t>(256, 0xA5));
    {
        host_port host(sim.port());
        host.send(R"({"category":"user profiles","case":"set","sort":"upload","data":[{"profile":2,"edid":")" + uploaded
                  + R"("}]})");
        EXPECT_EQ(host.read_all(silence_window), "");
    }
    EXPECT_EQ(downloaded_edid(sim, 2), uploaded);
    EXPECT_EQ(downloaded_edid(sim, 3), edid_text(3));
    {
        host_port host(sim.port());
        host.send(R"({"category":"user profiles","case":"set","sort":"reset","data":[{"profile":2}]})");
        EXPECT_EQ(host.read_all(silence_window), "");
    }
    EXPECT_EQ(downloaded_edid(sim, 2), edid_text(2));
}

TEST(sim_exchange, profiles_folder_replaces_the_defaults)
{
    const auto folder = std::filesystem::path(testing::TempDir()) / ("sim-profiles-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    std::ofstream(folder / "slot1.bin", std::ios::binary) << std::string(128, '\x11');
    {
        sim_process sim(std::vector<std::string>{"--profiles", folder.string()});
        EXPECT_EQ(downloaded_edid(sim, 1), sim::base64_encode(std::vector<std::uint8_t>(128, 0x11)));
        EXPECT_EQ(downloaded_edid(sim, 0), edid_text(0));
    }
    std::filesystem::remove_all(folder);
}

TEST(sim_exchange, can_get_answers_values_in_raw_physical_and_textual_form)
{
    sim_process sim;
    EXPECT_EQ(
        ask(sim,
            R"({"category":"CAN","case":"get","sort":"signal","data":[)"
            R"({"identifier":{"code":1}},{"identifier":{"code":2}},{"identifier":{"code":5}},)"
            R"({"identifier":{"code":6}}]})"),
        R"({"category":"CAN","case":"state","sort":"signal","data":[)"
        R"({"identifier":{"code":1,"name":"DI_KL_58xd"},"value":{"raw":200,"physical":200}},)"
        R"({"identifier":{"code":2,"name":"DI_KL_58xs"},"value":{"raw":160,"physical":{"numerical":80,"unit":"%"}}},)"
        R"({"identifier":{"code":5,"name":"LS_Helligkeit_FW"},"value":{"raw":1022,"textual":"Init"}},)"
        R"({"identifier":{"code":6,"name":"RLS_Vorfeldhelligkeit_Boost"},"value":{"raw":15,"textual":"bis_6428_Lux"}}]})"
        "\r\n");
}

TEST(sim_exchange, can_set_is_silent_and_a_later_get_shows_the_values)
{
    sim_process sim;
    {
        host_port host(sim.port());
        host.send(R"({"category":"CAN","case":"set","sort":"signal","data":[)"
                  R"({"identifier":{"code":1},"value":{"textual":"Fehler"}},)"
                  R"({"identifier":{"code":3},"value":{"physical":1.0E0}},)"
                  R"({"identifier":{"code":5},"value":{"physical":6.126E3}},)"
                  R"({"identifier":{"code":6},"value":{"physical":1.1E1}}]})");
        EXPECT_EQ(host.read_all(silence_window), "");
    }
    const auto reply = json::parse(ask(sim,
                                       R"({"category":"CAN","case":"get","sort":"signal","data":[)"
                                       R"({"identifier":{"code":1}},{"identifier":{"code":3}},)"
                                       R"({"identifier":{"code":5}},{"identifier":{"code":6}}]})"));
    const auto& data = reply.at("data");
    EXPECT_EQ(data.at(0).at("value"), json::parse(R"({"raw":255,"textual":"Fehler"})"));
    EXPECT_EQ(data.at(1).at("value"), json::parse(R"({"raw":1,"physical":1})"));
    EXPECT_EQ(data.at(2).at("value"), json::parse(R"({"raw":1021,"physical":{"numerical":6126,"unit":"lx"}})"));
    EXPECT_EQ(data.at(3).at("value"), json::parse(R"({"raw":11,"textual":"bis_9412_Lux"})"));
}

TEST(sim_exchange, unreadable_request_gets_a_json_error_with_the_position)
{
    sim_process sim;
    EXPECT_EQ(
        ask(sim, R"({"category":"system","case":get})"),
        R"({"category":"JSON","case":"error","sort":{"number":1,"message":"syntax error"},"data":{"position":28}})"
        "\r\n");
}

TEST(sim_exchange, survives_many_opens_and_closes)
{
    sim_process sim;
    for (int round = 0; round < 20; ++round) {
        host_port idle(sim.port());  // opened and closed without a request
    }
    for (int round = 0; round < 5; ++round) {
        SCOPED_TRACE(round);
        EXPECT_NE(ask(sim, information_request).find(R"("case":"state")"), std::string::npos);
    }
    EXPECT_EQ(sim.requests().size(), 5U);
}

TEST(sim_exchange, reply_for_a_host_that_has_closed_the_port_never_reaches_the_next_host)
{
    // The first host leaves before its (delayed) reply is written.
    sim_process sim(std::vector<std::string>{"--fault", R"({"request":1,"delay_ms":150})"});
    {
        host_port host(sim.port());
        host.send(information_request);
    }
    ASSERT_TRUE(sim.wait_for_note("dropped", reply_bound));
    host_port host(sim.port());
    host.send(download_request(0));
    const std::string reply = host.read_lines(1, reply_bound);
    EXPECT_EQ(reply.rfind(R"({"category":"user profiles")", 0), 0U) << reply;
    EXPECT_EQ(host.read_all(silence_window), "");
}

}  // namespace
}  // namespace vistrel::sim_test
