// The device exchanges end to end: the built vistrel against vistrel-sim, comparing the
// exact bytes of standard output, standard error, the exit status and the requests the
// device received; and a long run of exchanges in one process.
#include "console/events/command_context.hpp"
#include "console/link/exchange.hpp"
#include "console/link/failure_report.hpp"
#include "console/link/serial_channel.hpp"
#include "tests/support/e2e_platform.hpp"
#include "tests/support/process_resources.hpp"
#include "tests/support/process_runner.hpp"
#include "tests/support/pseudo_terminal.hpp"
#include "tests/support/sim_fixture.hpp"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace vistrel::test_support {
namespace {

using namespace std::chrono_literals;
using std::chrono::duration_cast;
using std::chrono::milliseconds;

const std::string information_request = "{\"category\":\"system\",\"case\":\"get\",\"sort\":\"information\"}\n";
const std::string shown_information_request =
    "JSON <{\"category\":\"system\",\"case\":\"get\",\"sort\":\"information\"}>";
const std::string information_output =
    "system information:\n"
    "hardware version: 1.3.B\n"
    "firmware version: 2.7\n"
    "json schema version: 1.1\n"
    "schema url: https://vistrel.example/schema/device-1.1.json\n";

struct timed_result {
    process_result result;
    milliseconds elapsed{};
};

timed_result run_vistrel(const std::vector<std::string>& arguments)
{
    process_options options;
    options.unset_environment = {"VISTREL_TRACE"};
    const auto started = std::chrono::steady_clock::now();
    timed_result run{run_on_platform(VISTREL_PROGRAM, arguments, options), {}};
    run.elapsed = duration_cast<milliseconds>(std::chrono::steady_clock::now() - started);
    EXPECT_FALSE(run.result.timed_out);
    return run;
}

// What starting the program adds to the waits bounded below: Wine needs up to a few seconds
// to start a Windows program on a busy machine, a native start is quick.
milliseconds start_allowance()
{
    return runs_on_windows() ? milliseconds(5s) : milliseconds(0s);
}

void report_time(const std::string& what, milliseconds elapsed)
{
    std::cout << "[ measured ] " << what << ": " << elapsed.count() << " ms" << std::endl;
}

std::string write_edid_file(const sim_process& sim, const std::string& name)
{
    const std::string path = sim.folder() + "/" + name;
    std::ofstream file(path, std::ios::binary);
    for (int i = 0; i < 256; ++i) {
        file.put(static_cast<char>(i));
    }
    return path;
}

TEST(information_exchange, request_bytes_on_the_wire_and_the_five_lines)
{
    sim_process sim;
    const auto run = run_vistrel({"-c", port_of(sim), "system", "information"});
    EXPECT_EQ(run.result.standard_output, information_output);
    EXPECT_EQ(run.result.standard_error, "");
    EXPECT_EQ(run.result.exit_status, 0);
    EXPECT_EQ(sim.requests(), std::vector<std::string>{information_request});
}

struct delivery_case {
    const char* name;
    std::vector<std::string> sim_arguments;
};

class information_delivery : public ::testing::TestWithParam<delivery_case> {};

TEST_P(information_delivery, reply_is_taken_as_soon_as_it_is_complete)
{
    sim_process sim(GetParam().sim_arguments);
    const auto run = run_vistrel({"-c", port_of(sim), "system", "information", "-t", "5"});
    EXPECT_EQ(run.result.standard_output, information_output);
    EXPECT_EQ(run.result.standard_error, "");
    EXPECT_EQ(run.result.exit_status, 0);
    EXPECT_LT(run.elapsed, 3s + start_allowance());  // well before the time-out
}

INSTANTIATE_TEST_SUITE_P(
    framing, information_delivery,
    ::testing::Values(delivery_case{"split_inside_a_string", {"--fault", R"({"split":["string"]})"}},
                      delivery_case{"split_in_three", {"--fault", R"({"split":[17,90,"line-end"]})"}},
                      delivery_case{"line_end_after_the_brace_in_a_later_read",
                                    {"--fault", R"({"split":["line-end"]})"}},
                      delivery_case{"cr_and_lf_in_separate_reads", {"--fault", R"({"split":["inside-line-end"]})"}},
                      delivery_case{"notification_first_in_a_separate_write",
                                    {"--fault", R"({"notify":"CAN","notify_separate":true})"}},
                      delivery_case{"notification_first_in_the_same_write", {"--fault", R"({"notify":"HID"})"}},
                      delivery_case{"lf_line_ends", {"--line-end", "lf"}},
                      delivery_case{"cr_line_ends", {"--line-end", "cr"}}),
    [](const ::testing::TestParamInfo<delivery_case>& tested) { return std::string(tested.param.name); });

struct failure_case {
    const char* name;
    std::vector<std::string> sim_arguments;
    std::string line;
    std::string windows_line = {};  // where Windows words the line otherwise

