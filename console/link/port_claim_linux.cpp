// Linux: an exclusive flock on the port's open file, which every program that asks for it
// honours, whoever runs it (root too), and TIOCEXCL, with which the kernel refuses any further
// open of the terminal to all but root. Both end with the last close of the file, also when
// the process dies.
#include "console/link/port_claim.hpp"

#include <cerrno>

#include <sys/file.h>
#include <sys/ioctl.h>

namespace vistrel {

boost::system::error_code claim_port(port_handle handle)
{
    if (::flock(handle, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
        return port_claim_error::in_use;
    }
    // A file that takes no lock, or one that is no terminal, is used with what it takes.
    ::ioctl(handle, TIOCEXCL);
    return {};
}

void release_port(port_handle handle)
{
    // The exclusive mode belongs to the terminal, not to this open file: it would outlast
    // the close while anyone else still has the terminal open.
    ::ioctl(handle, TIOCNXCL);
    ::flock(handle, LOCK_UN);
}

boost::system::error_code open_failure(const boost::system::error_code& error)
{
    // The kernel's answer to an open of a terminal in exclusive mode.
    if (error.value() == EBUSY && error.category() == boost::system::system_category()) {
        return port_claim_error::in_use;
    }
    return error;
}

}  // namespace vistrel
