#include "tools/sim/fault_rule.hpp"

#include <cstdint>
#include <limits>
#include <string_view>

namespace vistrel::sim {
namespace {

[[noreturn]] void reject(const std::string& key, const std::string& why)
{
    throw rule_error("fault rule member [" + key + "] " + why);
}

unsigned long whole_number(const json& value, const std::string& key)
{
    if (!value.is_number_unsigned()) {
        reject(key, "must be a whole number of 0 or more");
    }
    return value.get<unsigned long>();
}

// An integer that Integer holds as it is written; a larger one would be cut to another number.
template <typename Integer>
Integer integer(const json& value, const std::string& key, const char* why = "must be an integer")
{
    if (!value.is_number_integer()) {
        reject(key, why);
    }
    const bool fits = value.is_number_unsigned()
        ? value.get<std::uint64_t>() <= static_cast<std::uint64_t>(std::numeric_limits<Integer>::max())
        : value.get<std::int64_t>() >= std::numeric_limits<Integer>::min()
            && value.get<std::int64_t>() <= std::numeric_limits<Integer>::max();
    if (!fits) {
        reject(key,
               std::string(why) + " from " + std::to_string(std::numeric_limits<Integer>::min()) + " to "
                   + std::to_string(std::numeric_limits<Integer>::max()));
    }
    return static_cast<Integer>(value.is_number_unsigned() ? static_cast<std::int64_t>(value.get<std::uint64_t>())
                                                           : value.get<std::int64_t>());
}

std::chrono::milliseconds milliseconds(const json& value, const std::string& key)
{
    const unsigned long ms = whole_number(value, key);
    if (ms > 3'600'000UL) {
        reject(key, "must be at most 3600000");
    }
    return std::chrono::milliseconds(static_cast<long>(ms));
}

std::string text(const json& value, const std::string& key)
{
    if (!value.is_string()) {
        reject(key, "must be a string");
    }
    return value.get<std::string>();
}

bool flag(const json& value, const std::string& key)
{
    if (!value.is_boolean()) {
        reject(key, "must be true or false");
    }
    return value.get<bool>();
}

reply_kind reply_of(const std::string& name)
{
    static constexpr std::pair<std::string_view, reply_kind> names[] = {
        {"normal", reply_kind::normal},   {"silent", reply_kind::silent},
        {"error", reply_kind::error},     {"json-error", reply_kind::json_error},
        {"garbage", reply_kind::garbage}, {"broken-line", reply_kind::broken_line},
        {"text", reply_kind::text}};
    for (const auto& [text_of_kind, kind] : names) {
        if (name == text_of_kind) {
            return kind;
        }
    }
    reject("reply", "must be one of normal, silent, error, json-error, garbage, broken-line, text");
}

split_point split_point_of(const json& value)
{
    if (value.is_number_unsigned()) {
        return {split_point::place::offset, value.get<std::size_t>()};
    }
    if (value.is_string()) {
        const auto& name = value.get_ref<const std::string&>();
        if (name == "string") {
            return {split_point::place::in_string, 0};
        }
        if (name == "line-end") {
            return {split_point::place::before_line_end, 0};
        }
        if (name == "inside-line-end") {
            return {split_point::place::inside_line_end, 0};
        }
    }
    reject("split", "points must be byte offsets or \"string\", \"line-end\", \"inside-line-end\"");
}

}  // namespace

bool fault_rule::applies_to(unsigned long number_of_request, const device_request& request_read) const
{
    if (times && used >= *times) {
        return false;
    }
    if (request && *request != number_of_request) {
        return false;
    }
    if (category && (!request_read.readable || *category != request_read.category_name)) {
        return false;
    }
    if (case_name && *case_name != request_read.case_name) {
        return false;
    }
    if (sort && *sort != request_read.sort) {
        return false;
    }
    return true;
}

fault_rule read_rule(const json& object)
{
    if (!object.is_object()) {
        throw rule_error("a fault rule must be a JSON object");
    }
    fault_rule rule;
    for (const auto& [key, value] : object.items()) {
        if (key == "request") {
            rule.request = whole_number(value, key);
            if (*rule.request == 0) {
                reject(key, "counts from 1");
            }
        } else if (key == "category") {
            rule.category = text(value, key);
        } else if (key == "case") {
            rule.case_name = text(value, key);
        } else if (key == "sort") {
            rule.sort = text(value, key);
        } else if (key == "times") {
            rule.times = whole_number(value, key);
        } else if (key == "reply") {
            rule.reply = reply_of(text(value, key));
        } else if (key == "number") {
            rule.number = integer<int>(value, key);
        } else if (key == "message") {
            rule.message = text(value, key);
        } else if (key == "signal") {
            rule.signal = integer<long long>(value, key);
        } else if (key == "position") {
            rule.position = whole_number(value, key);
        } else if (key == "garbage") {
            rule.garbage = text(value, key);
        } else if (key == "text") {
            rule.verbatim = text(value, key);
        } else if (key == "delay_ms") {
            rule.delay = milliseconds(value, key);
        } else if (key == "split") {
            if (!value.is_array()) {
                reject(key, "must be an array");
            }
            for (const auto& point : value) {
                rule.split.push_back(split_point_of(point));
            }
        } else if (key == "pause_ms") {
            rule.split_pause = milliseconds(value, key);
        } else if (key == "notify") {
            const std::string name = text(value, key);
            if (name == category_text(category::hid)) {
                rule.notify = category::hid;
            } else if (name == category_text(category::can)) {
                rule.notify = category::can;
            } else {
                reject(key, "must be \"HID\" or \"CAN\"");
            }
        } else if (key == "notify_separate") {
            rule.notify_separate = flag(value, key);
        } else if (key == "notify_pause_ms") {
            rule.notify_pause = milliseconds(value, key);
        } else if (key == "hangup") {
            rule.hang_up = flag(value, key);
        } else if (key == "hangup_at") {
            rule.hang_up_at = whole_number(value, key);
            rule.hang_up = true;
        } else if (key == "hangup_pause_ms") {
            rule.hang_up_pause = milliseconds(value, key);
        } else if (key == "late") {
            rule.late = flag(value, key);
        } else if (key == "unavailable") {
            if (!value.is_array()) {
                reject(key, "must be an array of signal codes");
            }
            for (const auto& code : value) {
                rule.unavailable.insert(integer<int>(code, key, "must be an array of signal codes"));
            }
        } else {
            throw rule_error("unknown fault rule member [" + key + "]");
        }
    }
    // Written out only once every member has been checked: none holds anything nested then, and
    // the writer takes as much stack as its value has levels.
    rule.text = compact_text(object);
    return rule;
}

std::vector<fault_rule> read_scenario(const json& scenario)
{
    const json* rules = &scenario;
    if (scenario.is_object()) {
        const auto member = scenario.find("rules");
        if (member == scenario.end() || scenario.size() != 1) {
            throw rule_error("a scenario object must hold exactly the member \"rules\"");
        }
        rules = &*member;
    }
    if (!rules->is_array()) {
        throw rule_error("a scenario must be an array of fault rules");
    }
    std::vector<fault_rule> result;
    for (const auto& rule : *rules) {
        result.push_back(read_rule(rule));
    }
    return result;
}

fault_rule* pick_rule(std::vector<fault_rule>& rules, unsigned long number_of_request, const device_request& request)
{
    for (auto& rule : rules) {
        if (rule.applies_to(number_of_request, request)) {
            ++rule.used;
            return &rule;
        }
    }
    return nullptr;
}

}  // namespace vistrel::sim
