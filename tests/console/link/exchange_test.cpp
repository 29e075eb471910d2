// The four exchanges against a scripted device: what goes on the wire, how replies split
// into reads are taken, the waits, and the one diagnostic line of every failure.
#include "console/events/command_context.hpp"
#include "console/link/exchange.hpp"
#include "console/link/failure_report.hpp"
#include "console/link/serial_channel.hpp"
#include "tests/console/link/scripted_device.hpp"
#include "tests/support/pseudo_terminal.hpp"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace vistrel::link_test {
namespace {

using namespace std::chrono_literals;

const std::string information_request = "{\"category\":\"system\",\"case\":\"get\",\"sort\":\"information\"}\n";
const std::string information_reply =
    "{\"category\":\"system\",\"case\":\"state\",\"sort\":\"information\",\"data\":["
    "{\"item\":\"hardware\",\"version\":{\"major\":1,\"minor\":2}},"
    "{\"item\":\"firmware\",\"version\":{\"major\":3,\"minor\":4,\"note\":\"rc1\"}},"
    "{\"item\":\"JSON schema\",\"version\":{\"major\":1,\"minor\":0},"
    "\"url\":\"https://schema.invalid/v1\"}]}";
const std::string notification = "{\"category\":\"CAN\",\"case\":\"state\",\"sort\":\"signal\",\"data\":[]}\r\n";

struct outcome {
    bool failed = false;  // the failure signal was thrown
    std::string diagnostics;
    std::chrono::steady_clock::duration elapsed{};
};

class exchange_on_device : public ::testing::Test {
protected:
    void SetUp() override
    {
        channel.set_port_name(device.port());
        current_command_context = &context;
        saved_error = std::cerr.rdbuf(diagnostics.rdbuf());
    }
    void TearDown() override
    {
        std::cerr.rdbuf(saved_error);
        current_command_context = nullptr;
        device.finish();
    }

    outcome run(const std::function<void()>& exchange)
    {
        outcome result;
        const auto started = std::chrono::steady_clock::now();
        try {
            exchange();
        } catch (const failure_reported&) {
            result.failed = true;
        }
        result.elapsed = std::chrono::steady_clock::now() - started;
        result.diagnostics = diagnostics.str();
        diagnostics.str({});
        EXPECT_FALSE(channel.is_open());
        return result;
    }

