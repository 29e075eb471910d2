#include "console/link/reply_wait.hpp"

#include "console/events/json_event_profiles.hpp"

#include <algorithm>

namespace vistrel {

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
        try {
            throw json_event_profiles(envelope);
        } catch (const transform_error&) {
            // Not an answer to this request.
        }
    }
}

}  // namespace vistrel
