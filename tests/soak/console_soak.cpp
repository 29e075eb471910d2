#include "tests/soak/console_soak.hpp"

#include <algorithm>
#include <chrono>
#include <exception>
#include <fstream>
#include <iostream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "console/events/command_context.hpp"
#include "console/link/exchange.hpp"
#include "console/link/failure_report.hpp"
#include "console/link/request.hpp"
#include "console/link/serial_channel.hpp"
#include "tests/soak/candidate_ledger.hpp"
#include "tests/soak/fault_plan.hpp"
#include "tests/soak/resource_snapshot.hpp"
#include "tests/soak/soak_random.hpp"
#include "tests/soak/soak_tally.hpp"
#include "tests/support/sim_fixture.hpp"
#include "tests/support/temporary_folder.hpp"

namespace vistrel::soak {
namespace {

using namespace std::chrono_literals;
using std::chrono::milliseconds;
using clock = std::chrono::steady_clock;
using edid_content = std::vector<std::uint8_t>;

// Past the time-out by this much, an exchange counts as hung.
constexpr auto hang_margin = 1500ms;
constexpr int slot_count = contract::profile_slot_count;

enum class console_kind { information, download, upload, reset };

const char* kind_name(console_kind kind)
{
    switch (kind) {
    case console_kind::information:
        return "information";
    case console_kind::download:
        return "download";
    case console_kind::upload:
        return "upload";
    case console_kind::reset:
        return "reset";
    }
    return "?";
}

enum class outcome { success, timeout, device_error, json_error, parse_error, port_error, unknown };

const char* outcome_name(outcome value)
{
    switch (value) {
    case outcome::success:
        return "success";
    case outcome::timeout:
        return "time-out";
    case outcome::device_error:
        return "device error";
    case outcome::json_error:
        return "JSON error";
    case outcome::parse_error:
        return "parse error";
    case outcome::port_error:
        return "port error";
    case outcome::unknown:
        break;
    }
    return "unknown failure";
}

// The replies of the text_reply fault, by variant.
enum text_variant : std::size_t { hid_update, empty_download, system_error, empty_line, json_error_reordered };

fault_menu console_menu(std::int64_t timeout_seconds)
{
    fault_menu menu;
    // The time-outs cost a second each, the silence of upload and reset too: the modes that
    // end in a time-out are drawn less often.
    menu.weights = {
        30,  // none
        2,  // silence
        8,  // short delay
        2,  // long delay
        10,  // split
        2,  // split, late rest
        8,  // notify
        8,  // device error
        6,  // JSON error
        6,  // garbage
        5,  // broken line
        5,  // text reply
        2,  // late
        0,  // unavailable: CAN only
        3,  // hang-up
        4,  // zero time-out
    };
    menu.wait = std::chrono::seconds(timeout_seconds);
    menu.error_numbers = {0, 261, 0x0410, 7, -1};
    menu.texts = {
        R"({"category":"HID","case":"update","sort":"button","data":[{"button":1,"pressed":false}]})",
        R"({"category":"user profiles","case":"state","sort":"download","data":[]})",
        R"({"category":"system","case":"error","sort":{"number":261,"message":"busy"}})",
        "",
        R"({"data":{"position":3},"sort":{"number":1,"message":"bad request"},"case":"error","category":"JSON"})",
    };
    return menu;
}

struct expectation {
    std::vector<outcome> acceptable;
    bool empty_download = false;  // the reply is a download reply without profiles
};

expectation expect(console_kind kind, const drawn_fault& fault)
{
    const bool reads = kind == console_kind::information || kind == console_kind::download;
    const outcome silent = reads ? outcome::timeout : outcome::success;
    switch (fault.mode) {
    case fault_mode::none:
    case fault_mode::short_delay:
    case fault_mode::split:
    case fault_mode::notify:
    case fault_mode::unavailable:
        return {{outcome::success}};
    case fault_mode::silence:
    case fault_mode::long_delay:
    case fault_mode::split_late:
    case fault_mode::late:
        return {{silent}};
    case fault_mode::zero_wait:
        // The reply can be there already when the program first looks.
        return {{silent, outcome::success}};
    case fault_mode::device_error:
        return {{outcome::device_error}};
    case fault_mode::json_error:
        return {{outcome::json_error}};
    case fault_mode::garbage:
        return {{outcome::parse_error}};
    case fault_mode::broken_line:
        return {{reads ? outcome::parse_error : outcome::success}};
    case fault_mode::hang_up:
        return {{outcome::port_error}};
    case fault_mode::text_reply:
        switch (fault.variant) {
        case hid_update:
        case empty_line:
            return {{silent}};
        case empty_download:
            if (kind == console_kind::download) {
                return {{outcome::success}, true};
            }
            return {{reads ? outcome::timeout : outcome::device_error}};
        case system_error:
            if (kind == console_kind::information) {
                return {{outcome::device_error}};
            }
            return {{silent}};
        case json_error_reordered:
            return {{outcome::json_error}};
        }
        break;
    }
    return {{outcome::unknown}};
}

bool starts_with(const std::string& text, const std::string& start)
{
    return text.rfind(start, 0) == 0;
}

// What the one line of a failed exchange says; `request` is the request as the line shows it.
outcome classify(const std::string& line, const std::string& request)
{
    if (line == "std::runtime_error - waiting for result timeouted\n") {
        return outcome::timeout;
    }
    if (starts_with(line, "error in JSON <" + request + "> - [")) {
        return outcome::device_error;
    }
    if (starts_with(line, "JSON <" + request + "> - JSON error <")) {
        return outcome::json_error;
    }
    if (starts_with(line, "std::runtime_error - JSON parse error - ")) {
        return outcome::parse_error;
    }
    if (starts_with(line, "boost::system::system_error - ") && line.find("read_some") != std::string::npos) {
        return outcome::port_error;
    }
    return outcome::unknown;
}

// Standard error of this process goes to a string while it lives.
class error_capture {
public:
    error_capture() : previous_(std::cerr.rdbuf(text_.rdbuf())) {}
    ~error_capture() { std::cerr.rdbuf(previous_); }
    error_capture(const error_capture&) = delete;
    error_capture& operator=(const error_capture&) = delete;
    std::string text() const { return text_.str(); }

private:
    std::ostringstream text_;
    std::streambuf* previous_;
};

struct exchange_plan {
    console_kind kind = console_kind::information;
    drawn_fault fault;
    std::vector<profile_id_t> slots;  // download, reset
    std::vector<profile> uploads;
};

edid_content random_edid(soak_random& random)
{
    std::size_t size = contract::edid_size;
    const auto shape = random.below(10);
    if (shape == 0) {
        size = 128;
    } else if (shape == 1) {
        size = static_cast<std::size_t>(random.between(1, static_cast<long long>(contract::edid_size)));
    }
    edid_content bytes(size);
    for (auto& byte : bytes) {
        byte = random.byte();
    }
    return bytes;
}

std::vector<profile_id_t> random_slots(soak_random& random, long long most)
{
    std::vector<profile_id_t> all;
    for (int slot = 0; slot < slot_count; ++slot) {
        all.push_back(static_cast<profile_id_t>(slot));
    }
    for (std::size_t i = all.size(); i > 1; --i) {
        std::swap(all[i - 1], all[random.below(i)]);
    }
    all.resize(static_cast<std::size_t>(random.between(1, most)));
    return all;
}

exchange_plan draw_exchange(soak_random& random, const fault_menu& menu)
{
    exchange_plan plan;
    plan.kind = static_cast<console_kind>(random.weighted({35, 45, 15, 5}));
    plan.fault = draw_fault(random, menu);
    switch (plan.kind) {
    case console_kind::information:
        break;
    case console_kind::download:
        plan.slots = random_slots(random, slot_count);
        break;
    case console_kind::reset:
        plan.slots = random_slots(random, 3);
        break;
    case console_kind::upload:
        for (const profile_id_t slot : random_slots(random, 3)) {
            const edid_content bytes = random_edid(random);
            profile record;
            record.id = slot;
            std::copy(bytes.begin(), bytes.end(), record.edid.begin());
            record.edid_size = bytes.size();
            plan.uploads.push_back(record);
        }
        break;
    }
    return plan;
}

edid_content content_of(const profile& record)
{
    const auto size = std::min<std::uint64_t>(record.edid_size, record.edid.size());
    return edid_content(record.edid.begin(), record.edid.begin() + static_cast<std::ptrdiff_t>(size));
}

request_bytes request_of(const exchange_plan& plan)
{
    switch (plan.kind) {
    case console_kind::information:
        return build_request(request_kind::system_information);
    case console_kind::download:
        return build_request(request_kind::download, plan.slots);
    case console_kind::upload:
        return build_request(request_kind::upload, plan.uploads);
    case console_kind::reset:
        return build_request(request_kind::reset, plan.slots);
    }
    return {};
}

// The request as a failure line shows it: without the LF.
std::string shown_request(const exchange_plan& plan)
{
    const request_bytes bytes = request_of(plan);
    std::string text(bytes.begin(), bytes.end());
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) {
        text.pop_back();
    }
    return text;
}

class console_soak {
public:
    console_soak(const soak_options& options, std::uint64_t seed, std::ostream& out)
        : options_(options),
          random_(seed),
          menu_(console_menu(options.console_timeout)),
          tally_("console", out),
          out_(out)
    {
        for (int slot = 0; slot < slot_count; ++slot) {
            ledger_.settle(slot, random_edid(random_));
        }
    }

