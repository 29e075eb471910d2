// Receiver of the bytes that the receive thread reads from the port.
#pragma once

#include <cstddef>
#include <mutex>

namespace vistrel {

// The receive thread hands every received byte to the active reader under its lock.
// A reader turns the bytes into messages and passes them, or a failure, to the side
// that waits for them.
template <typename Byte>
class reader {
public:
    explicit reader(bool trace_messages = false) : trace(trace_messages) {}
    reader(const reader&) = delete;
    reader& operator=(const reader&) = delete;

    virtual ~reader() { deactivate(); }

    // Offers the received bytes data[0, length). Returns true when they do not yet hold
    // a complete message (the bytes stay where they are). Returns false after a message
    // was completed; length then holds the number of bytes at the end of data that
    // belong to the next message. Throws when the bytes cannot be a message.
    virtual bool do_call(Byte* data, std::size_t& length) = 0;

    // Passes the exception being handled to the waiting side.
    virtual void on_failure() = 0;

    // Stops the hand-over: bytes that arrive later stay in the receive buffer.
    void deactivate()
    {
        std::lock_guard<std::mutex> guard(lock);
        active = false;
    }

    bool trace = false;  // echo each completed message on standard error
    bool active = true;  // guarded by lock
    std::mutex lock;     // guards active and everything do_call and on_failure touch
};

}  // namespace vistrel
