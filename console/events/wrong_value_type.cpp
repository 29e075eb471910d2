#include "console/events/wrong_value_type.hpp"

#include <stdexcept>
#include <string>

#include "console/events/value_type.hpp"

namespace vistrel {

void wrong_value_type(std::uint32_t type, std::string_view key)
{
    std::string message = "Wrong value type [" + value_type_name(type) + "] for key";
    if (!key.empty()) {
        message += " [";
        message += key;
        message += "].";
    }
    throw std::runtime_error(message);
}

}  // namespace vistrel
