#include "console/link/usb_discovery.hpp"

namespace vistrel {

std::vector<std::string> find_device_ports(const usb_enumerator& usb, std::uint16_t vendor_id, std::uint16_t product_id,
                                           std::uint8_t highest_interface)
{
    std::vector<std::string> ports;
    for (const usb_device& device : usb.list_connected_devices()) {
        if (usb.vendor_id(device) != vendor_id || usb.product_id(device) != product_id) {
            continue;
        }
        std::vector<std::string> device_ports;
        for (unsigned interface_number = 0; interface_number <= highest_interface; ++interface_number) {
            try {
                device_ports.push_back(usb.serial_port_name(device, static_cast<std::uint8_t>(interface_number), true));
            } catch (const usb_error&) {
                // No such interface, or no port on it: try the next one.
            }
        }
        if (device_ports.empty()) {
            device_ports.push_back(usb.serial_port_name(device, 0, false));
        }
        ports.insert(ports.end(), device_ports.begin(), device_ports.end());
    }
    return ports;
}

std::vector<std::string> find_device_ports(std::uint16_t vendor_id, std::uint16_t product_id,
                                           std::uint8_t highest_interface)
{
    return find_device_ports(platform_usb_enumerator(), vendor_id, product_id, highest_interface);
}

}  // namespace vistrel
