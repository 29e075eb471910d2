// Windows: a COM port belongs to the one process that opened it; the system refuses every
// other open by itself, with its own error, which stays as it is.
#include "console/link/port_claim.hpp"

namespace vistrel {

boost::system::error_code claim_port(port_handle /*handle*/)
{
    return {};
}

void release_port(port_handle /*handle*/) {}

boost::system::error_code open_failure(const boost::system::error_code& error)
{
    return error;
}

}  // namespace vistrel
