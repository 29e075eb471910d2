#include "console/cli/device_listing.hpp"

namespace vistrel {

void print_device_listing(std::ostream& out, const std::vector<std::string>& ports)
{
    out << "Found devices:\n";
    for (const auto& port : ports) {
        out << port << '\n';
    }
    out << std::endl;
}

}  // namespace vistrel
