// A fuzzed session with the device simulator, without a pseudo-terminal. A first byte 0x01,
// 0x02 or 0x03 picks the line end of the replies (CR LF, LF, CR; otherwise CR LF) and is
// dropped. The first line is then a scenario of fault rules, read as a --scenario file is (a
// syntax or rule error leaves no rules); every further line up to its LF is a request from the host,
// answered in turn by one device model, so that a set request changes what a later get
// request sees. What the device says without a fault rule must be whole lines of JSON objects.
// Any exception out of the answer is reported: the simulator would end on it. Each session runs
// on a thread with a small stack, so that recursion which grows with the nesting of a request or
// a rule shows up with inputs of a few KiB, as it does on the simulator's 8 MiB stack with the
// request lines of up to 1 MiB that it reads.
#include <pthread.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "tools/sim/device_model.hpp"
#include "tools/sim/fault_rule.hpp"
#include "tools/sim/messages.hpp"
#include "tools/sim/reply_plan.hpp"
#include "tools/sim/request_line.hpp"

namespace {

using vistrel::sim::json;

std::vector<vistrel::sim::fault_rule> rules_of(std::string_view line)
{
    try {
        return vistrel::sim::read_scenario(json::parse(line.begin(), line.end()));
    } catch (const json::parse_error&) {
    } catch (const json::out_of_range&) {  // a number beyond a double: refused as not JSON
    } catch (const vistrel::sim::rule_error&) {
    }
    return {};
}

// Every reply the device sends on its own is one JSON object and its line end.
void check_plain_reply(const vistrel::sim::reply_plan& plan, std::string_view line_end)
{
    if (plan.late || plan.steps.size() > 1) {
        std::abort();
    }
    if (plan.steps.empty()) {
        return;
    }
    const auto& step = plan.steps.front();
    if (step.hang_up || step.pause.count() != 0) {
        std::abort();
    }
    std::string_view bytes = step.bytes;
    while (!bytes.empty()) {
        const auto end = bytes.find(line_end);
        if (end == std::string_view::npos) {
            std::abort();
        }
        const std::string_view text = bytes.substr(0, end);
        if (text.find_first_of("\r\n") != std::string_view::npos
            || !json::parse(text.begin(), text.end(), nullptr, false).is_object()) {
            std::abort();
        }
        bytes.remove_prefix(end + line_end.size());
    }
}

// A hang-up ends the plan; nothing is written after it.
void check_faulty_reply(const vistrel::sim::reply_plan& plan)
{
    for (std::size_t i = 0; i + 1 < plan.steps.size(); ++i) {
        if (plan.steps[i].hang_up) {
            std::abort();
        }
    }
}

constexpr std::size_t session_stack = 128 * 1024;

void run_session(std::string_view input)
{
    std::string_view line_end = "\r\n";
    if (!input.empty() && input.front() >= 1 && input.front() <= 3) {
        static constexpr std::string_view line_ends[] = {"\r\n", "\n", "\r"};
        line_end = line_ends[input.front() - 1];
        input.remove_prefix(1);
    }

    const auto first_end = input.find('\n');
    std::vector<vistrel::sim::fault_rule> rules = rules_of(input.substr(0, first_end));
    input.remove_prefix(first_end == std::string_view::npos ? input.size() : first_end + 1);

    vistrel::sim::device_model model;
    unsigned long requests = 0;
    // A line without its LF is never answered: the device waits for the rest.
    for (auto end = input.find('\n'); end != std::string_view::npos; end = input.find('\n')) {
        const std::string_view line = input.substr(0, end);
        input.remove_prefix(end + 1);
        if (vistrel::sim::blank_request_line(line)) {
            continue;
        }
        const auto answer = vistrel::sim::answer_request_line(line, ++requests, model, rules, line_end);
        if (answer.rule == nullptr) {
            check_plain_reply(answer.plan, line_end);
        } else {
            check_faulty_reply(answer.plan);
        }
    }
}

void* session_thread(void* input)
{
    run_session(*static_cast<const std::string_view*>(input));
    return nullptr;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string_view input(reinterpret_cast<const char*>(data), size);
    pthread_attr_t attributes;
    pthread_t thread;
    if (pthread_attr_init(&attributes) != 0 || pthread_attr_setstacksize(&attributes, session_stack) != 0
        || pthread_create(&thread, &attributes, session_thread, &input) != 0 || pthread_join(thread, nullptr) != 0) {
        std::abort();
    }
    pthread_attr_destroy(&attributes);
    return 0;
}
