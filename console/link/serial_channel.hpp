// The one serial port of the console program, with its receive thread and buffer.
#pragma once

#include "console/link/reader.hpp"
#include "console/link/receive_loop.hpp"

#include <boost/asio/io_context.hpp>
#include <boost/asio/serial_port.hpp>

#include <cstddef>
#include <string>
#include <vector>

namespace vistrel {

class serial_channel {
public:
    serial_channel() = default;
    // A channel whose receive buffer cannot grow past buffer_limit bytes.
    explicit serial_channel(std::size_t buffer_limit) : loop(buffer_limit) {}
    ~serial_channel();
    serial_channel(const serial_channel&) = delete;
    serial_channel& operator=(const serial_channel&) = delete;

    // Opens the port called name, unchanged, with the settings that opening gives it.
    // Throws std::runtime_error when no name is set, Boost's system_error ("open")
    // when the port cannot be opened.
    void open();
    bool is_open() const { return port.is_open(); }
    // Writes all bytes; Boost's system_error ("write") on failure.
    void write(const std::vector<unsigned char>& bytes);
    // Stops the receive thread and closes the port; errors are swallowed.
    void close();

    std::string name;  // the port name that -c sets; empty at start
    boost::asio::io_context io;
    boost::asio::serial_port port{io};
    receive_loop loop;
};

// The process-wide channel, alive until exit.
serial_channel& process_serial_channel();

// Starts the receive thread of the channel for target (the port must be open).
void start_reading(serial_channel& channel, reader<unsigned char>& target);
// Wakes the receive thread, joins it, then closes the port. Errors are swallowed.
// target must have been deactivated before and must outlive this call.
void stop_reading(serial_channel& channel);

}  // namespace vistrel
