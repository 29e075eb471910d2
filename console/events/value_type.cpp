#include "console/events/value_type.hpp"

namespace vistrel {

std::string value_type_name(std::uint32_t type)
{
    switch (type) {
    case value_type::object: return "object";
    case value_type::array: return "array";
    case value_type::string: return "string";
    case value_type::integer: return "integer";
    case value_type::real: return "float";
    case value_type::literal: return "bool/null";
    default: return "unrecognized - " + std::to_string(static_cast<std::int32_t>(type));
    }
}

}  // namespace vistrel
