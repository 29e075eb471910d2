// The two ways an exchange waits for the device: for its reply, or for its silence.
#pragma once

#include "console/events/json_event_base.hpp"
#include "console/events/transform_error.hpp"
#include "console/link/serial_reader.hpp"

#include <chrono>
#include <cstdint>
#include <future>
#include <stdexcept>

namespace vistrel {

using reply_clock = std::chrono::steady_clock;

// Now plus the time-out in whole seconds; now for zero or less.
reply_clock::time_point reply_deadline(std::int64_t timeout_seconds);

// The first message that converts into Event. Messages of other categories are
// skipped; the conversion raises JSON errors and error replies; a failure of the
// receive thread is raised as it was stored. Throws "waiting for result timeouted" when
// the deadline passes first.
template <typename Event>
Event wait_for_reply(serial_reader& source, reply_clock::time_point deadline)
{
    for (;;) {
        std::future<json_event_base> next = source.next_message();
        if (next.wait_until(deadline) != std::future_status::ready) {
            throw std::runtime_error("waiting for result timeouted");
        }
        const json_event_base envelope = next.get();
        try {
            return Event(envelope);
        } catch (const transform_error&) {
            // Not the awaited reply.
        }
    }
}

// Returns when no message of category user profiles arrives before the deadline; such
// a message is raised as the event it converts into.
void wait_for_silence(serial_reader& source, reply_clock::time_point deadline);

}  // namespace vistrel
