// A fake Linux sysfs USB tree in a temporary folder, laid out like the real one: device and
// interface folders under devices/, and bus/usb/devices/ holding a link to each of them.
#pragma once

#include "tests/support/temporary_folder.hpp"

#include <cstdint>
#include <filesystem>
#include <string>

namespace vistrel::test_support {

class fake_usb_tree {
public:
    fake_usb_tree();

    // What an enumerator reads: the bus/usb/devices folder.
    std::filesystem::path root() const;

    // A device folder named `name` (for example "1-2") with its idVendor and idProduct files.
    void add_device(const std::string& name, std::uint16_t vendor_id, std::uint16_t product_id);

    // Interface folder "<device>:<configuration>.<interface>" of a device. `port` names the
    // serial port on it: "ttyACM<n>" lands in tty/, "ttyUSB<n>" directly in the interface
    // folder; an empty `port` makes an interface without a serial port.
    void add_interface(const std::string& device, unsigned interface_number, const std::string& port,
                       unsigned configuration = 1);

    // Writes `text` into a file of a device folder, replacing it (to spoil idVendor, say).
    void write_device_file(const std::string& device, const std::string& file, const std::string& text);

private:
    std::filesystem::path device_folder(const std::string& device) const;

    temporary_folder folder_;
};

}  // namespace vistrel::test_support
