// Turns the device's replies to one request into the writes that carry them to the host,
// shaped by the fault rule that applies (if any).
#pragma once

#include <chrono>
#include <string>
#include <string_view>
#include <vector>

#include "tools/sim/device_request.hpp"
#include "tools/sim/fault_rule.hpp"
#include "tools/sim/messages.hpp"

namespace vistrel::sim {

struct write_step {
    std::chrono::milliseconds pause{0};  // wait after the previous step (or the request)
    std::string bytes;
    bool hang_up = false;  // close the port under the host after writing the bytes
};

struct reply_plan {
    std::vector<write_step> steps;
    bool late = false;  // hold the bytes until the host has closed the port
};

reply_plan plan_reply(const device_request& request, const std::vector<json>& replies, const fault_rule* rule,
                      std::string_view line_end);

}  // namespace vistrel::sim
