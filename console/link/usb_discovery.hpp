// Discovery of the device's serial ports over USB: the USB facilities the console program
// needs (the connected devices, their identity, the serial port of a device interface), and
// the port names of the connected devices of one identity. One backend per platform
// implements the facilities: usb_enumeration_linux.cpp, usb_enumeration_windows.cpp.
#pragma once

#include <cstdint>
#include <exception>
#include <string>
#include <utility>
#include <vector>

namespace vistrel {

// One connected USB device, as the platform's enumeration names it.
struct usb_device {
    // Where the platform backend finds the device again: the device's folder under the
    // sysfs root on Linux, its device instance ID ("USB\VID_0483&PID_5740\<serial>") on
    // Windows.
    std::string location;
};

// Failure of USB enumeration or of a USB device lookup. Deliberately not a
// std::runtime_error: the entry point reports runtime_error texts, while a failed device
// listing ends the program with exit status 1 and no message.
class usb_error : public std::exception {
public:
    explicit usb_error(std::string message) : message_(std::move(message)) {}
    const char* what() const noexcept override { return message_.c_str(); }

private:
    std::string message_;
};

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

// The enumerator of the platform the program runs on; defined by the platform's backend.
const usb_enumerator& platform_usb_enumerator();

// Port names of every matching device, devices in enumeration order, each device's ports in
// ascending interface order (interfaces 0 to `highest_interface`). A matching device without a
// port on any of these interfaces is asked for its port as a non-composite device.
// Throws usb_error when the devices cannot be listed, a device's identity cannot be read, or
// that non-composite lookup fails; nothing is returned in part.
std::vector<std::string> find_device_ports(const usb_enumerator& usb, std::uint16_t vendor_id, std::uint16_t product_id,
                                           std::uint8_t highest_interface);

// The same over the platform's enumerator.
std::vector<std::string> find_device_ports(std::uint16_t vendor_id, std::uint16_t product_id,
                                           std::uint8_t highest_interface);

}  // namespace vistrel
