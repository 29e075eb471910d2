// The USB facilities the console program needs: the connected devices, their identity, and
// the serial port of a device interface. One backend per platform implements them.
#pragma once

#include "console/link/usb_device.hpp"

#include <cstdint>
#include <string>
#include <vector>

namespace vistrel {

class usb_enumerator {
public:
    virtual ~usb_enumerator() = default;

    // All connected devices, in a stable order. Throws usb_error when they cannot be listed.
    virtual std::vector<usb_device> list_connected_devices() const = 0;

    // The device's identity. Throws usb_error when it cannot be read.
    virtual std::uint16_t vendor_id(const usb_device& device) const = 0;
    virtual std::uint16_t product_id(const usb_device& device) const = 0;

    // The operating system's name of the serial port on interface `interface_number` of a
    // composite device, or of a non-composite device's own port (`composite` false; the
    // interface number is then 0). Throws usb_error when there is no such port.
    virtual std::string serial_port_name(const usb_device& device, std::uint8_t interface_number,
                                         bool composite) const = 0;
};

// The enumerator of the platform the program runs on.
const usb_enumerator& platform_usb_enumerator();

}  // namespace vistrel
