// One port, one user: while one vistrel holds the port, a second vistrel and a terminal
// program that locks the port are refused at once, and the holder finishes its exchange
// unharmed; a vistrel started while a terminal program holds the port is refused too.
#include "tests/support/e2e_platform.hpp"
#include "tests/support/process_runner.hpp"
#include "tests/support/sim_fixture.hpp"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <future>
#include <string>
#include <thread>
#include <vector>

namespace vistrel::test_support {
namespace {

using namespace std::chrono_literals;

const std::string in_use_line =
    "boost::system::system_error - port:1/open: Port is in use by another program [port:1]\n";

// util-linux's flock(1), part of every Debian system.
const std::string flock_program = "/usr/bin/flock";

process_result run_vistrel(const std::vector<std::string>& arguments)
{
    process_options options;
    options.unset_environment = {"VISTREL_TRACE", "VISTREL_VERIFY"};
    return run_process(VISTREL_PROGRAM, arguments, options);
}

// An upload that holds the port for the whole of its `seconds` of waiting for a refusal.
std::future<process_result> start_holding_upload(const sim_process& sim, int seconds)
{
    const std::string file = sim.folder() + "/held.bin";
    std::ofstream(file, std::ios::binary) << std::string(256, 'e');
    return std::async(std::launch::async, [port = sim.port(), file, seconds] {
        return run_vistrel({"-c", port, "profile", "upload", "-t", std::to_string(seconds), "2", file});
    });
}

class port_sharing : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (runs_on_windows()) {
            GTEST_SKIP() << "Windows gives a COM port to one process by itself";
        }
    }
};

TEST_F(port_sharing, a_second_vistrel_and_a_locking_terminal_program_are_refused_while_one_holds_the_port)
{
    sim_process sim;
    auto holder = start_holding_upload(sim, 3);
    ASSERT_TRUE(sim.wait_for_requests(1, 5s));

    const auto started = std::chrono::steady_clock::now();
    const process_result second = run_vistrel({"-c", sim.port(), "system", "information"});
    EXPECT_LT(std::chrono::steady_clock::now() - started, 1s) << "refused at once, not after a time-out";
    EXPECT_EQ(second.standard_output, "");
    EXPECT_EQ(second.standard_error, in_use_line);
    EXPECT_EQ(second.exit_status, 1);

    // flock(1) takes the lock that terminal programs such as picocom take.
    const process_result terminal = run_process(flock_program, {"--nonblock", sim.port(), "true"});
    EXPECT_EQ(terminal.exit_status, 1);

    const process_result held = holder.get();
    EXPECT_EQ(held.standard_output, "");
    EXPECT_EQ(held.standard_error, "");
    EXPECT_EQ(held.exit_status, 0);
    // Only the holder's request reached the device.
    ASSERT_EQ(sim.requests().size(), 1u);
    EXPECT_EQ(sim.requests()[0].rfind("{\"category\":\"user profiles\",\"case\":\"set\",\"sort\":\"upload\"", 0), 0u);

    // The port is free again once the holder has closed it.
    const process_result after = run_vistrel({"-c", sim.port(), "system", "information", "-t", "2"});
    EXPECT_EQ(after.standard_error, "");
    EXPECT_EQ(after.exit_status, 0);
}

TEST_F(port_sharing, vistrel_is_refused_while_a_terminal_program_holds_the_port)
{
    sim_process sim;
    auto terminal = std::async(std::launch::async, [port = sim.port()] {
        return run_process(flock_program, {port, "sleep", "2"});
    });
    ASSERT_TRUE(sim.wait_for_note("port opened", 5s));
    // flock locks the port right after opening it.
    std::this_thread::sleep_for(100ms);
    const process_result refused = run_vistrel({"-c", sim.port(), "system", "information"});
    EXPECT_EQ(refused.standard_output, "");
    EXPECT_EQ(refused.standard_error, in_use_line);
    EXPECT_EQ(refused.exit_status, 1);
    EXPECT_EQ(terminal.get().exit_status, 0);
    EXPECT_TRUE(sim.requests().empty());
}

}  // namespace
}  // namespace vistrel::test_support
