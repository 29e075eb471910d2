#include "console/cli/command_handlers.hpp"

#include "console/link/port_name.hpp"

#include <stdexcept>

namespace vistrel {

// The name is stored as given; an empty or unknown port fails when it is opened.
void set_port(arg_cursor& cursor, arg_vector args)
{
    if (cursor >= 0) {
        throw std::runtime_error("incorrectly specified COM port");
    }
    port_name() = args[cursor];
    ++cursor;
}

}  // namespace vistrel
