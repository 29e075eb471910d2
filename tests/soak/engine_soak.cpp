#include "tests/soak/engine_soak.hpp"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include <QEventLoop>
#include <QObject>
#include <QTimer>

#include "contract/device_contract.hpp"
#include "dimming/engine/lux_bands.h"
#include "dimming/engine/port_lister.h"
#include "dimming/engine/working_engine.h"
#include "tests/soak/candidate_ledger.hpp"
#include "tests/soak/fault_plan.hpp"
#include "tests/soak/resource_snapshot.hpp"
#include "tests/soak/soak_random.hpp"
#include "tests/soak/soak_tally.hpp"
#include "tests/support/sim_fixture.hpp"
#include "tools/sim/signal_store.hpp"

namespace vistrel::soak {
namespace {

using namespace std::chrono_literals;
using std::chrono::milliseconds;
using clock = std::chrono::steady_clock;

constexpr auto hang_margin = 1500ms;
constexpr int first_signal = 1;
constexpr int last_signal = 6;
constexpr int unavailable_code = contract::signal_error_unavailable & 0xFF;

// The replies of the text_reply fault, by variant.
enum text_variant : std::size_t { hid_update, unavailable_boost, one_value, refusal, empty_line };

fault_menu engine_menu(int wait)
{
    fault_menu menu;
    menu.weights = {
        25,  // none
        4,  // silence
        7,  // short delay
        4,  // long delay
        8,  // split
        4,  // split, late rest
        7,  // notify
        7,  // device error
        5,  // JSON error
        5,  // garbage
        5,  // broken line
        6,  // text reply
        3,  // late
        6,  // unavailable
        3,  // hang-up
        4,  // zero wait
    };
    menu.wait = milliseconds(wait);
    // The simulator's own 0x0310, one out of range, one of another category, one unavailable.
    menu.error_numbers = {0, 0x0302, 0x0101, contract::signal_error_unavailable};
    menu.texts = {
        R"({"category":"HID","case":"update","sort":"button","data":[{"button":1,"pressed":false}]})",
        R"({"category":"CAN","case":"error","sort":{"number":789,"message":"signal not available"},)"
        R"("data":[{"identifier":{"code":6,"name":"RLS_Vorfeldhelligkeit_Boost"}}]})",
        R"({"category":"CAN","case":"state","sort":"signal","data":[)"
        R"({"identifier":{"code":3,"name":"DI_Display_Nachtdesign"},"value":{"raw":1,"physical":1}}]})",
        R"({"category":"CAN","case":"error","sort":{"number":772,"message":"unknown request"}})",
        "",
    };
    for (int code = first_signal; code <= last_signal; ++code) {
        menu.signal_codes.push_back(code);
    }
    return menu;
}

// A value as the soak stores it in the engine: a number (physical) or a text.
struct stored_value {
    bool text = false;
    double number = 0;
    QString words;

