// Fault injection: rules that change how the device answers chosen requests.
//
// A rule is a JSON object. It applies to the Nth request ("request": N, counted from 1 over
// every non-empty request line) and/or to requests of a "category" (with "case" and "sort"
// when given); a rule without either applies to every request. "times" limits how often it
// applies. The first rule that applies to a request shapes its reply:
//   "reply": "normal" (default), "silent", "error" (case error of the request's category with
//            "sort" {"number", "message"}; for CAN requests "data" names "signal"),
//            "json-error" (category JSON with "position"), "garbage" (the text of "garbage"),
//            "broken-line" (a line end right after the first member of the reply object),
//            "text" (the text of "text" as it stands, in place of the reply)
//   "number", "message", "signal", "position", "garbage", "text": details of those replies
//   "delay_ms": pause before the first byte
//   "split": cut points, each a byte offset into the reply or "string" (inside the first
//            string value), "line-end" (before the line end) or "inside-line-end" (between
//            CR and LF); "pause_ms" (default 50) between the pieces
//   "notify": "HID" or "CAN": an unrelated update notification sent before the reply,
//            in the same write unless "notify_separate" is true ("notify_pause_ms", default 20)
//   "hangup": true: send the first half of the reply (or "hangup_at" bytes), then close the
//            port under the host ("hangup_pause_ms" later, default 100); the simulator ends then
//   "late": true: keep the reply until the host has closed the port; it is then dropped
//   "unavailable": CAN signal codes that answer with error 0x0315 instead of a value
#pragma once

#include <chrono>
#include <cstddef>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "tools/sim/device_request.hpp"
#include "tools/sim/messages.hpp"

namespace vistrel::sim {

enum class reply_kind { normal, silent, error, json_error, garbage, broken_line, text };

struct split_point {
    enum class place { offset, in_string, before_line_end, inside_line_end };
    place where = place::offset;
    std::size_t offset = 0;
};

struct fault_rule {
    // Which requests.
    std::optional<unsigned long> request;
    std::optional<std::string> category;
    std::optional<std::string> case_name;
    std::optional<std::string> sort;
    std::optional<unsigned long> times;
    unsigned long used = 0;

    // What happens to the reply.
    reply_kind reply = reply_kind::normal;
    std::optional<int> number;
    std::optional<std::string> message;
    std::optional<long long> signal;
    std::optional<std::size_t> position;
    std::string garbage = "#?garbage\x01\x7F";
    std::string verbatim;
    std::chrono::milliseconds delay{0};
    std::vector<split_point> split;
    std::chrono::milliseconds split_pause{50};
    std::optional<sim::category> notify;
    bool notify_separate = false;
    std::chrono::milliseconds notify_pause{20};
    bool hang_up = false;
    std::optional<std::size_t> hang_up_at;
    std::chrono::milliseconds hang_up_pause{100};
    bool late = false;
    std::set<int> unavailable;

    std::string text;  // the rule as given, for the log

    bool applies_to(unsigned long number_of_request, const device_request& request) const;
};

class rule_error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One rule from its JSON object; throws rule_error naming what is wrong.
fault_rule read_rule(const json& object);
// The rules of a scenario: an array of rules, or an object {"rules": [...]}.
std::vector<fault_rule> read_scenario(const json& scenario);

// The first rule that applies (and counts the use), or null.
fault_rule* pick_rule(std::vector<fault_rule>& rules, unsigned long number_of_request, const device_request& request);

}  // namespace vistrel::sim
