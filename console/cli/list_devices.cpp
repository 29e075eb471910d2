#include "console/cli/command_handlers.hpp"

#include "console/cli/device_listing.hpp"
#include "console/link/find_device_ports.hpp"
#include "contract/device_contract.hpp"

#include <iostream>

namespace vistrel {

// The whole list is gathered before anything is printed: a failed discovery prints nothing.
void list_devices(arg_cursor& /*cursor*/, arg_vector /*args*/)
{
    const auto ports =
        find_device_ports(contract::vendor_id, contract::product_id, contract::highest_interface);
    print_device_listing(std::cout, ports);
    devices_listed = true;
}

}  // namespace vistrel