    scripted_device device;
    serial_channel channel;
    command_context context;
    std::ostringstream diagnostics;
    std::streambuf* saved_error = nullptr;
};

struct information_case {
    const char* name;
    std::vector<std::string> pieces;
};

class information_reply_in_pieces : public exchange_on_device,
                                    public ::testing::WithParamInterface<information_case> {};

TEST_P(information_reply_in_pieces, is_taken_once_complete)
{
    device.answer_next({GetParam().pieces});
    system_information information;
    const outcome result = run([&] { information = request_system_information(channel); });
    EXPECT_EQ(device.finish(), information_request);
    ASSERT_FALSE(result.failed) << result.diagnostics;
    EXPECT_EQ(result.diagnostics, "");
    EXPECT_EQ(to_string(information.hardware), "1.2");
    EXPECT_EQ(to_string(information.firmware), "3.4.rc1");
    EXPECT_EQ(to_string(information.json_schema), "1.0");
    EXPECT_EQ(information.schema_url, "https://schema.invalid/v1");
    // The reply is taken as soon as it is complete, not after the time-out.
    EXPECT_LT(result.elapsed, 1500ms);
}

INSTANTIATE_TEST_SUITE_P(
    framing, information_reply_in_pieces,
    ::testing::Values(information_case{"one_write", {information_reply + "\n"}},
                      information_case{"split_inside_strings",
                                       {information_reply.substr(0, 30), information_reply.substr(30, 80),
                                        information_reply.substr(110) + "\r\n"}},
                      information_case{"line_end_after_the_closing_brace", {information_reply, "\r\n"}},
                      information_case{"notification_first_in_its_own_write", {notification, information_reply + "\n"}},
                      information_case{"notification_first_in_the_same_write",
                                       {notification + information_reply + "\n"}},
                      information_case{"empty_lines_first", {"\r\n\n", information_reply + "\n"}}),
    [](const ::testing::TestParamInfo<information_case>& tested) { return std::string(tested.param.name); });

struct failure_case {
    const char* name;
    device_answer answer;
    std::string line;  // on standard error
};

class information_failure : public exchange_on_device, public ::testing::WithParamInterface<failure_case> {};

TEST_P(information_failure, prints_one_line_and_throws_the_failure_signal)
{
    context.timeout = 1;
    device.answer_next(GetParam().answer);
    const outcome result = run([&] { request_system_information(channel); });
    EXPECT_TRUE(result.failed);
    EXPECT_EQ(test_support::hang_up_as_end_of_file(result.diagnostics), GetParam().line);
    EXPECT_LT(result.elapsed, 2500ms);
}

const std::string shown_information_request =
    "JSON <{\"category\":\"system\",\"case\":\"get\",\"sort\":\"information\"}>";

INSTANTIATE_TEST_SUITE_P(
    replies, information_failure,
    ::testing::Values(failure_case{"silence", {}, "std::runtime_error - waiting for result timeouted\n"},
                      failure_case{"only_other_categories",
                                   {{notification, notification}},
                                   "std::runtime_error - waiting for result timeouted\n"},
                      failure_case{"line_end_inside_an_object",
                                   {{"{\"category\":\"system\",\n\"case\":\"state\"}\n"}},
                                   "std::runtime_error - JSON parse error - illegal format\n"},
                      failure_case{"not_json", {{"hello\n"}}, "std::runtime_error - JSON parse error - wrong value\n"},
                      failure_case{"device_error_with_its_category_code",
                                   {{"{\"category\":\"system\",\"case\":\"error\","
                                     "\"sort\":{\"number\":261,\"message\":\"busy\"}}\n"}},
                                   "error in " + shown_information_request + " - [System/error - busy (5)]\n"},
                      failure_case{"device_error_of_another_code",
                                   {{"{\"category\":\"system\",\"case\":\"error\","
                                     "\"sort\":{\"number\":1029,\"message\":\"busy\"}}\n"}},
                                   "error in " + shown_information_request + " - [System/error - busy (1029)]\n"},
                      failure_case{"device_error_without_number",
                                   {{"{\"category\":\"system\",\"case\":\"error\",\"sort\":\"busy\"}\n"}},
                                   "error in " + shown_information_request + " - [System/error - busy ]\n"},
                      failure_case{"json_error_with_position",
                                   {{"{\"category\":\"JSON\",\"case\":\"error\",\"sort\":{\"number\":1,"
                                     "\"message\":\"bad request\"},\"data\":{\"position\":12}}\n"}},
                                   shown_information_request + " - JSON error <bad request> at position 12\n"},
                      failure_case{"json_error_without_position",
                                   {{"{\"category\":\"JSON\",\"case\":\"error\",\"sort\":\"bad request\"}\n"}},
                                   shown_information_request + " - JSON error <bad request> at position 4294967295\n"},
                      failure_case{"hang_up_in_the_middle_of_a_reply",
                                   {{information_reply.substr(0, 50)}, 40ms, true},
                                   "boost::system::system_error - asio.misc:2/read_some: End of file "
                                   "[asio.misc:2]\n"}),
    [](const ::testing::TestParamInfo<failure_case>& tested) { return std::string(tested.param.name); });

TEST_F(exchange_on_device, empty_port_name_fails_before_anything_is_written)
{
    channel.set_port_name("");
    const outcome result = run([&] { request_system_information(channel); });
    EXPECT_TRUE(result.failed);
    EXPECT_EQ(result.diagnostics, "std::runtime_error - COM port name not specified.\n");
}

TEST_F(exchange_on_device, zero_time_out_gives_up_at_once_on_a_silent_device)
{
    context.timeout = 0;
    device.answer_next({});
    const outcome result = run([&] { request_system_information(channel); });
    EXPECT_TRUE(result.failed);
    EXPECT_EQ(result.diagnostics, "std::runtime_error - waiting for result timeouted\n");
    EXPECT_LT(result.elapsed, 500ms);
}

TEST_F(exchange_on_device, trace_shows_the_request_and_the_bytes_of_each_message)
{
    context.trace = true;
    // Short enough to arrive in one read.
    const std::string reply = "{\"category\":\"system\",\"case\":\"state\",\"sort\":\"information\"}\n";
    device.answer_next({{notification + reply}});
    const outcome result = run([&] { request_system_information(channel); });
    ASSERT_FALSE(result.failed) << result.diagnostics;
    // Each trace shows every byte that was buffered when its message completed.
    EXPECT_EQ(result.diagnostics,
              "sending  JSON <" + information_request + ">\n" + "received JSON <" + notification + reply + ">\n"
                  + "received JSON <" + reply + ">\n");
}

profile small_profile(std::uint8_t id)
{
    profile record;
    record.id = id;
    record.edid[0] = 1;
    record.edid[1] = 2;
    record.edid[2] = 3;
    record.edid_size = 3;
    return record;
}

const std::string upload_request =
    "{\"category\":\"user profiles\",\"case\":\"set\",\"sort\":\"upload\",\"data\":["
    "{\"profile\":1,\"edid\":\"AQID\"},{\"profile\":6,\"edid\":\"AQID\"}]}\n";
const std::string shown_upload_request = "JSON <" + upload_request.substr(0, upload_request.size() - 1) + ">";

struct silence_case {
    const char* name;
    device_answer answer;
    std::string line;  // empty: the upload succeeds
};

class upload_answer : public exchange_on_device, public ::testing::WithParamInterface<silence_case> {};

TEST_P(upload_answer, fails_on_an_answer_of_its_category_and_succeeds_on_silence)
{
    context.timeout = 1;
    device.answer_next(GetParam().answer);
    const outcome result = run([&] { upload_profiles({small_profile(1), small_profile(6)}, channel); });
    EXPECT_EQ(device.finish(), upload_request);
    EXPECT_EQ(result.failed, !GetParam().line.empty());
    EXPECT_EQ(result.diagnostics, GetParam().line);
    if (GetParam().line.empty()) {
        // Success takes the whole time-out, and not much more.
        EXPECT_GE(result.elapsed, 1s);
        EXPECT_LT(result.elapsed, 2s);
    }
}

INSTANTIATE_TEST_SUITE_P(
    answers, upload_answer,
    ::testing::Values(silence_case{"silence", {}, ""},
                      silence_case{"other_categories_only", {{notification, "\n"}}, ""},
                      silence_case{"answer_of_case_state",
                                   {{"{\"category\":\"user profiles\",\"case\":\"state\",\"sort\":\"download\"}\n"}},
                                   "error in " + shown_upload_request + " - [User profiles/status - download ]\n"},
                      // Answers that a download reply would not accept are reported as they came.
                      silence_case{"answer_of_case_set",
                                   {{"{\"category\":\"user profiles\",\"case\":\"set\",\"sort\":\"upload\"}\n"}},
                                   "error in " + shown_upload_request + " - [User profiles/set - upload ]\n"},
                      silence_case{"answer_of_case_state_with_another_sort",
                                   {{"{\"category\":\"user profiles\",\"case\":\"update\",\"sort\":\"upload\","
                                     "\"data\":[{\"slot\":1}]}\n"}},
                                   "error in " + shown_upload_request + " - [User profiles/change - upload ]\n"},
                      silence_case{"error_with_a_system_code",
                                   {{notification
                                     + "{\"category\":\"user profiles\",\"case\":\"error\","
                                       "\"sort\":{\"number\":261,\"message\":\"busy\"}}\n"}},
                                   "error in " + shown_upload_request + " - [User profiles/error - busy (261)]\n"},
                      silence_case{"error_with_its_category_code",
                                   {{"{\"category\":\"user profiles\",\"case\":\"error\","
                                     "\"sort\":{\"number\":1027,\"message\":\"slot\"}}\n"}},
                                   "error in " + shown_upload_request + " - [User profiles/error - slot (3)]\n"},
                      silence_case{"json_error",
                                   {{"{\"category\":\"JSON\",\"case\":\"error\",\"sort\":\"bad\","
                                     "\"data\":{\"position\":3}}\n"}},
                                   shown_upload_request + " - JSON error <bad> at position 3\n"}),
    [](const ::testing::TestParamInfo<silence_case>& tested) { return std::string(tested.param.name); });

TEST_F(exchange_on_device, reset_sends_the_numbers_and_succeeds_on_silence)
{
    context.timeout = 1;
    device.answer_next({});
    const outcome result = run([&] { reset_profiles({2, 5}, channel); });
    EXPECT_FALSE(result.failed) << result.diagnostics;
    EXPECT_EQ(device.finish(),
              "{\"category\":\"user profiles\",\"case\":\"set\",\"sort\":\"reset\",\"data\":["
              "{\"profile\":2},{\"profile\":5}]}\n");
    EXPECT_GE(result.elapsed, 1s);
}

TEST_F(exchange_on_device, download_returns_the_profiles_in_the_order_of_the_reply)
{
    device.answer_next(
        {{"{\"category\":\"user profiles\",\"case\":\"state\",\"sort\":\"download\",\"data\":["
          "{\"profile\":3,\"edid\":\"AQID\"},{\"edid\":\"BAU=\",\"profile\":0}]}\r\n"}});
    std::vector<profile> profiles;
    const outcome result = run([&] { profiles = download_profiles({3, 0}, channel); });
    ASSERT_FALSE(result.failed) << result.diagnostics;
    EXPECT_EQ(device.finish(),
              "{\"category\":\"user profiles\",\"case\":\"get\",\"sort\":\"download\",\"data\":["
              "{\"profile\":3},{\"profile\":0}]}\n");
    ASSERT_EQ(profiles.size(), 2u);
    EXPECT_EQ(profiles[0].id, 3);
    EXPECT_EQ(profiles[0].edid_size, 3u);
    EXPECT_EQ(profiles[0].edid[2], 3);
    EXPECT_EQ(profiles[1].id, 0);
    EXPECT_EQ(profiles[1].edid_size, 2u);
    EXPECT_EQ(profiles[1].edid[1], 5);
}

}  // namespace
}  // namespace vistrel::link_test
