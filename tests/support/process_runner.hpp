// Runs a program to its end and captures what it wrote, byte for byte.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace vistrel::test_support {

struct process_options {
    // Variables set (or replaced) in the child's environment, on top of the inherited one.
    std::vector<std::pair<std::string, std::string>> set_environment;
    // Variables removed from the child's environment.
    std::vector<std::string> unset_environment;
    // The child's argv[0]; the program path when not given.
    std::optional<std::string> argv0;
    // Bytes fed to the child's standard input, which is then closed.
    std::string standard_input;
    // A file that the child's standard output is written to (opened for writing, not created)
    // instead of being captured; the captured output then stays empty.
    std::string standard_output_file;
    // The same for the child's standard error.
    std::string standard_error_file;
    // The child's working folder; the caller's when empty.
    std::string working_directory;
    // The child (and everything it started in its process group) is killed after this long.
    std::chrono::milliseconds time_limit{std::chrono::seconds(20)};
};

struct process_result {
    std::string standard_output;
    std::string standard_error;
    int exit_status = -1;  // the status given to exit(), -1 when the child did not exit
    int killed_by_signal = 0;  // the signal that ended the child, 0 when it exited
    bool timed_out = false;  // the time limit ran out and the child was killed
};

// Starts `program` with `arguments` (argv[1] onwards) and waits until it has ended and closed
// its standard output and standard error, or until the time limit has run out.
// Throws std::runtime_error when the program cannot be started at all.
process_result run_process(const std::string& program, const std::vector<std::string>& arguments,
                           const process_options& options = {});

}  // namespace vistrel::test_support
