// Fault injection as the host sees it on the port (plain POSIX I/O).
#include <chrono>
#include <string>
#include <vector>

#include <cerrno>

#include <gtest/gtest.h>

#include "tests/support/sim_fixture.hpp"
#include "tests/tools/sim/host_port.hpp"

namespace vistrel::sim_test {
namespace {

using namespace std::chrono_literals;
using test_support::sim_process;
using test_support::sim_settings;

constexpr auto reply_bound = 2000ms;
constexpr auto silence_window = 300ms;

const std::string information_request = R"({"category":"system","case":"get","sort":"information"})";
const std::string upload_request =
    R"({"category":"user profiles","case":"set","sort":"upload","data":[{"profile":1,"edid":"AAAA"}]})";
const std::string can_get_request =
    R"({"category":"CAN","case":"get","sort":"signal","data":[{"identifier":{"code":4}},{"identifier":{"code":5}}]})";
const std::string information_reply = R"({"category":"system","case":"state","sort":"information","data":[)"
                                      R"({"item":"hardware","version":{"major":1,"minor":3,"note":"B"}},)"
                                      R"({"item":"firmware","version":{"major":2,"minor":7}},)"
                                      R"({"item":"JSON schema","version":{"major":1,"minor":1},)"
                                      R"("url":"https://vistrel.example/schema/device-1.1.json"}]})";
const std::string hid_update =
    R"({"category":"HID","case":"update","sort":"button","data":[{"button":2,"pressed":true}]})";

sim_process with_rule(const std::string& rule)
{
    return sim_process(std::vector<std::string>{"--fault", rule});
}

struct single_write_case {
    const char* name;
    std::string rule;
    std::string request;
    std::string expected;
};

TEST(sim_fault, replaced_or_decorated_replies_arrive_byte_for_byte)
{
    const single_write_case cases[] = {
        {"error of the request's category with number and message",
         R"({"category":"system","reply":"error","number":263,"message":"busy"})", information_request,
         R"({"category":"system","case":"error","sort":{"number":263,"message":"busy"}})"
         "\r\n"},
        {"upload answered with an error", R"({"category":"user profiles","sort":"upload","reply":"error"})",
         upload_request,
         R"({"category":"user profiles","case":"error","sort":{"number":1040,"message":"simulated failure"}})"
         "\r\n"},
        {"CAN error names the first signal of the request",
         R"({"category":"CAN","reply":"error","number":789,"message":"not now"})", can_get_request,
         R"({"category":"CAN","case":"error","sort":{"number":789,"message":"not now"},)"
         R"("data":[{"identifier":{"code":4,"name":"DI_KL_58xt"}}]})"
         "\r\n"},
        {"JSON error", R"({"reply":"json-error","position":7})", information_request,
         R"({"category":"JSON","case":"error","sort":{"number":1,"message":"syntax error"},"data":{"position":7}})"
         "\r\n"},
        {"garbage", R"({"reply":"garbage","garbage":"\u0001#x"})", information_request, "\x01#x\r\n"},
        {"text in place of the reply", R"({"reply":"text","text":"{\"data\":[],\"category\":\"system\"}"})",
         information_request, "{\"data\":[],\"category\":\"system\"}\r\n"},
        {"line end inside the object", R"({"reply":"broken-line"})", information_request,
         R"({"category":"system",)"
         "\r\n"
             + information_reply.substr(21) + "\r\n"},
        {"notification in the same write", R"({"notify":"HID"})", information_request,
         hid_update + "\r\n" + information_reply + "\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        sim_process sim = with_rule(c.rule);
        host_port host(sim.port());
        host.send(c.request);
        const auto pieces = host.read_pieces(silence_window);
        ASSERT_EQ(pieces.size(), 1U);
        EXPECT_EQ(pieces[0], c.expected);
    }
}

TEST(sim_fault, split_reply_arrives_in_pieces_cut_inside_a_string_and_between_cr_and_lf)
{
    sim_process sim = with_rule(R"({"split":["string","inside-line-end"],"pause_ms":150})");
    host_port host(sim.port());
    host.send(information_request);
    const auto pieces = host.read_pieces(1000ms);
    const std::vector<std::string> expected = {R"({"category":"sy)", information_reply.substr(15) + "\r", "\n"};
    EXPECT_EQ(pieces, expected);
}

TEST(sim_fault, separate_notification_comes_in_its_own_write_before_the_reply)
{
    sim_process sim = with_rule(R"({"notify":"CAN","notify_separate":true,"notify_pause_ms":150})");
    host_port host(sim.port());
    host.send(information_request);
    const auto pieces = host.read_pieces(1000ms);
    ASSERT_EQ(pieces.size(), 2U);
    EXPECT_EQ(pieces[0].rfind(R"({"category":"CAN","case":"update","sort":"signal",)", 0), 0U) << pieces[0];
    EXPECT_EQ(pieces[1], information_reply + "\r\n");
}

TEST(sim_fault, delayed_reply_comes_after_the_pause)
{
    sim_process sim = with_rule(R"({"delay_ms":400})");
    host_port host(sim.port());
    host.send(information_request);
    EXPECT_EQ(host.read_all(100ms), "");
    EXPECT_EQ(host.read_lines(1, reply_bound), information_reply + "\r\n");
}

TEST(sim_fault, rule_for_the_nth_request_or_a_category_applies_only_there)
{
    sim_settings settings;
    settings.scenario = R"([{"request":2,"reply":"silent"},{"category":"system","times":1,"reply":"garbage"}])";
    sim_process sim(settings);
    const auto ask = [&sim](const std::string& request) {
        host_port host(sim.port());
        host.send(request);
        return host.read_all(silence_window);
    };
    EXPECT_EQ(ask(information_request), "#?garbage\x01\x7F\r\n");  // system, first time
    EXPECT_EQ(ask(information_request), "");  // request 2
    EXPECT_EQ(ask(information_request), information_reply + "\r\n");  // the garbage rule is used up
}

TEST(sim_fault, unavailable_signal_answers_error_0x0315_next_to_the_other_values)
{
    sim_process sim = with_rule(R"({"category":"CAN","unavailable":[5]})");
    host_port host(sim.port());
    host.send(can_get_request);
    EXPECT_EQ(
        host.read_lines(2, reply_bound),
        R"({"category":"CAN","case":"state","sort":"signal","data":[)"
        R"({"identifier":{"code":4,"name":"DI_KL_58xt"},"value":{"raw":50,"physical":{"numerical":50,"unit":"%"}}}]})"
        "\r\n"
        R"({"category":"CAN","case":"error","sort":{"number":789,"message":"signal not available"},)"
        R"("data":[{"identifier":{"code":5,"name":"LS_Helligkeit_FW"}}]})"
        "\r\n");
}

TEST(sim_fault, hang_up_in_the_middle_of_a_reply_fails_the_hosts_read_and_ends_the_simulator)
{
    sim_process sim = with_rule(R"({"hangup_at":20})");
    host_port host(sim.port());
    host.send(information_request);
    const auto result = host.read_until_failure(reply_bound);
    EXPECT_TRUE(result.failed);
    EXPECT_TRUE(result.error == EIO || result.error == 0) << result.error;
    EXPECT_EQ(result.received, information_reply.substr(0, 20));
    EXPECT_EQ(sim.wait_for_exit(reply_bound), std::optional<int>(0));
}

TEST(sim_fault, late_reply_is_dropped_and_the_next_exchange_sees_only_its_own_reply)
{
    sim_process sim = with_rule(R"({"request":1,"late":true})");
    {
        host_port host(sim.port());
        host.send(information_request);
        EXPECT_EQ(host.read_all(silence_window), "");
    }
    ASSERT_TRUE(sim.wait_for_note("unread bytes discarded", reply_bound));
    host_port host(sim.port());
    host.send(upload_request);  // silent: anything that arrives would be the stale reply
    EXPECT_EQ(host.read_all(silence_window), "");
    const auto replies = sim.replies();
    ASSERT_EQ(replies.size(), 1U);
    EXPECT_EQ(replies[0], information_reply + "\r\n");
}

}  // namespace
}  // namespace vistrel::sim_test
