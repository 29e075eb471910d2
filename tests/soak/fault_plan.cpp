#include "tests/soak/fault_plan.hpp"

#include <algorithm>

namespace vistrel::soak {
namespace {

using std::chrono::milliseconds;

constexpr std::array<std::string_view, fault_mode_count> names{
    "none",       "silence", "short delay", "long delay", "split", "split, late rest", "notify",  "dev error",
    "JSON error", "garbage", "broken line", "text reply", "late",  "unavail.",         "hang-up", "zero wait",
};

long long ms(milliseconds value)
{
    return static_cast<long long>(value.count());
}

// Well after the wait, so that no race with the host's deadline decides the outcome.
long long well_after(soak_random& random, milliseconds wait)
{
    const long long base = ms(wait);
    return base + random.between(std::max(100LL, base * 3 / 10), std::max(250LL, base * 6 / 10));
}

// A short pause, so that several of them still end well within the wait.
long long short_pause(soak_random& random, milliseconds wait)
{
    return random.between(1, std::max(2LL, ms(wait) / 10));
}

std::string garbage_text(soak_random& random)
{
    static constexpr std::string_view first = "#?!@\x01\x7f";
    static constexpr std::string_view rest = "abcxyz0123456789 {}[]:,\"'\\/#?!@\x01\x02\x1e\x7f\t";
    std::string text(1, first[random.below(first.size())]);
    const auto length = random.between(0, 40);
    for (long long i = 0; i < length; ++i) {
        text += rest[random.below(rest.size())];
    }
    return text;
}

nlohmann::json split_point(soak_random& random)
{
    switch (random.below(4)) {
    case 0:
        return "string";
    case 1:
        return "line-end";
    case 2:
        return "inside-line-end";
    default:
        return random.between(1, 80);
    }
}

}  // namespace

std::string_view fault_name(fault_mode mode)
{
    return names.at(static_cast<std::size_t>(mode));
}

drawn_fault draw_fault(soak_random& random, const fault_menu& menu)
{
    drawn_fault fault;
    fault.mode = static_cast<fault_mode>(random.weighted_range(menu.weights));
    nlohmann::json rule = nlohmann::json::object();
    switch (fault.mode) {
    case fault_mode::none:
    case fault_mode::zero_wait:
        return fault;
    case fault_mode::silence:
        rule["reply"] = "silent";
        break;
    case fault_mode::short_delay: {
        const long long delay = random.between(std::max(1LL, ms(menu.wait) / 20), std::max(2LL, ms(menu.wait) / 4));
        rule["delay_ms"] = delay;
        fault.busy = milliseconds(delay);
        break;
    }
    case fault_mode::long_delay: {
        const long long delay = well_after(random, menu.wait);
        rule["delay_ms"] = delay;
        fault.busy = milliseconds(delay);
        break;
    }
    case fault_mode::split: {
        const auto count = random.between(1, 3);
        nlohmann::json points = nlohmann::json::array();
        for (long long i = 0; i < count; ++i) {
            points.push_back(split_point(random));
        }
        const long long pause = short_pause(random, menu.wait);
        rule["split"] = std::move(points);
        rule["pause_ms"] = pause;
        fault.busy = milliseconds(pause * count);
        break;
    }
    case fault_mode::split_late: {
        const long long pause = well_after(random, menu.wait);
        rule["split"] = nlohmann::json::array({random.between(1, 40)});
        rule["pause_ms"] = pause;
        fault.busy = milliseconds(pause);
        break;
    }
    case fault_mode::notify: {
        rule["notify"] = random.chance(50) ? "HID" : "CAN";
        if (random.chance(50)) {
            const long long pause = short_pause(random, menu.wait);
            rule["notify_separate"] = true;
            rule["notify_pause_ms"] = pause;
            fault.busy = milliseconds(pause);
        }
        break;
    }
    case fault_mode::device_error: {
        rule["reply"] = "error";
        fault.variant = static_cast<std::size_t>(random.below(menu.error_numbers.size()));
        if (!menu.error_numbers.empty() && menu.error_numbers[fault.variant] != 0) {
            rule["number"] = menu.error_numbers[fault.variant];
        }
        if (random.chance(50)) {
            rule["message"] = random.chance(50) ? "busy" : "not \"now\", later\\";
        }
        break;
    }
    case fault_mode::json_error:
        rule["reply"] = "json-error";
        rule["position"] = random.between(0, 300);
        if (random.chance(50)) {
            rule["message"] = "bad request";
        }
        break;
    case fault_mode::garbage:
        rule["reply"] = "garbage";
        rule["garbage"] = garbage_text(random);
        break;
    case fault_mode::broken_line:
        rule["reply"] = "broken-line";
        break;
    case fault_mode::text_reply:
        fault.variant = static_cast<std::size_t>(random.below(menu.texts.size()));
        rule["reply"] = "text";
        rule["text"] = menu.texts.empty() ? std::string() : menu.texts[fault.variant];
        break;
    case fault_mode::late:
        rule["late"] = true;
        break;
    case fault_mode::unavailable: {
        for (const int code : menu.signal_codes) {
            if (random.chance(40)) {
                fault.unavailable.push_back(code);
            }
        }
        if (fault.unavailable.empty() && !menu.signal_codes.empty()) {
            fault.unavailable.push_back(menu.signal_codes[random.below(menu.signal_codes.size())]);
        }
        rule["unavailable"] = fault.unavailable;
        break;
    }
    case fault_mode::hang_up:
        if (random.chance(50)) {
            rule["hangup_at"] = random.between(1, 60);
        } else {
            rule["hangup"] = true;
        }
        // The port goes away well before the host's wait ends.
        rule["hangup_pause_ms"] = random.between(1, std::max(2LL, ms(menu.wait) / 4));
        break;
    }
    fault.rule = std::move(rule);
    return fault;
}

void scenario::add(unsigned long request, const drawn_fault& fault)
{
    if (fault.rule.is_null()) {
        return;
    }
    nlohmann::json rule = nlohmann::json::object();
    rule["request"] = request;
    rule.update(fault.rule);
    rules_.push_back(std::move(rule));
}

}  // namespace vistrel::soak
