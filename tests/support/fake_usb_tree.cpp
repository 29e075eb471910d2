#include "tests/support/fake_usb_tree.hpp"

#include <cstdio>
#include <fstream>
#include <stdexcept>

namespace vistrel::test_support {
namespace fs = std::filesystem;

namespace {

std::string four_hex_digits(std::uint16_t value)
{
    char text[8];
    std::snprintf(text, sizeof text, "%04x\n", static_cast<unsigned>(value));
    return text;
}

void write_file(const fs::path& path, const std::string& text)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << text;
    if (!file) {
        throw std::runtime_error("cannot write " + path.string());
    }
}

}  // namespace

fake_usb_tree::fake_usb_tree()
{
    fs::create_directories(root());
    fs::create_directories(folder_.path() / "devices" / "usb1");
}

fs::path fake_usb_tree::root() const
{
    return folder_.path() / "bus" / "usb" / "devices";
}

fs::path fake_usb_tree::device_folder(const std::string& device) const
{
    return folder_.path() / "devices" / "usb1" / device;
}

void fake_usb_tree::add_device(const std::string& name, std::uint16_t vendor_id, std::uint16_t product_id)
{
    fs::create_directories(device_folder(name));
    write_device_file(name, "idVendor", four_hex_digits(vendor_id));
    write_device_file(name, "idProduct", four_hex_digits(product_id));
    fs::create_directory_symlink(device_folder(name), root() / name);
}

void fake_usb_tree::add_interface(const std::string& device, unsigned interface_number, const std::string& port,
                                  unsigned configuration)
{
    const std::string name = device + ":" + std::to_string(configuration) + "." + std::to_string(interface_number);
    const fs::path folder = device_folder(device) / name;
    fs::create_directories(folder);
    if (port.rfind("ttyUSB", 0) == 0) {
        fs::create_directories(folder / port);
    } else if (!port.empty()) {
        fs::create_directories(folder / "tty" / port);
    }
    fs::create_directory_symlink(folder, root() / name);
}

void fake_usb_tree::write_device_file(const std::string& device, const std::string& file, const std::string& text)
{
    write_file(device_folder(device) / file, text);
}

}  // namespace vistrel::test_support
