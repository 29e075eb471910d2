// The serial port of the console program, with its receive thread and the buffer that thread
// reads into.
#pragma once

#include "console/link/serial_reader.hpp"

#include <boost/asio/io_context.hpp>
#include <boost/asio/serial_port.hpp>
#include <boost/system/error_code.hpp>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <thread>
#include <vector>

namespace vistrel {

// The bytes received from the device that no message has consumed yet: a block that grows
// in steps of 320 bytes and is never shrunk. Only the receive thread changes it.
class receive_buffer {
public:
    static constexpr std::uint64_t growth = 5;
    static constexpr std::size_t step = growth * 64;
    static constexpr std::size_t low_water = 64;
    static constexpr std::size_t unlimited = std::numeric_limits<std::size_t>::max();

    // limit caps the capacity (at least one step); growing past it fails like an
    // allocation failure.
    explicit receive_buffer(std::size_t limit = unlimited);
    ~receive_buffer();
    receive_buffer(const receive_buffer&) = delete;
    receive_buffer& operator=(const receive_buffer&) = delete;

    unsigned char* data() { return start_; }
    std::size_t size() const { return used_; }
    std::size_t capacity() const { return capacity_; }
    std::size_t free_space() const { return capacity_ - used_; }
    unsigned char* free_start() { return start_ + used_; }

    // Grows the block by one step when fewer than 64 bytes are free. Returns false when
    // no free byte is left and the block could not grow.
    bool make_room();
    // Appends n bytes that were written at free_start(); while a line is being dropped,
    // those up to its end go at once.
    void commit(std::size_t n);
    // Drops the first n bytes and moves the rest to the start.
    void consume(std::size_t n);
    // Drops the bytes up to and including the first line end (CR LF counts as one). Without
    // a line end, drops them all, and later ones up to the next line end as they come.
    void drop_line();
    // Drops all bytes, and later ones up to the next line end as they come.
    void drop_rest_of_line();
    // Ends the dropping of a line whose end has not come: the bytes that come from now on are
    // kept. The bytes held stay.
    void stop_dropping() { skipping_line_ = false; }

private:
    void skip_to_line_end();

    unsigned char* start_ = nullptr;
    std::size_t used_ = 0;
    std::size_t capacity_ = 0;
    std::size_t limit_;
    bool skipping_line_ = false;  // drop committed bytes up to the next line end
};

// The port is opened by an exchange and closed after it; the buffer outlives the exchanges:
// bytes left by one exchange are offered to the next one first.
//
// While an exchange reads, the receive thread runs the port's io_context with one
// asynchronous read at a time, appends what arrives to the buffer and delivers the buffered
// bytes to the reader. close() ends the thread by
// cancelling the read on the receive thread itself; it never relies on closing the port to
// end a blocked read.
class serial_channel {
public:
    serial_channel() : serial_channel(receive_buffer::unlimited) {}
    // A channel whose receive buffer cannot grow past buffer_limit bytes.
    explicit serial_channel(std::size_t buffer_limit);
    // Closes the channel (see close()).
    ~serial_channel();
    serial_channel(const serial_channel&) = delete;
    serial_channel& operator=(const serial_channel&) = delete;

    // The name of the port that open() opens, unchanged; empty at start.
    void set_port_name(std::string name) { name_ = std::move(name); }
    const std::string& port_name() const { return name_; }

    // Opens the port by its name, with the settings that opening gives it, and claims it for
    // this process alone until close(). Throws std::runtime_error when no name is set, Boost's
    // system_error (location "open", without the source location inside Boost) when the port
    // cannot be opened or another process holds it (code port_claim_error::in_use).
    void open();
    bool is_open() const { return port_.is_open(); }
    // Writes all bytes; Boost's system_error (location "write") on failure.
    void write(const std::vector<unsigned char>& bytes);

    // Starts the receive thread for target (the port must be open). The previous thread
    // must have been stopped by close(); if it was not, the process terminates.
    void start_reading(reader<unsigned char>& target);
    // Wakes the receive thread and joins it, then closes the port; errors are swallowed.
    // The only place where the port is closed: by the exchange once it is done, by the
    // destructor for a channel left open. The reader must have been deactivated before and
    // must outlive this call.
    void close();

    bool reading() const { return thread_.joinable(); }
    // The bytes in the receive buffer.
    std::size_t buffered() const { return buffer_.size(); }

private:
    void read_next();
    void on_read(const boost::system::error_code& error, std::size_t count);

    std::string name_;
    boost::asio::io_context io_;  // owns the port's service; runs on the receive thread only
    boost::asio::serial_port port_{io_};
    receive_buffer buffer_;
    reader<unsigned char>* reader_ = nullptr;
    std::atomic<bool> running_{false};
    // Declared last, so destroyed first: should close() not have joined the receive thread,
    // std::thread ends the process before the thread could read into a freed buffer.
    std::thread thread_;
};

}  // namespace vistrel
