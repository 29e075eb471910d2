// The simulator's event loop: reads request lines from the port, answers them through the
// device model (shaped by the fault rules) and writes the replies when they are due.
// Everything happens on one thread, driven by poll(); nothing sleeps.
#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "tools/sim/device_model.hpp"
#include "tools/sim/fault_rule.hpp"
#include "tools/sim/pty_port.hpp"
#include "tools/sim/reply_plan.hpp"
#include "tools/sim/sim_log.hpp"

namespace vistrel::sim {

struct server_settings {
    std::string line_end = "\r\n";
    std::optional<std::chrono::milliseconds> exit_after;
    bool exit_on_eof = false;  // end when standard input reaches its end
};

class sim_server {
public:
    sim_server(pty_port& port, device_model& model, std::vector<fault_rule> rules, sim_log& log,
               server_settings settings);

    // Serves until SIGINT or SIGTERM, the end of --exit-after, the end of standard input
    // (with exit_on_eof) or a hang-up fault. Returns the exit status.
    int run();

private:
    using clock = std::chrono::steady_clock;

    struct queued_write {
        clock::time_point due;
        std::string bytes;
        bool hang_up = false;
        std::uint64_t session = 0;
        std::size_t written = 0;
    };

    void follow_port();
    void end_session();
    void read_requests();
    void take_bytes(std::string_view bytes);
    void handle_line(std::string_view line);
    void enqueue(reply_plan plan);
    // Writes what is due; returns false when the port has been hung up.
    bool write_due();

    pty_port& port_;
    device_model& model_;
    std::vector<fault_rule> rules_;
    sim_log& log_;
    server_settings settings_;

    std::string line_;
    bool skipping_long_line_ = false;
    unsigned long requests_ = 0;
    std::deque<queued_write> queue_;
    std::vector<std::string> late_;  // replies held until the host closes the port
    clock::time_point tail_{};
    bool waiting_for_room_ = false;
};

}  // namespace vistrel::sim
