// The receive thread of the serial channel and the buffer it reads into.
#pragma once

#include "console/link/reader.hpp"
#include "console/link/receive_buffer.hpp"

#include <boost/asio/io_context.hpp>
#include <boost/asio/serial_port.hpp>
#include <boost/system/error_code.hpp>

#include <atomic>
#include <cstddef>
#include <thread>

namespace vistrel {

// While an exchange runs, the receive thread runs the port's io_context with one
// asynchronous read at a time, appends what arrives to the buffer and offers the
// buffered bytes to the active reader until no complete message is left in them.
// The command thread stops it by cancelling the read on the receive thread itself;
// it never relies on closing the port to end a blocked read.
class receive_loop {
public:
    explicit receive_loop(std::size_t buffer_limit = receive_buffer::unlimited);
    ~receive_loop();
    receive_loop(const receive_loop&) = delete;
    receive_loop& operator=(const receive_loop&) = delete;

    // Starts the receive thread; the previous one must have been stopped.
    void start(boost::asio::io_context& io, boost::asio::serial_port& port,
               reader<unsigned char>& target);
    // Wakes the receive thread and joins it. The port stays open.
    void stop();
    // After the port was closed: runs, on the calling thread, whatever the io_context
    // still holds (cancelled reads), so that the next start begins clean.
    void drain(boost::asio::io_context& io);

    bool thread_running() const { return thread_.joinable(); }
    receive_buffer& buffer() { return buffer_; }

private:
    void read_next();
    void on_read(const boost::system::error_code& error, std::size_t count);
    void offer();
    void fail();
    void drop_bad_line();
    void skip_to_line_end();

    std::thread thread_;
    receive_buffer buffer_;
    std::atomic<bool> running_{false};
    boost::asio::serial_port* port_ = nullptr;
    reader<unsigned char>* reader_ = nullptr;
    bool skipping_line_ = false;  // drop bytes up to the next line end
};

}  // namespace vistrel
