// The simulator answers each exchange of the device over its pseudo-terminal; the host side
// here is plain POSIX I/O.
#include <chrono>
#include <string>

#include <gtest/gtest.h>

#include "tests/support/sim_fixture.hpp"
#include "tests/tools/sim/host_port.hpp"
#include "tools/sim/base64.hpp"
#include "tools/sim/edid_builder.hpp"
#include "tools/sim/messages.hpp"

namespace vistrel::sim_test {
namespace {

using namespace std::chrono_literals;
using test_support::sim_process;
using test_support::sim_settings;
using sim::json;

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
    EXPECT_EQ(ask(sim, R"({"category":"user profiles","case":"get","sort":"download",)"
                            R"("data":[{"profile":7},{"profile":8},{"profile":0}]})"),
              R"({"category":"user profiles","case":"state","sort":"download","data":[)"
              R"({"profile":7,"edid":")" + edid_text(7) + R"("},{"profile":0,"edid":")" + edid_text(0) +
                  R"("}]})" "\r\n");
}

}  // namespace
}  // namespace vistrel::sim_test