    // Chosen when the test runs, not when the table is built.
    const std::string& expected_line() const
    {
        return runs_on_windows() && !windows_line.empty() ? windows_line : line;
    }
};

class information_failure : public ::testing::TestWithParam<failure_case> {};

TEST_P(information_failure, prints_exactly_one_line_and_exits_with_1)
{
    sim_process sim(GetParam().sim_arguments);
    const auto run = run_vistrel({"-c", port_of(sim), "system", "information", "-t", "1"});
    EXPECT_EQ(run.result.standard_output, "");
    EXPECT_EQ(hang_up_as_end_of_file(run.result.standard_error), GetParam().expected_line());
    EXPECT_EQ(run.result.exit_status, 1);
    EXPECT_LT(run.elapsed, 3s + start_allowance());
}

INSTANTIATE_TEST_SUITE_P(
    replies, information_failure,
    ::testing::Values(failure_case{"silence",
                                   {"--fault", R"({"reply":"silent"})"},
                                   "std::runtime_error - waiting for result timeouted\n"},
                      failure_case{"line_end_inside_the_object",
                                   {"--fault", R"({"reply":"broken-line"})"},
                                   "std::runtime_error - JSON parse error - illegal format\n"},
                      failure_case{"garbage",
                                   {"--fault", R"({"reply":"garbage"})"},
                                   "std::runtime_error - JSON parse error - wrong value\n"},
                      failure_case{"device_error_with_the_system_code",
                                   {"--fault", R"({"reply":"error","number":261,"message":"busy"})"},
                                   "error in " + shown_information_request + " - [System/error - busy (5)]\n"},
                      failure_case{"json_error_with_position",
                                   {"--fault", R"({"reply":"json-error","position":7,"message":"bad request"})"},
                                   shown_information_request + " - JSON error <bad request> at position 7\n"},
                      // Boost reads the end of the file where the device hangs up; its Windows port reads
                      // ERROR_BROKEN_PIPE instead, in Wine's words.
                      failure_case{"hang_up_in_the_middle_of_the_reply",
                                   {"--fault", R"({"hangup":true})"},
                                   "boost::system::system_error - asio.misc:2/read_some: End of file "
                                   "[asio.misc:2]\n",
                                   "boost::system::system_error - system:109/read_some: Broken pipe "
                                   "[system:109]\n"}),
    [](const ::testing::TestParamInfo<failure_case>& tested) { return std::string(tested.param.name); });

TEST(port_failure, empty_port_name)
{
    const auto run = run_vistrel({"-c=", "system", "information"});
    EXPECT_EQ(run.result.standard_output, "");
    EXPECT_EQ(run.result.standard_error, "std::runtime_error - COM port name not specified.\n");
    EXPECT_EQ(run.result.exit_status, 1);
}

// The code and the system's message, without the place inside Boost where opening failed
// (which changes with every Boost version). Wine words ERROR_FILE_NOT_FOUND "File not found";
// no link of the Wine prefix names COM9999.
TEST(port_failure, port_that_cannot_be_opened_prints_the_boost_open_error)
{
    const bool windows = runs_on_windows();
    const auto run = run_vistrel({"-c", windows ? "COM9999" : "/dev/no-such-vistrel-port", "system", "information"});
    EXPECT_EQ(run.result.standard_output, "");
    EXPECT_EQ(run.result.standard_error,
              windows ? "boost::system::system_error - system:2/open: File not found [system:2]\n"
                      : "boost::system::system_error - system:2/open: No such file or directory "
                        "[system:2]\n");
    EXPECT_EQ(run.result.exit_status, 1);
}

// Error replies whose "sort" or "data" object comes before "category" or "case" mean the
// same whether they arrive whole or cut at any of these places.
TEST(reply_in_pieces, an_error_reply_means_the_same_wherever_it_is_cut)
{
    struct cut_case {
        const char* name;
        std::string reply;
        std::string line;
    };
    const cut_case cases[] = {
        {"device error, sort first", R"({"sort":{"number":263,"message":"busy"},"category":"system","case":"error"})",
         "error in " + shown_information_request + " - [System/error - busy (7)]\n"},
        {"JSON error, data and sort first",
         R"({"data":{"position":7},"sort":{"number":1,"message":"bad request"},"case":"error","category":"JSON"})",
         shown_information_request + " - JSON error <bad request> at position 7\n"},
    };
    for (const auto& c : cases) {
        // After the first object, inside the next key, before the last member, before the
        // line end; and whole.
        const std::size_t after_object = c.reply.find("},\"") + 1;
        const std::vector<std::vector<std::size_t>> cut_sets = {
            {},
            {after_object},
            {after_object + 4},
            {c.reply.rfind(",\"")},
            {c.reply.size()},
            {after_object, c.reply.rfind(",\"") + 3, c.reply.size()},
        };
        for (const auto& cuts : cut_sets) {
            SCOPED_TRACE(std::string(c.name) + ", " + std::to_string(cuts.size()) + " cuts from "
                         + (cuts.empty() ? std::string("-") : std::to_string(cuts.front())));
            sim_process sim({"--fault", text_reply_rule(c.reply, cuts)});
            const auto run = run_vistrel({"-c", port_of(sim), "system", "information", "-t", "2"});
            EXPECT_EQ(run.result.standard_output, "");
            EXPECT_EQ(run.result.standard_error, c.line);
            EXPECT_EQ(run.result.exit_status, 1);
        }
    }
}

// Results that cannot be written are a failure, with one line on standard error; the files
// of a download are saved all the same.
TEST(standard_output, that_cannot_be_written_fails_the_command)
{
    if (!std::filesystem::is_character_file("/dev/full")) {
        GTEST_SKIP() << "no /dev/full here";
    }
    sim_process sim;
    const std::vector<std::vector<std::string>> commands = {
        {"-c", port_of(sim), "system", "information"},
        {"-c", port_of(sim), "profile", "list"},
        {"-c", port_of(sim), "profile", "download", "2", "saved.bin"},
        {"-l"},
    };
    for (const auto& arguments : commands) {
        SCOPED_TRACE(arguments[arguments.size() > 2 ? 3 : 0]);
        process_options options;
        options.unset_environment = {"VISTREL_TRACE"};
        options.set_environment = {{"VISTREL_SYSFS_ROOT", "/nonexistent/vistrel-e2e/usb"}};
        options.standard_output_file = "/dev/full";
        options.working_directory = sim.folder();
        const auto result = run_on_platform(VISTREL_PROGRAM, arguments, options);
        EXPECT_EQ(result.standard_output, "");
        EXPECT_EQ(result.standard_error, "Cannot write standard output.\n");
        EXPECT_EQ(result.exit_status, 1);
        EXPECT_FALSE(result.timed_out);
    }
    EXPECT_EQ(std::filesystem::file_size(sim.folder() + "/saved.bin"), 256u);
}

// Every command ends within its time-out and a little more; the figures are printed.
TEST(time_out, silent_device_times_out_after_the_default_two_seconds)
{
    sim_process sim({"--fault", R"({"reply":"silent"})"});
    const auto run = run_vistrel({"-c", port_of(sim), "system", "information"});
    report_time("information, silent device, default time-out 2 s", run.elapsed);
    EXPECT_EQ(run.result.standard_error, "std::runtime_error - waiting for result timeouted\n");
    EXPECT_EQ(run.result.exit_status, 1);
    EXPECT_GE(run.elapsed, 2s);
    EXPECT_LT(run.elapsed, 4s + start_allowance());  // generous: sanitizer builds start slowly
}

TEST(time_out, zero_time_out_gives_up_at_once)
{
    sim_process sim({"--fault", R"({"reply":"silent"})"});
    const auto run = run_vistrel({"-c", port_of(sim), "system", "information", "-t", "0"});
    report_time("information, silent device, -t 0", run.elapsed);
    EXPECT_EQ(run.result.standard_error, "std::runtime_error - waiting for result timeouted\n");
    EXPECT_EQ(run.result.exit_status, 1);
    EXPECT_LT(run.elapsed, 2s + start_allowance());
}

TEST(time_out, upload_and_reset_succeed_once_the_silent_device_lets_the_time_out_pass)
{
    sim_process sim;
    const std::string edid = write_edid_file(sim, "screen.bin");
    const auto upload = run_vistrel({"-c", port_of(sim), "profile", "upload", "-t", "1", "4", edid});
    report_time("upload, silent device, -t 1", upload.elapsed);
    EXPECT_EQ(upload.result.standard_output, "");
    EXPECT_EQ(upload.result.standard_error, "");
    EXPECT_EQ(upload.result.exit_status, 0);
    EXPECT_GE(upload.elapsed, 1s);
    EXPECT_LT(upload.elapsed, 3s + start_allowance());

    const auto reset = run_vistrel({"-c", port_of(sim), "profile", "reset", "-t", "1", "2", "5"});
    report_time("reset, silent device, -t 1", reset.elapsed);
    EXPECT_EQ(reset.result.standard_error, "");
    EXPECT_EQ(reset.result.exit_status, 0);
    EXPECT_GE(reset.elapsed, 1s);
    EXPECT_LT(reset.elapsed, 3s + start_allowance());

    const auto requests = sim.requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].rfind("{\"category\":\"user profiles\",\"case\":\"set\",\"sort\":\"upload\","
                                "\"data\":[{\"profile\":4,\"edid\":\"AAECAwQFBgcICQoL",
                                0),
              0u)
        << requests[0];
    EXPECT_EQ(requests[1],
              "{\"category\":\"user profiles\",\"case\":\"set\",\"sort\":\"reset\","
              "\"data\":[{\"profile\":2},{\"profile\":5}]}\n");
}

