#include "console/link/exchange.hpp"

#include "console/events/basic_json_event.hpp"
#include "console/events/command_context.hpp"
#include "console/events/json_event_base.hpp"
#include "console/events/json_event_profiles.hpp"
#include "console/link/failure_report.hpp"
#include "console/link/serial_channel.hpp"
#include "console/link/serial_reader.hpp"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <future>
#include <iostream>
#include <optional>
#include <stdexcept>
#include <utility>

namespace vistrel {

namespace {

// The channel of the exchanges without a channel argument, alive until exit.
serial_channel& process_serial_channel()
{
    static serial_channel channel;
    return channel;
}

using reply_clock = std::chrono::steady_clock;

// Now plus the time-out in whole seconds; now for zero or less.
reply_clock::time_point reply_deadline(std::int64_t timeout_seconds)
{
    const auto now = reply_clock::now();
    if (timeout_seconds <= 0) {
        return now;
    }
    // A century stands for any longer time-out and keeps the clock arithmetic in range.
    constexpr std::int64_t longest = 100LL * 365 * 24 * 60 * 60;
    return now + std::chrono::seconds(std::min(timeout_seconds, longest));
}

// The message converted into Event, or nothing when it belongs to another category. The
// conversion itself raises replies of category JSON as the JSON error event and error
// replies as the event.
template <typename Event>
std::optional<Event> convert_reply(const json_event_base& envelope)
{
    try {
        return std::optional<Event>(std::in_place, envelope);
    } catch (const transform_error&) {
        return std::nullopt;
    }
}

// The first message that converts into Event; messages of other categories are skipped.
// A failure of the receive thread is raised as it was stored. Throws "waiting for result
// timeouted" when the deadline passes first.
template <typename Event>
Event wait_for_reply(serial_reader& source, reply_clock::time_point deadline)
{
    for (;;) {
        std::future<json_event_base> next = source.next_message();
        if (next.wait_until(deadline) != std::future_status::ready) {
            throw std::runtime_error("waiting for result timeouted");
        }
        if (std::optional<Event> reply = convert_reply<Event>(next.get())) {
            return std::move(*reply);
        }
    }
}

// Returns when no message of category user profiles arrives before the deadline; such
// a message is raised as the event it converts into.
void wait_for_silence(serial_reader& source, reply_clock::time_point deadline)
{
    for (;;) {
        std::future<json_event_base> next = source.next_message();
        const std::future_status status = next.wait_until(deadline);
        if (status == std::future_status::timeout) {
            return;
        }
        if (status == std::future_status::deferred) {
            throw std::runtime_error("unknown fail");
        }
        const json_event_base envelope = next.get();
        // Any answer of this category tells of a problem with the request, whatever its
        // case and sort: it is reported as it came. Error replies are converted, so that
        // the device's number and message are shown; replies of category JSON become the
        // JSON error event there.
        if (envelope.category == category_code::user_profiles && envelope.event_case != case_code::error) {
            throw json_event_profiles::unrequested_answer(envelope);
        }
        if (std::optional<json_event_profiles> answer = convert_reply<json_event_profiles>(envelope)) {
            throw *answer;
        }
    }
}

// The port and the reader of one exchange. The port is opened unless it is open already.
// However the exchange ends, the reader is deactivated first, then the channel is closed,
// which stops the receive thread before the port; the reader goes last.
class exchange_session {
public:
    exchange_session(serial_channel& channel, bool trace) : channel_(channel), replies_(trace)
    {
        if (!channel_.is_open()) {
            channel_.open();
        }
    }
    ~exchange_session()
    {
        replies_.deactivate();
        channel_.close();
    }
    exchange_session(const exchange_session&) = delete;
    exchange_session& operator=(const exchange_session&) = delete;

    // Writes the request, then starts reading the replies to it.
    void send(const request_bytes& request, bool trace)
    {
        if (trace) {
            print_trace(std::cerr, sending_trace_label, request.data(), request.size());
        }
        channel_.write(request);
        channel_.start_reading(replies_);
    }

    serial_reader& replies() { return replies_; }

private:
    serial_channel& channel_;
    serial_reader replies_;
};

// One exchange: build the request, send it and wait in the manner of `wait`. Any failure
// is reported by `report`, which throws, once the session has closed the port.
template <void (&report)(const request_bytes&), typename Build, typename Wait>
auto run_exchange(serial_channel& channel, Build build, Wait wait)
{
    request_bytes request;
    try {
        request = build();
        const command_context settings = command_settings();
        exchange_session session(channel, settings.trace);
        session.send(request, settings.trace);
        return wait(session.replies(), reply_deadline(settings.timeout));
    } catch (...) {
        report(request);
    }
}

}  // namespace

void set_port_name(std::string name)
{
    process_serial_channel().set_port_name(std::move(name));
}

const std::string& port_name()
{
    return process_serial_channel().port_name();
}

system_information request_system_information()
{
    return request_system_information(process_serial_channel());
}

system_information request_system_information(serial_channel& channel)
{
    return run_exchange<report_system_failure>(
        channel, [] { return build_request(request_kind::system_information); },
        [](serial_reader& target, reply_clock::time_point deadline) {
            return system_information(wait_for_reply<json_event_sysinfo>(target, deadline));
        });
}

void upload_profiles(const std::vector<profile>& profiles)
{
    upload_profiles(profiles, process_serial_channel());
}

void upload_profiles(const std::vector<profile>& profiles, serial_channel& channel)
{
    run_exchange<report_profile_failure>(
        channel, [&] { return build_request(request_kind::upload, profiles); }, wait_for_silence);
}

std::vector<profile> download_profiles(const std::vector<profile_id_t>& numbers)
{
    return download_profiles(numbers, process_serial_channel());
}

std::vector<profile> download_profiles(const std::vector<profile_id_t>& numbers, serial_channel& channel)
{
    return run_exchange<report_profile_failure>(
        channel, [&] { return build_request(request_kind::download, numbers); },
        [](serial_reader& target, reply_clock::time_point deadline) {
            return std::move(wait_for_reply<json_event_profiles>(target, deadline).profiles);
        });
}

void reset_profiles(const std::vector<profile_id_t>& numbers)
{
    reset_profiles(numbers, process_serial_channel());
}

void reset_profiles(const std::vector<profile_id_t>& numbers, serial_channel& channel)
{
    run_exchange<report_profile_failure>(
        channel, [&] { return build_request(request_kind::reset, numbers); }, wait_for_silence);
}

}  // namespace vistrel
