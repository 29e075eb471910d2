#include "tools/sim/reply_plan.hpp"

#include <algorithm>

#include "tools/sim/signal_store.hpp"

namespace vistrel::sim {
namespace {

constexpr int simulated_failure_code = 0x10;

// The signal an injected CAN error names: the rule's, else the first one the request names.
json error_identifier(const device_request& request, const fault_rule& rule)
{
    long long code = rule.signal.value_or(0);
    if (!rule.signal) {
        const auto data = request.body.find("data");
        if (data != request.body.end() && data->is_array() && !data->empty()) {
            const auto& first = data->front();
            if (first.is_object() && first.contains("identifier") && first["identifier"].is_object()) {
                const auto& identifier = first["identifier"];
                if (identifier.contains("code") && identifier["code"].is_number_integer()) {
                    code = identifier["code"].get<long long>();
                }
            }
        }
    }
    if (const signal_definition* definition = signal_store::find(code)) {
        return signal_store::identifier(*definition);
    }
    json identifier = json::object();
    identifier["code"] = code;
    return identifier;
}

std::vector<std::string> shaped_messages(const device_request& request, const std::vector<json>& replies,
                                         const fault_rule* rule)
{
    const reply_kind kind = rule ? rule->reply : reply_kind::normal;
    switch (kind) {
    case reply_kind::silent:
        return {};
    case reply_kind::garbage:
        return {rule->garbage};
    case reply_kind::text:
        return {rule->verbatim};
    case reply_kind::json_error:
        return {compact_text(make_json_error(rule->number.value_or(0x0001), rule->message.value_or("syntax error"),
                                             rule->position.value_or(0)))};
    case reply_kind::error: {
        const category own = request.category.value_or(category::json_category);
        const int number = rule->number.value_or(error_number(own, simulated_failure_code));
        const std::string message = rule->message.value_or("simulated failure");
        if (own == category::json_category) {
            return {compact_text(make_json_error(number, message, rule->position.value_or(0)))};
        }
        json data = nullptr;
        if (own == category::can) {
            json item = json::object();
            item["identifier"] = error_identifier(request, *rule);
            data = json::array({std::move(item)});
        }
        return {compact_text(make_error(own, number, message, std::move(data)))};
    }
    case reply_kind::normal:
    case reply_kind::broken_line:
        break;
    }
    std::vector<std::string> texts;
    for (const auto& reply : replies) {
        texts.push_back(compact_text(reply));
    }
    return texts;
}

std::string notification(category value)
{
    if (value == category::hid) {
        json item = json::object();
        item["button"] = 2;
        item["pressed"] = true;
        return compact_text(make_message(category::hid, case_update, "button", json::array({std::move(item)})));
    }
    json physical = json::object();
    physical["numerical"] = 600;
    physical["unit"] = "lx";
    json value_object = json::object();
    value_object["raw"] = 100;
    value_object["physical"] = std::move(physical);
    json item = json::object();
    item["identifier"] = signal_store::identifier(*signal_store::find(5));
    item["value"] = std::move(value_object);
    return compact_text(make_message(category::can, case_update, "signal", json::array({std::move(item)})));
}

// Where a split point falls in the reply bytes; 0 or the size mean "no cut".
std::size_t cut_position(const split_point& point, std::string_view reply, std::string_view line_end)
{
    switch (point.where) {
    case split_point::place::offset:
        return point.offset;
    case split_point::place::in_string: {
        // Two bytes into the first string value: {"category":"sy|stem"...
        const auto value = reply.find(":\"");
        return value == std::string_view::npos ? 0 : value + 4;
    }
    case split_point::place::before_line_end:
        return reply.size() >= line_end.size() ? reply.size() - line_end.size() : 0;
    case split_point::place::inside_line_end:
        return line_end.size() == 2 ? reply.size() - 1 : 0;
    }
    return 0;
}

}  // namespace

reply_plan plan_reply(const device_request& request, const std::vector<json>& replies, const fault_rule* rule,
                      std::string_view line_end)
{
    reply_plan plan;
    std::string reply;
    const auto messages = shaped_messages(request, replies, rule);
    for (std::size_t i = 0; i < messages.size(); ++i) {
        std::string message = messages[i];
        if (i == 0 && rule && rule->reply == reply_kind::broken_line) {
            const auto comma = message.find(',');
            const auto at = comma == std::string::npos ? std::min<std::size_t>(1, message.size()) : comma + 1;
            message.insert(at, line_end);
        }
        reply += message;
        reply += line_end;
    }
    if (rule == nullptr) {
        if (!reply.empty()) {
            plan.steps.push_back({std::chrono::milliseconds(0), std::move(reply), false});
        }
        return plan;
    }

    plan.late = rule->late;
    std::chrono::milliseconds first_pause = rule->delay;
    std::string prefix;
    if (rule->notify) {
        std::string note = notification(*rule->notify) + std::string(line_end);
        if (rule->notify_separate) {
            plan.steps.push_back({rule->delay, std::move(note), false});
            first_pause = rule->notify_pause;
        } else {
            prefix = std::move(note);
        }
    }

    // Cut points in the reply (without a notification in front of it).
    std::vector<std::size_t> cuts;
    for (const auto& point : rule->split) {
        const std::size_t at = cut_position(point, reply, line_end);
        if (at > 0 && at < reply.size()) {
            cuts.push_back(at);
        }
    }
    std::size_t end = reply.size();
    if (rule->hang_up) {
        end = std::min(reply.size(), rule->hang_up_at.value_or(reply.size() / 2));
    }
    std::sort(cuts.begin(), cuts.end());
    cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());
    cuts.erase(std::remove_if(cuts.begin(), cuts.end(), [end](std::size_t at) { return at >= end; }), cuts.end());
    cuts.push_back(end);

    std::size_t from = 0;
    for (std::size_t i = 0; i < cuts.size(); ++i) {
        std::string piece = reply.substr(from, cuts[i] - from);
        if (i == 0) {
            piece.insert(0, prefix);
        }
        const auto pause = i == 0 ? first_pause : rule->split_pause;
        if (!piece.empty()) {
            plan.steps.push_back({pause, std::move(piece), false});
        }
        from = cuts[i];
    }
    if (rule->hang_up) {
        // The host gets time to read the first part before the port goes away under it.
        plan.steps.push_back({plan.steps.empty() ? first_pause : rule->hang_up_pause, std::string(), true});
    }
    return plan;
}

}  // namespace vistrel::sim
