// The faults the soak draws, and the simulator rules that inject them.
//
// A simulator run serves a block of exchanges; each drawn fault becomes a rule for the number
// of its request in that run ({"request": N, ...}), so one run injects a different fault into
// every exchange. A hang-up ends the simulator and with it the block.
#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "tests/soak/soak_random.hpp"

namespace vistrel::soak {

enum class fault_mode : std::size_t {
    none,
    silence,
    short_delay,  // the reply comes well within the wait
    long_delay,  // the reply comes well after the wait
    split,  // the reply in pieces, all within the wait
    split_late,  // the rest of the reply comes well after the wait
    notify,  // an unrelated notification before the reply
    device_error,
    json_error,
    garbage,
    broken_line,
    text_reply,  // a reply of another kind in place of the reply
    late,  // the reply is held until the host has closed the port
    unavailable,  // CAN signals that answer with error 0x0315
    hang_up,  // half the reply, then the port goes away and the simulator ends
    zero_wait,  // no fault: the host waits 0 ms (engine) or 0 s (console)
};
inline constexpr std::size_t fault_mode_count = 16;

std::string_view fault_name(fault_mode mode);

// What a part draws from.
struct fault_menu {
    std::array<unsigned, fault_mode_count> weights{};
    std::chrono::milliseconds wait{0};  // the host's time-out or reply wait
    std::vector<int> error_numbers;  // numbers of the injected device errors; 0: the simulator's own
    std::vector<std::string> texts;  // the replies of text_reply
    std::vector<int> signal_codes;  // what unavailable draws from
};

struct drawn_fault {
    fault_mode mode = fault_mode::none;
    std::size_t variant = 0;  // the index into the menu's error numbers or texts
    std::vector<int> unavailable;  // the signal codes of an unavailable fault
    nlohmann::json rule;  // the rule's members without "request"; null: no rule
    // From the request on, the simulator's reply queue stays busy this long (its replies leave
    // in order, so a later reply would wait behind this one).
    std::chrono::milliseconds busy{0};
};

drawn_fault draw_fault(soak_random& random, const fault_menu& menu);

// The fault rules of one simulator run, as the --scenario file holds them.
class scenario {
public:
    // The fault goes to the request with this number (counted from 1 in the run).
    void add(unsigned long request, const drawn_fault& fault);
    std::size_t rules() const { return rules_.size(); }
    std::string text() const { return rules_.dump(); }

private:
    nlohmann::json rules_ = nlohmann::json::array();
};

}  // namespace vistrel::soak
