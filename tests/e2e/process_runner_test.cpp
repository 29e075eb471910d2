// The runner that every end-to-end test relies on: exact bytes, exit status, environment,
// standard input, and a time limit that always ends the child.
#include "tests/support/process_runner.hpp"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>

namespace vistrel::test_support {
namespace {

process_result run_shell(const std::string& script, const process_options& options = {})
{
    return run_process("/bin/sh", {"-c", script}, options);
}

TEST(process_runner, captures_exact_bytes_of_both_streams_and_the_exit_status)
{
    const auto result = run_shell(R"(printf 'a\000b\r\n'; printf 'err\n\n' >&2; exit 3)");
    EXPECT_EQ(result.standard_output, std::string("a\0b\r\n", 5));
    EXPECT_EQ(result.standard_error, "err\n\n");
    EXPECT_EQ(result.exit_status, 3);
    EXPECT_EQ(result.killed_by_signal, 0);
    EXPECT_FALSE(result.timed_out);
}

TEST(process_runner, captures_output_larger_than_a_pipe_buffer_from_both_streams)
{
    const auto result = run_shell("head -c 300000 /dev/zero; head -c 200000 /dev/zero >&2");
    EXPECT_EQ(result.standard_output.size(), 300000u);
    EXPECT_EQ(result.standard_error.size(), 200000u);
    EXPECT_EQ(result.exit_status, 0);
}

TEST(process_runner, sets_and_removes_environment_variables)
{
    ::setenv("RUNNER_TEST_REMOVED", "present", 1);
    process_options options;
    options.set_environment = {{"RUNNER_TEST_SET", "a=b"}, {"HOME", "/nowhere"}};
    options.unset_environment = {"RUNNER_TEST_REMOVED"};
    const auto result =
        run_shell(R"(printf '%s|%s|%s' "$RUNNER_TEST_SET" "$HOME" "${RUNNER_TEST_REMOVED-unset}")", options);
    EXPECT_EQ(result.standard_output, "a=b|/nowhere|unset");
}

TEST(process_runner, passes_argv0_arguments_input_and_working_folder)
{
    process_options options;
    options.argv0 = "renamed";
    options.standard_input = "line one\nline two\n";
    options.working_directory = "/";
    const auto result = run_process("/bin/sh", {"-c", R"(printf '%s|%s|%s|' "$0" "$1" "$PWD"; cat)", "x y"}, options);
    EXPECT_EQ(result.standard_output, "x y||/|line one\nline two\n");
}

TEST(process_runner, kills_a_child_that_outlives_the_time_limit)
{
    process_options options;
    options.time_limit = std::chrono::milliseconds(200);
    const auto started = std::chrono::steady_clock::now();
    const auto result = run_shell("printf started; sleep 30", options);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10));
    EXPECT_TRUE(result.timed_out);
    EXPECT_EQ(result.exit_status, -1);
    EXPECT_EQ(result.killed_by_signal, SIGKILL);
    EXPECT_EQ(result.standard_output, "started");
}

TEST(process_runner, reports_a_child_ended_by_a_signal)
{
    const auto result = run_shell("kill -SEGV $$");
    EXPECT_EQ(result.exit_status, -1);
    EXPECT_EQ(result.killed_by_signal, SIGSEGV);
    EXPECT_FALSE(result.timed_out);
}

TEST(process_runner, throws_when_the_program_cannot_be_started)
{
    EXPECT_THROW(run_process("/nonexistent/program", {}), std::runtime_error);
}

}  // namespace
}  // namespace vistrel::test_support
