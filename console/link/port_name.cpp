#include "console/link/port_name.hpp"

namespace vistrel {

std::string& port_name()
{
    static std::string name;
    return name;
}

}  // namespace vistrel
