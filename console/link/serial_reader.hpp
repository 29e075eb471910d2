// The readers of the receive thread: the reader, which takes the received bytes under its own
// lock while it is active, and the serial reader, which parses them into reply envelopes and
// hands each completed envelope, or a failure, to the waiting command.
#pragma once

#include "codec/minijson_parser.h"
#include "console/events/json_event_base.hpp"

#include <algorithm>
#include <cstddef>
#include <deque>
#include <exception>
#include <future>
#include <mutex>
#include <utility>

namespace vistrel {

// Receiver of the bytes that the receive thread reads from the port. A reader turns the
// bytes into messages and passes them, or a failure, to the side that waits for them; the
// receive thread reaches it only through deliver() and fail(), which take the reader's lock
// and do nothing once the reader was deactivated.
template <typename Byte>
class reader {
public:
    explicit reader(bool trace_messages = false) : trace_(trace_messages) {}
    reader(const reader&) = delete;
    reader& operator=(const reader&) = delete;

    virtual ~reader() { deactivate(); }

    // Offers the bytes in `buffer` to do_call, message after message, until they hold no
    // complete message. The bytes of each completed message are consumed; bytes that cannot
    // be a message are handed over as a failure and their line is dropped. All of it happens
    // under the lock, so that the waiting side never sees a message whose bytes are still
    // buffered. An inactive reader leaves the buffer as it is.
    // Buffer: data(), size(), consume(n) (drops the first n bytes), drop_line().
    template <typename Buffer>
    void deliver(Buffer& buffer)
    {
        const std::lock_guard<std::mutex> guard(lock_);
        if (!active_) {
            return;
        }
        while (buffer.size() > 0) {
            std::size_t length = buffer.size();
            try {
                if (do_call(buffer.data(), length)) {
                    return;
                }
            } catch (...) {
                hand_over(std::current_exception());
                buffer.drop_line();
                continue;
            }
            const std::size_t consumed = buffer.size() - std::min(length, buffer.size());
            if (consumed == 0) {
                return;
            }
            buffer.consume(consumed);
        }
    }

    // Passes a failure of the receive thread (a read error, a full buffer) to on_failure.
    void fail(std::exception_ptr failure)
    {
        const std::lock_guard<std::mutex> guard(lock_);
        if (active_) {
            hand_over(std::move(failure));
        }
    }

    // Stops the hand-over: bytes that arrive later stay in the receive buffer.
    void deactivate()
    {
        const std::lock_guard<std::mutex> guard(lock_);
        active_ = false;
    }

protected:
    // Called under the lock. Returns true when data[0, length) does not yet hold a complete
    // message (the bytes stay where they are). Returns false after a message was completed;
    // length then holds the number of bytes at the end of data that belong to the next
    // message. Throws when the bytes cannot be a message.
    virtual bool do_call(Byte* data, std::size_t& length) = 0;

    // Called under the lock: passes the failure to the waiting side.
    virtual void on_failure(std::exception_ptr failure) = 0;

    // Echo each completed message on standard error.
    bool trace() const { return trace_; }

    // Guards the active flag and everything do_call and on_failure touch; the waiting side
    // reaches that state through the derived reader, under this lock.
    std::mutex& lock() { return lock_; }

private:
    void hand_over(std::exception_ptr failure)
    {
        try {
            on_failure(std::move(failure));
        } catch (...) {
            // A reader that cannot take the failure loses it; its side waits until its
            // deadline.
        }
    }

    const bool trace_;
    bool active_ = true;  // guarded by lock_
    std::mutex lock_;
};

class serial_reader final : public reader<unsigned char> {
public:
    explicit serial_reader(bool trace_messages = false);

    // The next message in the order they were completed, one future per message, none
    // dropped: a message that completes while the waiting side is busy with the
    // previous one is kept for it. Takes the lock.
    std::future<json_event_base> next_message();

private:
    // Parses data[0, length) from its first byte in line mode. Returns true while the
    // message is unfinished; after a complete message, delivers its envelope and leaves
    // in length the bytes that follow it. Throws std::runtime_error "JSON parse error - "
    // and the parser's text for bytes that are no message, or the envelope's own errors.
    bool do_call(unsigned char* data, std::size_t& length) override;
    // Delivers the failure in place of the next message.
    void on_failure(std::exception_ptr failure) override;

    // Hands over the promise of the message now ending and queues the future of the next.
    std::promise<json_event_base> take_result();

    // Guarded by lock().
    std::promise<json_event_base> result;  // the promise of the next completed message
    std::deque<std::future<json_event_base>> pending;  // futures not yet taken, oldest first
    json_event_base event;  // the envelope being parsed
    minijson_parse_context_t parse_state{};
};

}  // namespace vistrel