    unsigned long run();

private:
    // One simulator run for these exchanges.
    void run_block(std::vector<exchange_plan> plans);
    // Runs one exchange; false when the simulator has lost count of the requests.
    bool run_exchange(const exchange_plan& plan, test_support::sim_process& sim);
    void check_result(const exchange_plan& plan, const expectation& expected, const std::string& where,
                      const std::optional<system_information>& information,
                      const std::optional<std::vector<profile>>& downloaded, bool failed);
    void write_profiles(const std::filesystem::path& folder);
    bool limits_reached() const;
    void warm_up();

    const soak_options& options_;
    soak_random random_;
    fault_menu menu_;
    soak_tally tally_;
    std::ostream& out_;
    candidate_ledger<edid_content> ledger_;
    std::array<edid_content, slot_count> defaults_;
    std::unique_ptr<serial_channel> channel_;
    unsigned long number_ = 0;  // exchanges run so far
    unsigned long sent_in_run_ = 0;  // requests sent to the current simulator
    clock::time_point started_;
};

bool console_soak::limits_reached() const
{
    if (options_.console_exchanges && tally_.exchanges() >= *options_.console_exchanges) {
        return true;
    }
    return options_.duration && clock::now() - started_ >= *options_.duration;
}

void console_soak::write_profiles(const std::filesystem::path& folder)
{
    // A slot that a failed exchange left open takes its oldest candidate: the simulator starts
    // with what is written here.
    for (int slot = 0; slot < slot_count; ++slot) {
        const edid_content bytes = ledger_.candidates(slot).front();
        std::ofstream file(folder / ("slot" + std::to_string(slot) + ".bin"), std::ios::binary);
        file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        ledger_.settle(slot, bytes);
        defaults_[static_cast<std::size_t>(slot)] = bytes;
    }
}

void console_soak::check_result(const exchange_plan& plan, const expectation& expected, const std::string& where,
                                const std::optional<system_information>& information,
                                const std::optional<std::vector<profile>>& downloaded, bool failed)
{
    switch (plan.kind) {
    case console_kind::information:
        if (information) {
            const std::string got = to_string(information->hardware) + " " + to_string(information->firmware) + " "
                + to_string(information->json_schema) + " " + information->schema_url;
            if (got != "1.3.B 2.7 1.1 https://vistrel.example/schema/device-1.1.json") {
                tally_.problem(where, "system information reads [" + got + "]");
            }
        }
        break;
    case console_kind::download:
        if (downloaded) {
            if (expected.empty_download) {
                if (!downloaded->empty()) {
                    tally_.problem(where,
                                   "an empty download reply gave " + std::to_string(downloaded->size()) + " profiles");
                }
                break;
            }
            if (downloaded->size() != plan.slots.size()) {
                tally_.problem(where,
                               "asked for " + std::to_string(plan.slots.size()) + " profiles, got "
                                   + std::to_string(downloaded->size()));
                break;
            }
            for (std::size_t i = 0; i < plan.slots.size(); ++i) {
                const profile& record = (*downloaded)[i];
                const int slot = plan.slots[i];
                if (record.id != slot) {
                    tally_.problem(where,
                                   "profile " + std::to_string(i) + " is slot " + std::to_string(record.id)
                                       + ", asked for slot " + std::to_string(slot));
                    continue;
                }
                const edid_content bytes = content_of(record);
                if (!ledger_.holds(slot, bytes)) {
                    tally_.problem(where,
                                   "slot " + std::to_string(slot) + " holds " + std::to_string(bytes.size())
                                       + " bytes that were never uploaded there");
                    continue;
                }
                ledger_.settle(slot, bytes);
            }
        }
        break;
    case console_kind::upload:
        for (const profile& record : plan.uploads) {
            if (failed) {
                ledger_.maybe(record.id, content_of(record));
            } else {
                ledger_.settle(record.id, content_of(record));
            }
        }
        break;
    case console_kind::reset:
        for (const profile_id_t slot : plan.slots) {
            if (failed) {
                ledger_.maybe(slot, defaults_[slot]);
            } else {
                ledger_.settle(slot, defaults_[slot]);
            }
        }
        break;
    }
}

bool console_soak::run_exchange(const exchange_plan& plan, test_support::sim_process& sim)
{
    const std::string where = "exchange " + std::to_string(number_) + " (" + kind_name(plan.kind) + ", "
        + std::string(fault_name(plan.fault.mode)) + ")";
    const expectation expected = expect(plan.kind, plan.fault);
    command_context context;
    context.timeout = plan.fault.mode == fault_mode::zero_wait ? 0 : options_.console_timeout;
    current_command_context = &context;

    std::optional<system_information> information;
    std::optional<std::vector<profile>> downloaded;
    bool failed = false;
    std::string escaped;
    std::string report;
    const auto started = clock::now();
    {
        const error_capture capture;
        try {
            switch (plan.kind) {
            case console_kind::information:
                information = request_system_information(*channel_);
                break;
            case console_kind::download:
                downloaded = download_profiles(plan.slots, *channel_);
                break;
            case console_kind::upload:
                upload_profiles(plan.uploads, *channel_);
                break;
            case console_kind::reset:
                reset_profiles(plan.slots, *channel_);
                break;
            }
        } catch (const failure_reported&) {
            failed = true;
        } catch (const std::exception& error) {
            escaped = error.what();
        } catch (...) {
            escaped = "an exception of unknown type";
        }
        report = capture.text();
    }
    const auto elapsed = std::chrono::duration_cast<std::chrono::microseconds>(clock::now() - started);
    current_command_context = nullptr;
    ++sent_in_run_;
    ++number_;

    const milliseconds limit = std::chrono::seconds(context.timeout);
    tally_.timing(kind_name(plan.kind), elapsed, limit, where);
    tally_.count(plan.fault.mode, failed || !escaped.empty());
    if (elapsed > limit + hang_margin) {
        tally_.problem(where,
                       "took " + std::to_string(elapsed.count() / 1000) + " ms, time-out "
                           + std::to_string(limit.count()) + " ms");
    }
    if (!escaped.empty()) {
        tally_.problem(where, "an exchange let out [" + escaped + "] instead of reporting it");
    }
    if (channel_->is_open() || channel_->reading()) {
        tally_.problem(where, "the channel is still open or reading after the exchange");
    }

    // Exactly one line for a failure, none for a success.
    outcome got = outcome::success;
    if (failed) {
        const auto lines = std::count(report.begin(), report.end(), '\n');
        if (lines != 1 || report.back() != '\n') {
            tally_.problem(where, "a failure reported in " + std::to_string(lines) + " lines: [" + report + "]");
        }
        got = classify(report, shown_request(plan));
    } else if (!report.empty()) {
        tally_.problem(where, "a success printed [" + report + "]");
    }
    if (std::find(expected.acceptable.begin(), expected.acceptable.end(), got) == expected.acceptable.end()) {
        tally_.problem(where,
                       std::string("ended in ") + outcome_name(got) + ", expected "
                           + outcome_name(expected.acceptable.front()) + (report.empty() ? "" : ": " + report)
                           + " rule " + plan.fault.rule.dump() + recent_log(sim));
    }
    if (options_.verbose) {
        out_ << where << ": " << outcome_name(got) << ", " << elapsed.count() / 1000 << " ms" << std::endl;
    }
    check_result(plan, expected, where, information, downloaded, failed || !escaped.empty());

    // A failed exchange ends the console program; a partial reply it leaves in the receive
    // buffer would be offered to the next exchange, which the program never runs. A fresh
    // channel stands for the next run of the program.
    if (channel_->buffered() > 0) {
        if (failed) {
            tally_.event("fresh channel: bytes left by a failed exchange (" + std::string(fault_name(plan.fault.mode))
                         + ")");
            const std::string port = channel_->port_name();
            channel_ = std::make_unique<serial_channel>();
            channel_->set_port_name(port);
        } else {
            tally_.event("bytes left by a successful exchange (" + std::string(fault_name(plan.fault.mode)) + ")");
        }
    }

    // The simulator's queue is still busy with this exchange's reply: a later reply would
    // wait behind it.
    const auto free_at = started + plan.fault.busy + 20ms;
    if (clock::now() < free_at) {
        std::this_thread::sleep_until(free_at);
    }
    // A host that did not wait may be gone before the simulator has read its request; the next
    // host must not get its reply.
    if (plan.fault.mode == fault_mode::zero_wait && !sim.wait_for_requests(sent_in_run_, 2s)) {
        // Its rules would fall on the wrong requests from here on.
        tally_.problem(where, "the simulator never read the request; the run ends here");
        return false;
    }
    return true;
}

void console_soak::run_block(std::vector<exchange_plan> plans)
{
    const bool hangs_up = !plans.empty() && plans.back().fault.mode == fault_mode::hang_up;
    scenario rules;
    for (std::size_t i = 0; i < plans.size(); ++i) {
        rules.add(i + 1, plans[i].fault);
    }
    if (!hangs_up) {
        // Every slot at the end of the run, without a fault: it settles what failed exchanges
        // left open.
        exchange_plan audit;
        audit.kind = console_kind::download;
        audit.slots = random_slots(random_, slot_count);
        plans.push_back(audit);
    }

    const test_support::temporary_folder profiles;
    write_profiles(profiles.path());
    test_support::sim_settings settings;
    settings.scenario = rules.text();
    settings.arguments = {"--profiles", profiles.path().string()};
    test_support::sim_process sim(settings);
    tally_.event("simulator runs");
    channel_->set_port_name(sim.port());
    sent_in_run_ = 0;
    bool in_step = true;
    for (const auto& plan : plans) {
        if (!run_exchange(plan, sim)) {
            in_step = false;
            break;
        }
    }

    const std::string where = "simulator run ending at exchange " + std::to_string(number_);
    if (hangs_up) {
        if (sim.wait_for_exit(3s) != std::optional<int>(0)) {
            tally_.problem(where, "the simulator did not end after its hang-up");
        }
    }
    if (in_step) {
        tally_.check_simulator_run(sim, where, sent_in_run_, rules.rules());
    }
}

void console_soak::warm_up()
{
    // Whatever a runtime starts with the first thread (the thread sanitizer starts one of its
    // own) is in the counts at the start.
    test_support::sim_process sim;
    serial_channel channel;
    channel.set_port_name(sim.port());
    command_context context;
    current_command_context = &context;
    try {
        const error_capture capture;
        request_system_information(channel);
    } catch (const failure_reported&) {
        tally_.problem("warm-up", "the first exchange failed");
    }
    current_command_context = nullptr;
}

unsigned long console_soak::run()
{
    warm_up();
    const resource_snapshot before = resource_snapshot::take();
    started_ = clock::now();
    channel_ = std::make_unique<serial_channel>();
    while (!limits_reached()) {
        std::vector<exchange_plan> plans;
        const unsigned long drawn = exchanges_to_draw(options_.console_exchanges, tally_.exchanges(), options_.block);
        while (plans.size() < drawn) {
            plans.push_back(draw_exchange(random_, menu_));
            if (plans.back().fault.mode == fault_mode::hang_up) {
                break;
            }
        }
        run_block(std::move(plans));
    }
    const auto elapsed = std::chrono::duration_cast<milliseconds>(clock::now() - started_);
    channel_.reset();
    const resource_snapshot after = resource_snapshot::take();

    if (ledger_.open_keys() != 0) {
        tally_.event("slots left open by failed exchanges", ledger_.open_keys());
    }
    return tally_.finish(before, after, elapsed);
}

}  // namespace

unsigned long run_console_soak(const soak_options& options, std::uint64_t seed, std::ostream& out)
{
    out << "console part: seed " << seed << ", time-out " << options.console_timeout << " s" << std::endl;
    console_soak soak(options, seed, out);
    return soak.run();
}

}  // namespace vistrel::soak
