// What the simulated device does with one request line from the host: reads the request,
// picks the fault rule that applies, lets the device model answer and plans the writes of the
// reply. The event loop (sim_server) frames the lines and writes the plan; this part needs no
// port, so tests and fuzz targets can drive it directly.
#pragma once

#include <string_view>
#include <vector>

#include "tools/sim/device_model.hpp"
#include "tools/sim/fault_rule.hpp"
#include "tools/sim/reply_plan.hpp"

namespace vistrel::sim {

// A line of nothing but spaces, tabs and CRs: no request, and not counted as one.
bool blank_request_line(std::string_view line);

struct answered_line {
    reply_plan plan;
    const fault_rule* rule = nullptr;  // the fault rule that shaped the reply, if any
};

// Answers a request line (without its LF) that is not blank; `number_of_request` counts it
// among the requests since the start, from 1. Changes the model's state as the request asks and
// counts the use of the rule it picks.
answered_line answer_request_line(std::string_view line, unsigned long number_of_request, device_model& model,
                                  std::vector<fault_rule>& rules, std::string_view line_end);

}  // namespace vistrel::sim
