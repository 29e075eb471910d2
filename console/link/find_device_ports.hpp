// The serial ports of the connected devices that have a given USB identity.
#pragma once

#include "console/link/usb_enumerator.hpp"

#include <cstdint>
#include <string>
#include <vector>

namespace vistrel {

// Port names of every matching device, devices in enumeration order, each device's ports in
// ascending interface order (interfaces 0 to `highest_interface`). A matching device without a
// port on any of these interfaces is asked for its port as a non-composite device.
// Throws usb_error when the devices cannot be listed, a device's identity cannot be read, or
// that non-composite lookup fails; nothing is returned in part.
std::vector<std::string> find_device_ports(const usb_enumerator& usb, std::uint16_t vendor_id,
                                           std::uint16_t product_id,
                                           std::uint8_t highest_interface);

// The same over the platform's enumerator.
std::vector<std::string> find_device_ports(std::uint16_t vendor_id, std::uint16_t product_id,
                                           std::uint8_t highest_interface);

}  // namespace vistrel
