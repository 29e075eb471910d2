// The reader of device messages: parses the received bytes into reply envelopes and
// hands each completed envelope, or a failure, to the waiting command.
#pragma once

#include "codec/minijson_parser.h"
#include "console/events/json_event_base.hpp"
#include "console/link/reader.hpp"

#include <deque>
#include <future>

namespace vistrel {

class serial_reader : public reader<unsigned char> {
public:
    explicit serial_reader(bool trace_messages = false);

    // Parses data[0, length) from its first byte in line mode. Returns true while the
    // message is unfinished; after a complete message, delivers its envelope and leaves
    // in length the bytes that follow it. Throws std::runtime_error "JSON parse error - "
    // and the parser's text for bytes that are no message, or the envelope's own errors.
    bool do_call(unsigned char* data, std::size_t& length) override;
    // Delivers the exception being handled in place of the next message.
    void on_failure() override;

    // The next message in the order they were completed, one future per message, none
    // dropped: a message that completes while the waiting side is busy with the
    // previous one is kept for it. Takes the lock.
    std::future<json_event_base> next_message();

private:
    // Hands over the promise of the message now ending and queues the future of the next.
    std::promise<json_event_base> take_result();

    // Guarded by lock.
    std::promise<json_event_base> result;  // the promise of the next completed message
    std::deque<std::future<json_event_base>> pending;  // futures not yet taken, oldest first
    json_event_base event;                 // the envelope being parsed
    minijson_parse_context_t parse_state{};
};

}  // namespace vistrel