    // The "value" object the engine sends for it.
    sim::json as_sent() const
    {
        sim::json value = sim::json::object();
        if (text) {
            value["textual"] = words.toStdString();
        } else {
            value["physical"] = number;
        }
        return value;
    }
};

stored_value number_value(double number)
{
    return {false, number, {}};
}

stored_value text_value(const QString& words)
{
    return {true, 0, words};
}

stored_value draw_valid_value(soak_random& random, int code)
{
    const bool named = code != 3 && code != 6 && random.chance(15);
    if (named) {
        return text_value(random.chance(50) ? QStringLiteral("Init") : QStringLiteral("Fehler"));
    }
    switch (code) {
    case 1:
        return number_value(static_cast<double>(random.between(0, 253)));
    case 2:
        return number_value(0.5 * static_cast<double>(random.between(0, 200)));
    case 3:
        return number_value(static_cast<double>(random.between(0, 1)));
    case 4:
        return number_value(static_cast<double>(random.between(0, 100)));
    case 5:
        return number_value(6.0 * static_cast<double>(random.between(0, 1021)));
    default: {
        const auto band = static_cast<std::size_t>(random.below(luxBandNames.size()));
        // The dialog sends a band by its position; the device also takes its name.
        return random.chance(50) ? text_value(luxBandNames[band]) : number_value(static_cast<double>(band));
    }
    }
}

stored_value draw_invalid_value(soak_random& random, int& code)
{
    switch (random.below(3)) {
    case 0:
        code = 4;
        return number_value(static_cast<double>(random.between(101, 150)));
    case 1:
        code = 1;
        return text_value(QStringLiteral("Unbekannt"));
    default:
        code = 3;
        return number_value(static_cast<double>(random.between(2, 9)));
    }
}

// What the device makes of a value: the raw value it stores, or the signal error code.
struct device_take {
    std::optional<int> raw;
    int error = 0;
};

device_take take_of(int code, const stored_value& value)
{
    sim::signal_store scratch;
    const sim::signal_definition& definition = *sim::signal_store::find(code);
    const auto failure = scratch.set(definition, value.as_sent());
    if (failure) {
        return {std::nullopt, failure->number & 0xFF};
    }
    return {scratch.raw(definition), 0};
}

// Whether raw, physical and textual are how the device shows this raw value of the signal.
bool shows(int code, int raw, double physical, const QString& textual)
{
    sim::signal_store scratch;
    const sim::signal_definition& definition = *sim::signal_store::find(code);
    sim::json raw_value = sim::json::object();
    raw_value["raw"] = raw;
    if (scratch.set(definition, raw_value)) {
        return false;
    }
    const sim::json shown = scratch.value(definition);
    if (shown.at("raw").get<int>() != raw) {
        return false;
    }
    if (shown.contains("textual")) {
        return std::isnan(physical) && textual == QString::fromStdString(shown["textual"].get<std::string>());
    }
    const sim::json& number = shown.at("physical");
    const double expected = number.is_object() ? number.at("numerical").get<double>() : number.get<double>();
    return textual.isEmpty() && std::fabs(physical - expected) < 1e-9;
}

enum class exchange_end { answered, receive_failed, timeout, nothing, several };

const char* end_name(exchange_end end)
{
    switch (end) {
    case exchange_end::answered:
        return "answered";
    case exchange_end::receive_failed:
        return "ReceiveFailed";
    case exchange_end::timeout:
        return "informTimeout";
    case exchange_end::nothing:
        return "no report";
    case exchange_end::several:
        break;
    }
    return "several ends";
}

// Everything the engine reported during one exchange.
struct reports {
    struct value {
        int code;
        int raw;
        double physical;
        QString textual;
    };
    std::vector<value> values;
    std::vector<std::pair<int, int>> signal_errors;  // signal, error code
    std::vector<int> communication;
    int timeouts = 0;
    int port_lists = 0;

    bool any() const { return !values.empty() || !signal_errors.empty() || !communication.empty() || timeouts > 0; }

    exchange_end end() const
    {
        const bool counted = std::any_of(signal_errors.begin(), signal_errors.end(),
                                         [](const auto& error) { return error.second != unavailable_code; });
        const bool answer = !values.empty() || counted;
        const int ends = (answer ? 1 : 0) + static_cast<int>(communication.size()) + timeouts;
        if (ends == 0) {
            return exchange_end::nothing;
        }
        if (ends > 1) {
            return exchange_end::several;
        }
        if (answer) {
            return exchange_end::answered;
        }
        if (timeouts == 1) {
            return exchange_end::timeout;
        }
        return communication.front() == WorkingEngine::ReceiveFailed ? exchange_end::receive_failed
                                                                     : exchange_end::several;
    }

    std::string text() const
    {
        std::string result;
        for (const auto& v : values) {
            result += "value " + std::to_string(v.code) + "=" + std::to_string(v.raw) + " ";
        }
        for (const auto& [code, error] : signal_errors) {
            result += "signal error " + std::to_string(code) + ":" + std::to_string(error) + " ";
        }
        for (const int error : communication) {
            result += "communication error " + std::to_string(error) + " ";
        }
        if (timeouts > 0) {
            result += "timeout x" + std::to_string(timeouts);
        }
        return result;
    }
};

enum class values_source { none, device, fixed_text };

struct expectation {
    std::vector<exchange_end> acceptable;
    values_source values = values_source::none;
    std::set<int> value_codes;  // the signals whose values must come (values_source::device)
    std::map<int, int> signal_errors;  // exactly these signal errors
};

struct exchange_plan {
    bool set = false;
    drawn_fault fault;
    std::map<int, stored_value> stores;  // stored into the engine before a set
};

class engine_soak {
public:
    engine_soak(const soak_options& options, std::uint64_t seed, std::ostream& out)
        : options_(options), random_(seed), menu_(engine_menu(options.engine_wait)), tally_("engine", out), out_(out)
    {
    }

