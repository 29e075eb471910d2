#include "tools/sim/request_line.hpp"

#include <algorithm>
#include <set>

#include "tools/sim/device_request.hpp"

namespace vistrel::sim {

bool blank_request_line(std::string_view line)
{
    return std::all_of(line.begin(), line.end(), [](char c) { return c == ' ' || c == '\t' || c == '\r'; });
}

answered_line answer_request_line(std::string_view line, unsigned long number_of_request, device_model& model,
                                  std::vector<fault_rule>& rules, std::string_view line_end)
{
    const device_request request = read_request(line);
    const fault_rule* rule = pick_rule(rules, number_of_request, request);
    static const std::set<int> none;
    const auto replies = model.answer(request, rule ? rule->unavailable : none);
    return {plan_reply(request, replies, rule, line_end), rule};
}

}  // namespace vistrel::sim
