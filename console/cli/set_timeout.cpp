#include "console/cli/command_handlers.hpp"

#include "console/events/command_context.hpp"

#include <cstdint>
#include <limits>
#include <stdexcept>
#include <string>

namespace vistrel {

// The value is read like std::stol reads it (leading blanks, a sign, digits, the rest ignored),
// limited to 32 bits whatever the width of long. Zero and negative values are kept.
void set_timeout(arg_cursor& cursor, arg_vector args)
{
    if (cursor >= 0) {
        throw std::runtime_error("incorrectly specified timeout");
    }
    if (current_command_context == nullptr) {
        throw std::logic_error("-t used outside a command");
    }
    const long value = std::stol(args[cursor]);
    if (value < std::numeric_limits<std::int32_t>::min() ||
        value > std::numeric_limits<std::int32_t>::max()) {
        throw std::out_of_range("stol argument out of range");
    }
    current_command_context->timeout = value;
    ++cursor;
}

}  // namespace vistrel
