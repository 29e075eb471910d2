// Exclusive use of the serial port: while this process holds the port, every other program
// that opens it is refused, as Windows refuses a second user of a COM port.
#pragma once

#include <boost/asio/serial_port.hpp>
#include <boost/system/error_code.hpp>

namespace vistrel {

using port_handle = boost::asio::serial_port::native_handle_type;

// The failures of a claim that the operating system has no code of its own for.
enum class port_claim_error {
    in_use = 1,  // another process holds the port
};

// Category "port" of the port_claim_error codes.
const boost::system::error_category& port_claim_category();
boost::system::error_code make_error_code(port_claim_error error);

// Claims the port that was just opened for this process alone. Returns port_claim_error::in_use
// when another process holds it (the caller closes the port again), no error otherwise.
boost::system::error_code claim_port(port_handle handle);
// Gives up the claim before the port is closed. A port that is closed without it, or a process
// that dies, loses its claim all the same.
void release_port(port_handle handle);
// The error that an open failure stands for: the operating system's refusal of a port that
// another process holds exclusively reads as port_claim_error::in_use, any other stays as it is.
boost::system::error_code open_failure(const boost::system::error_code& error);

}  // namespace vistrel

namespace boost::system {
template <>
struct is_error_code_enum<vistrel::port_claim_error> : std::true_type {
};
}  // namespace boost::system
