// USB enumeration on Linux: the enumerator that reads sysfs.
//
// Under the root (normally /sys/bus/usb/devices) every device has a folder named like "1-2"
// or "usb1" holding the files idVendor and idProduct (four hex digits). Its interfaces are the
// subfolders "<device>:<configuration>.<interface>"; a CDC ACM port shows as
// "<interface>/tty/ttyACM<n>", a USB serial converter port as "<interface>/ttyUSB<n>", and the
// port's device node is /dev/<that name>.
//
// The platform's enumerator reads the root $VISTREL_SYSFS_ROOT when that is set and not empty
// (tests point it at a fake tree), otherwise /sys/bus/usb/devices.
#pragma once

#include "console/link/usb_discovery.hpp"

#include <filesystem>

namespace vistrel {

class usb_sysfs_enumerator final : public usb_enumerator {
public:
    explicit usb_sysfs_enumerator(std::filesystem::path root);

    // Device folders ordered by name. A root that does not exist (a machine without a USB bus)
    // has no devices; a root that cannot be read is a usb_error.
    std::vector<usb_device> list_connected_devices() const override;
    std::uint16_t vendor_id(const usb_device& device) const override;
    std::uint16_t product_id(const usb_device& device) const override;
    // A non-composite device's port is looked up on interface 0, like a composite one's.
    std::string serial_port_name(const usb_device& device, std::uint8_t interface_number,
                                 bool composite) const override;

private:
    std::filesystem::path root_;
};

}  // namespace vistrel