TEST(profile_failure, device_error_on_upload_shows_the_whole_code)
{
    sim_process sim({"--fault", R"({"category":"user profiles","reply":"error","number":261,"message":"busy"})"});
    const std::string edid = write_edid_file(sim, "screen.bin");
    const auto run = run_vistrel({"-c", port_of(sim), "profile", "upload", "-t", "1", "4", edid});
    ASSERT_EQ(sim.requests().size(), 1u);
    std::string request = sim.requests()[0];
    request.pop_back();  // the LF is not shown
    EXPECT_EQ(run.result.standard_error, "error in JSON <" + request + "> - [User profiles/error - busy (261)]\n");
    EXPECT_EQ(run.result.exit_status, 1);
}

TEST(many_exchanges, five_hundred_in_one_process_leave_nothing_behind)
{
    if (runs_on_windows()) {
        GTEST_SKIP() << "runs the exchanges inside this Linux test process";
    }
    sim_process sim;
    serial_channel channel;
    channel.set_port_name(sim.port());
    command_context context;
    current_command_context = &context;
    // One exchange first, so that whatever a runtime starts with the first thread (the
    // thread sanitizer starts one of its own) is in the counts.
    request_system_information(channel);
    const std::size_t descriptors = open_descriptor_count();
    const std::size_t threads = settled_thread_count();
    const auto started = std::chrono::steady_clock::now();
    int succeeded = 0;
    for (int round = 0; round < 500; ++round) {
        try {
            const system_information information = request_system_information(channel);
            if (to_string(information.firmware) == "2.7") {
                ++succeeded;
            }
        } catch (const failure_reported&) {
            break;
        }
    }
    const auto elapsed = duration_cast<milliseconds>(std::chrono::steady_clock::now() - started);
    current_command_context = nullptr;
    report_time("500 information exchanges in one process", elapsed);
    EXPECT_EQ(succeeded, 500);
    EXPECT_FALSE(channel.is_open());
    EXPECT_EQ(open_descriptor_count(), descriptors);
    EXPECT_EQ(settled_thread_count(), threads);
    EXPECT_EQ(sim.requests().size(), 501u);
}

}  // namespace
}  // namespace vistrel::test_support
