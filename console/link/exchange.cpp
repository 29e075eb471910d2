#include "console/link/exchange.hpp"

#include "console/events/command_context.hpp"
#include "console/events/json_event_base.hpp"
#include "console/events/json_event_profiles.hpp"
#include "console/events/json_event_sysinfo.hpp"
#include "console/events/transform_error.hpp"
#include "console/link/failure_report.hpp"
#include "console/link/reply_wait.hpp"
#include "console/link/request.hpp"
#include "console/link/serial_reader.hpp"
#include "console/link/trace.hpp"

#include <iostream>
#include <utility>

namespace vistrel {

namespace {

// The receive thread of one exchange. However the exchange ends, the reader is
// deactivated first, then the thread is woken and joined, then the port is closed.
class reading_session {
public:
    reading_session(serial_channel& channel, serial_reader& target)
        : channel_(channel), reader_(target)
    {
        start_reading(channel_, reader_);
    }
    ~reading_session()
    {
        reader_.deactivate();
        stop_reading(channel_);
    }
    reading_session(const reading_session&) = delete;
    reading_session& operator=(const reading_session&) = delete;

private:
    serial_channel& channel_;
    serial_reader& reader_;
};

// One exchange: build the request, open the port if needed, write, read on the receive
// thread and wait in the manner of `wait`. Any failure is reported by `report`, which
// throws.
template <void (&report)(const request_bytes&), typename Build, typename Wait>
auto run_exchange(serial_channel& channel, Build build, Wait wait)
{
    request_bytes request;
    try {
        request = build();
        const command_context settings = command_settings();
        if (!channel.is_open()) {
            channel.open();
        }
        if (settings.trace) {
            print_trace(std::cerr, sending_trace_label, request.data(), request.size());
        }
        channel.write(request);
        serial_reader target(settings.trace);
        reading_session session(channel, target);
        return wait(target, reply_deadline(settings.timeout));
    } catch (...) {
        // The port may have been opened before the failure; it is closed before the
        // report, like after any exchange.
        stop_reading(channel);
        report(request);
    }
}

}  // namespace

system_information request_system_information(serial_channel& channel)
{
    return run_exchange<report_system_failure>(
        channel, [] { return build_request(request_kind::system_information); },
        [](serial_reader& target, reply_clock::time_point deadline) {
            return system_information(wait_for_reply<json_event_sysinfo>(target, deadline));
        });
}

void upload_profiles(const std::vector<profile>& profiles, serial_channel& channel)
{
    run_exchange<report_profile_failure>(
        channel, [&] { return build_request(request_kind::upload, profiles); },
        wait_for_silence);
}

std::vector<profile> download_profiles(const std::vector<profile_id_t>& numbers,
                                       serial_channel& channel)
{
    return run_exchange<report_profile_failure>(
        channel, [&] { return build_request(request_kind::download, numbers); },
        [](serial_reader& target, reply_clock::time_point deadline) {
            return std::move(wait_for_reply<json_event_profiles>(target, deadline).profiles);
        });
}

void reset_profiles(const std::vector<profile_id_t>& numbers, serial_channel& channel)
{
    run_exchange<report_profile_failure>(
        channel, [&] { return build_request(request_kind::reset, numbers); },
        wait_for_silence);
}

}  // namespace vistrel
