#include "console/link/port_name.hpp"

#include "console/link/serial_channel.hpp"

namespace vistrel {

std::string& port_name()
{
    return process_serial_channel().name;
}

}  // namespace vistrel
