// Runs the device simulator vistrel-sim for a test: starts it, learns its port, reads its log
// and stops it again. Free of any test framework, so GoogleTest and QtTest suites can use it.
//
// The simulator's path: `sim_settings::program`, else the environment variable VISTREL_SIM,
// else the compile definition VISTREL_SIM_PATH that every target linking test_support gets.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <sys/types.h>

namespace vistrel::test_support {

struct sim_settings {
    // Further command-line arguments, e.g. {"--line-end", "lf"} or {"--fault", R"({"reply":"silent"})"}.
    std::vector<std::string> arguments;
    // Fault rules as JSON text (an array of rule objects); written to a file and passed with
    // --scenario when not empty.
    std::string scenario;
    // The simulator program; empty for the default path (see above).
    std::string program;
    // How long the simulator may take to print its port.
    std::chrono::milliseconds start_limit{std::chrono::seconds(5)};
};

// One line of the simulator's log.
struct sim_record {
    enum class kind { request, reply, note };
    kind what = kind::note;
    std::string bytes;  // unescaped: exact bytes for requests and replies, the text of a note
};

class sim_process {
public:
    // Starts the simulator and waits (bounded) for its port. Throws std::runtime_error when it
    // cannot start or prints no port in time; the message carries its standard error.
    explicit sim_process(sim_settings settings = {});
    // Starts the simulator with these further command-line arguments.
    explicit sim_process(std::vector<std::string> arguments);
    sim_process(const sim_process&) = delete;
    sim_process& operator=(const sim_process&) = delete;
    // Stops the simulator (SIGTERM, then SIGKILL) and removes its working folder.
    ~sim_process();

    // The slave path of the simulator's pseudo-terminal, e.g. /dev/pts/3.
    const std::string& port() const { return port_; }
    pid_t pid() const { return pid_; }
    // A private folder for the test's own files; removed with the simulator.
    const std::string& folder() const { return folder_; }

    std::string log_text() const;
    std::vector<sim_record> log() const;
    // The bytes of each request line the simulator received, LF included, in order.
    std::vector<std::string> requests() const;
    // The bytes of each write the simulator made towards the host, in order.
    std::vector<std::string> replies() const;
    // Waits until the log holds at least `count` requests; false when the bound ran out first.
    bool wait_for_requests(std::size_t count, std::chrono::milliseconds bound) const;
    // Waits until the log holds a note containing `text`; false when the bound ran out first.
    bool wait_for_note(std::string_view text, std::chrono::milliseconds bound) const;
    // What the simulator wrote to standard error so far.
    std::string error_output() const;

    // Waits (bounded) for the simulator to end by itself; its exit status, or nothing.
    std::optional<int> wait_for_exit(std::chrono::milliseconds bound);
    // Sends SIGTERM and waits up to `bound`, then SIGKILL. Returns the exit status, or -1 when
    // it had to be killed or ended by a signal.
    int stop(std::chrono::milliseconds bound = std::chrono::seconds(2));

private:
    void release();

    pid_t pid_ = -1;
    int stdin_fd_ = -1;  // our end of the simulator's standard input; closing it ends the simulator
    int stdout_fd_ = -1;
    std::optional<int> exit_status_;
    std::string port_;
    std::string folder_;
    std::string log_path_;
    std::string error_path_;
};

// The default path of vistrel-sim (environment variable VISTREL_SIM, else VISTREL_SIM_PATH).
std::string default_sim_path();

// A fault rule that answers every request with `text` as it stands, in one write, or in
// reads cut at these byte offsets of the reply.
std::string text_reply_rule(std::string_view text, const std::vector<std::size_t>& cuts = {});

// Undoes the escaping of the simulator's log ("\\", "\n", "\r", "\t", "\xHH").
std::string unescape_log_bytes(std::string_view text);

}  // namespace vistrel::test_support