    unsigned long run();

private:
    void connect_reports(WorkingEngine& engine);
    void record_report();
    exchange_plan draw_exchange();
    expectation expect(const exchange_plan& plan) const;
    void run_block(std::vector<exchange_plan> plans);
    // Runs one exchange; false when the simulator has lost count of the requests.
    bool run_exchange(const exchange_plan& plan, test_support::sim_process& sim);
    void check_values(const expectation& expected, const std::string& where);
    void settle_signals();
    void pause(milliseconds time);
    bool limits_reached() const;
    void warm_up();

    const soak_options& options_;
    soak_random random_;
    fault_menu menu_;
    soak_tally tally_;
    std::ostream& out_;
    std::unique_ptr<WorkingEngine> engine_;
    // What the engine holds: the soak's mirror of its values.
    std::map<int, stored_value> stored_;
    candidate_ledger<int> ledger_;  // raw values the device may hold
    reports reports_;
    std::optional<clock::time_point> first_report_;
    QEventLoop* waiting_ = nullptr;
    bool ending_ = false;
    unsigned long number_ = 0;
    unsigned long sent_in_run_ = 0;
    clock::time_point started_;
};

bool engine_soak::limits_reached() const
{
    if (options_.engine_exchanges && tally_.exchanges() >= *options_.engine_exchanges) {
        return true;
    }
    return options_.duration && clock::now() - started_ >= *options_.duration;
}

void engine_soak::record_report()
{
    if (!first_report_) {
        first_report_ = clock::now();
    }
    // The reports of one exchange come in one go, from one call: the wait ends once the
    // loop runs again.
    if (waiting_ != nullptr && !ending_) {
        ending_ = true;
        QTimer::singleShot(0, waiting_, &QEventLoop::quit);
    }
}

void engine_soak::connect_reports(WorkingEngine& engine)
{
    QObject::connect(&engine, &WorkingEngine::informValue, &engine,
                     [this](Signal signal, int raw, double physical, const QString& textual) {
                         reports_.values.push_back({static_cast<int>(signal), raw, physical, textual});
                         record_report();
                     });
    QObject::connect(&engine, qOverload<Signal, WorkingEngine::ErrorSignal, QString>(&WorkingEngine::informError),
                     &engine, [this](Signal signal, WorkingEngine::ErrorSignal error, const QString&) {
                         reports_.signal_errors.emplace_back(static_cast<int>(signal), static_cast<int>(error));
                         record_report();
                     });
    QObject::connect(&engine, qOverload<WorkingEngine::ErrorCommunication>(&WorkingEngine::informError), &engine,
                     [this](WorkingEngine::ErrorCommunication error) {
                         reports_.communication.push_back(static_cast<int>(error));
                         record_report();
                     });
    QObject::connect(&engine, &WorkingEngine::informTimeout, &engine, [this] {
        ++reports_.timeouts;
        record_report();
    });
    QObject::connect(&engine, &WorkingEngine::informComPorts, &engine, [this] { ++reports_.port_lists; });
}

void engine_soak::pause(milliseconds time)
{
    QEventLoop loop;
    QTimer::singleShot(static_cast<int>(time.count()), &loop, &QEventLoop::quit);
    loop.exec();
}

exchange_plan engine_soak::draw_exchange()
{
    exchange_plan plan;
    plan.set = random_.chance(45);
    plan.fault = draw_fault(random_, menu_);
    if (!plan.set) {
        return plan;
    }
    // A value the device refuses is stored for one fault-free set only; the next set
    // replaces it.
    for (const auto& [code, value] : stored_) {
        if (!take_of(code, value).raw) {
            plan.stores[code] = draw_valid_value(random_, code);
        }
    }
    const auto count = random_.between(1, 3);
    for (long long i = 0; i < count; ++i) {
        const int code = static_cast<int>(random_.between(first_signal, last_signal));
        plan.stores[code] = draw_valid_value(random_, code);
    }
    if (plan.fault.mode == fault_mode::none && random_.chance(15)) {
        int code = 0;
        const stored_value value = draw_invalid_value(random_, code);
        plan.stores[code] = value;
    }
    return plan;
}

expectation engine_soak::expect(const exchange_plan& plan) const
{
    // The signals the request names: a get names every signal the engine holds (1 to 5 from
    // the start), a set every one that holds a value.
    std::map<int, stored_value> stored = stored_;
    for (const auto& [code, value] : plan.stores) {
        stored[code] = value;
    }
    std::set<int> named;
    if (plan.set) {
        for (const auto& entry : stored) {
            named.insert(entry.first);
        }
    } else {
        for (int code = first_signal; code <= 5; ++code) {
            named.insert(code);
        }
        for (const auto& entry : stored) {
            named.insert(entry.first);
        }
    }
    const std::set<int> unavailable(plan.fault.unavailable.begin(), plan.fault.unavailable.end());

    // The device's own answer.
    expectation normal;
    if (plan.set) {
        bool counted = false;
        for (const int code : named) {
            if (unavailable.contains(code)) {
                normal.signal_errors[code] = unavailable_code;
            } else if (const device_take take = take_of(code, stored[code]); !take.raw) {
                normal.signal_errors[code] = take.error;
                counted = true;
            }
        }
        normal.acceptable = {counted ? exchange_end::answered : exchange_end::timeout};
    } else {
        normal.values = values_source::device;
        for (const int code : named) {
            if (unavailable.contains(code)) {
                normal.signal_errors[code] = unavailable_code;
            } else {
                normal.value_codes.insert(code);
            }
        }
        normal.acceptable = {normal.value_codes.empty() ? exchange_end::receive_failed : exchange_end::answered};
    }
    // No answer at all.
    expectation silent;
    silent.acceptable = {plan.set ? exchange_end::timeout : exchange_end::receive_failed};
    expectation refused;
    refused.acceptable = {exchange_end::receive_failed};

    switch (plan.fault.mode) {
    case fault_mode::none:
    case fault_mode::short_delay:
    case fault_mode::split:
    case fault_mode::notify:
    case fault_mode::unavailable:
        return normal;
    case fault_mode::silence:
    case fault_mode::long_delay:
    case fault_mode::late:
        // Nothing comes within the wait.
        return silent;
    case fault_mode::split_late:
    case fault_mode::broken_line:
        // A set the device refuses in part (a stored value it does not take) has a reply, and
        // the piece of it that comes in time, or a broken one, cannot be read; a set it accepts
        // has no reply to cut or break.
        return plan.set && normal.signal_errors.empty() ? silent : refused;
    case fault_mode::zero_wait: {
        // The reply can still come in the moment before the engine reads.
        expectation either = normal;
        either.acceptable.push_back(silent.acceptable.front());
        return either;
    }
    case fault_mode::json_error:
    case fault_mode::garbage:
        return refused;
    case fault_mode::hang_up:
        // However the port fails, the exchange has no answer.
        refused.acceptable.push_back(silent.acceptable.front());
        return refused;
    case fault_mode::device_error: {
        const int number = menu_.error_numbers.at(plan.fault.variant);
        const int device_number = number == 0 ? (3 << 8) | 0x10 : number;
        if ((device_number >> 8) != 3) {
            return refused;  // not a signal error: the request as a whole is refused
        }
        // The error names the first signal of the request.
        expectation error = silent;
        const int code = named.empty() ? 0 : *named.begin();
        error.signal_errors[code] = device_number & 0xFF;
        if ((device_number & 0xFF) != unavailable_code) {
            error.acceptable = {exchange_end::answered};
        }
        return error;
    }
    case fault_mode::text_reply:
        switch (plan.fault.variant) {
        case hid_update:
        case empty_line:
            return silent;
        case unavailable_boost: {
            expectation error = silent;
            error.signal_errors[6] = unavailable_code;
            return error;
        }
        case one_value: {
            expectation value;
            value.acceptable = {exchange_end::answered};
            value.values = values_source::fixed_text;
            return value;
        }
        case refusal:
            return refused;
        }
        break;
    }
    expectation unknown;
    unknown.acceptable = {exchange_end::nothing};
    return unknown;
}

void engine_soak::check_values(const expectation& expected, const std::string& where)
{
    if (expected.values == values_source::fixed_text) {
        if (reports_.values.size() != 1 || reports_.values[0].code != 3 || reports_.values[0].raw != 1
            || reports_.values[0].physical != 1.0 || !reports_.values[0].textual.isEmpty()) {
            tally_.problem(where, "the text reply's one value came as [" + reports_.text() + "]");
        }
        return;
    }
    std::set<int> seen;
    int previous = 0;
    for (const auto& value : reports_.values) {
        if (expected.values != values_source::device || !expected.value_codes.contains(value.code)) {
            tally_.problem(where, "a value of signal " + std::to_string(value.code) + " that was not asked for");
            continue;
        }
        if (!seen.insert(value.code).second || value.code < previous) {
            tally_.problem(where, "signal " + std::to_string(value.code) + " came twice or out of order");
        }
        previous = value.code;
        if (!shows(value.code, value.raw, value.physical, value.textual)) {
            tally_.problem(where,
                           "signal " + std::to_string(value.code) + " raw " + std::to_string(value.raw)
                               + " came with physical " + std::to_string(value.physical) + " and text ["
                               + value.textual.toStdString() + "]");
        }
        if (!ledger_.holds(value.code, value.raw)) {
            tally_.problem(where,
                           "signal " + std::to_string(value.code) + " reads raw " + std::to_string(value.raw)
                               + ", which was never set");
            continue;
        }
        ledger_.settle(value.code, value.raw);
    }
    if (expected.values == values_source::device && !reports_.values.empty() && seen != expected.value_codes) {
        tally_.problem(where,
                       "values of " + std::to_string(seen.size()) + " signals, asked for "
                           + std::to_string(expected.value_codes.size()));
    }
}

bool engine_soak::run_exchange(const exchange_plan& plan, test_support::sim_process& sim)
{
    const std::string where = "exchange " + std::to_string(number_) + " (" + (plan.set ? "set" : "get") + ", "
        + std::string(fault_name(plan.fault.mode)) + ")";
    if (reports_.any()) {
        tally_.problem(where, "reports after the previous exchange had ended: " + reports_.text());
    }
    const expectation expected = expect(plan);
    for (const auto& [code, value] : plan.stores) {
        const auto signal = static_cast<Signal>(code);
        if (value.text) {
            engine_->storeValue(signal, value.words);
        } else if (random_.chance(50) && value.number == std::floor(value.number)) {
            engine_->storeValue(signal, static_cast<int>(value.number));
        } else {
            engine_->storeValue(signal, value.number);
        }
        stored_[code] = value;
    }
    const int wait = plan.fault.mode == fault_mode::zero_wait ? 0 : options_.engine_wait;
    engine_->setTimeout(wait);

    reports_ = {};
    first_report_.reset();
    ending_ = false;
    QEventLoop loop;
    waiting_ = &loop;
    QTimer bound;
    bound.setSingleShot(true);
    QObject::connect(&bound, &QTimer::timeout, &loop, &QEventLoop::quit);
    const auto started = clock::now();
    if (plan.set) {
        engine_->sendAll();
    } else {
        engine_->receiveAll();
    }
    bound.start(static_cast<int>((milliseconds(wait) + hang_margin).count()));
    loop.exec();
    waiting_ = nullptr;
    const auto elapsed =
        std::chrono::duration_cast<std::chrono::microseconds>(first_report_.value_or(clock::now()) - started);
    ++sent_in_run_;
    ++number_;

    const exchange_end end = reports_.end();
    tally_.timing(plan.set ? "set" : "get", elapsed, milliseconds(wait), where);
    tally_.count(plan.fault.mode, end != exchange_end::answered && end != exchange_end::timeout);
    if (!first_report_) {
        tally_.problem(where, "no report within the wait of " + std::to_string(wait) + " ms and 1.5 s");
    } else if (elapsed > milliseconds(wait) + hang_margin) {
        tally_.problem(where, "the first report came after " + std::to_string(elapsed.count() / 1000) + " ms");
    }
    if (std::find(expected.acceptable.begin(), expected.acceptable.end(), end) == expected.acceptable.end()) {
        tally_.problem(where,
                       std::string("ended as ") + end_name(end) + ", expected " + end_name(expected.acceptable.front())
                           + ": [" + reports_.text() + "] rule " + plan.fault.rule.dump() + recent_log(sim));
    }
    // The signal errors, when the exchange ended as the device's answer would end it.
    if (end == expected.acceptable.front()) {
        std::map<int, int> errors;
        for (const auto& [code, error] : reports_.signal_errors) {
            errors[code] = error;
        }
        if (errors != expected.signal_errors || errors.size() != reports_.signal_errors.size()) {
            tally_.problem(where, "signal errors [" + reports_.text() + "] do not match the device's answer");
        }
    }
    if (options_.verbose) {
        out_ << where << ": " << end_name(end) << " [" << reports_.text() << "], " << elapsed.count() / 1000 << " ms"
             << std::endl;
    }
    check_values(expected, where);

    // What the device holds after a set.
    if (plan.set) {
        const bool as_answered = plan.fault.mode == fault_mode::none && end == expected.acceptable.front();
        for (const auto& [code, value] : stored_) {
            const device_take take = take_of(code, value);
            if (!take.raw) {
                continue;
            }
            if (as_answered) {
                ledger_.settle(code, *take.raw);
            } else {
                ledger_.maybe(code, *take.raw);
            }
        }
    }
    reports_ = {};

    const auto free_at = started + plan.fault.busy + 20ms;
    if (clock::now() < free_at) {
        pause(std::chrono::ceil<milliseconds>(free_at - clock::now()));
    }
    if (plan.fault.mode == fault_mode::zero_wait && !sim.wait_for_requests(sent_in_run_, 2s)) {
        // Its rules would fall on the wrong requests from here on.
        tally_.problem(where, "the simulator never read the request; the run ends here");
        return false;
    }
    return true;
}

void engine_soak::settle_signals()
{
    // A fresh simulator starts with its own values.
    const sim::signal_store fresh;
    for (int code = first_signal; code <= last_signal; ++code) {
        ledger_.settle(code, fresh.raw(*sim::signal_store::find(code)));
    }
}

void engine_soak::run_block(std::vector<exchange_plan> plans)
{
    const bool hangs_up = !plans.empty() && plans.back().fault.mode == fault_mode::hang_up;
    scenario rules;
    for (std::size_t i = 0; i < plans.size(); ++i) {
        rules.add(i + 1, plans[i].fault);
    }
    if (!hangs_up) {
        plans.push_back(exchange_plan{});  // a fault-free get of every signal at the end
    }
    test_support::sim_settings settings;
    settings.scenario = rules.text();
    test_support::sim_process sim(settings);
    tally_.event("simulator runs");
    settle_signals();
    const QString port = QString::fromStdString(sim.port());
    setPortLister([port] { return devicePorts({port}, contract::vendor_id, contract::product_id); });
    // Named, or (with no name) found by the port search.
    engine_->setComPort(random_.chance(50) ? port : QString());
    sent_in_run_ = 0;
    bool in_step = true;
    for (const auto& plan : plans) {
        if (!run_exchange(plan, sim)) {
            in_step = false;
            break;
        }
    }

    const std::string where = "simulator run ending at exchange " + std::to_string(number_);
    if (hangs_up && sim.wait_for_exit(3s) != std::optional<int>(0)) {
        tally_.problem(where, "the simulator did not end after its hang-up");
    }
    if (in_step) {
        tally_.check_simulator_run(sim, where, sent_in_run_, rules.rules());
    }
    setPortLister({});
}

void engine_soak::warm_up()
{
    test_support::sim_process sim;
    WorkingEngine engine(contract::vendor_id, contract::product_id, options_.engine_wait);
    bool answered = false;
    QEventLoop loop;
    QObject::connect(&engine, &WorkingEngine::informValue, &loop, [&] {
        answered = true;
        QTimer::singleShot(0, &loop, &QEventLoop::quit);
    });
    QTimer::singleShot(options_.engine_wait + 1500, &loop, &QEventLoop::quit);
    engine.setComPort(QString::fromStdString(sim.port()));
    engine.receiveAll();
    loop.exec();
    if (!answered) {
        tally_.problem("warm-up", "the first exchange brought no value");
    }
}

unsigned long engine_soak::run()
{
    warm_up();
    const resource_snapshot before = resource_snapshot::take();
    started_ = clock::now();
    engine_ = std::make_unique<WorkingEngine>(contract::vendor_id, contract::product_id, options_.engine_wait);
    connect_reports(*engine_);
    while (!limits_reached()) {
        std::vector<exchange_plan> plans;
        const unsigned long drawn = exchanges_to_draw(options_.engine_exchanges, tally_.exchanges(), options_.block);
        while (plans.size() < drawn) {
            plans.push_back(draw_exchange());
            if (plans.back().fault.mode == fault_mode::hang_up) {
                break;
            }
        }
        run_block(std::move(plans));
    }
    const auto elapsed = std::chrono::duration_cast<milliseconds>(clock::now() - started_);
    // Reports that come after the last exchange.
    pause(milliseconds(options_.engine_wait) + 200ms);
    if (reports_.any()) {
        tally_.problem("end", "reports after the last exchange: " + reports_.text());
    }
    engine_.reset();
    const resource_snapshot after = resource_snapshot::take();
    return tally_.finish(before, after, elapsed);
}

}  // namespace

unsigned long run_engine_soak(const soak_options& options, std::uint64_t seed, std::ostream& out)
{
    out << "engine part: seed " << seed << ", wait " << options.engine_wait << " ms" << std::endl;
    engine_soak soak(options, seed, out);
    return soak.run();
}

}  // namespace vistrel::soak
