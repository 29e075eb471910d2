// USB enumeration on Linux, read from sysfs.
#include "console/link/usb_enumeration_linux.hpp"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
#include <string_view>
#include <system_error>
#include <utility>

namespace vistrel {
namespace fs = std::filesystem;

namespace {

constexpr const char* system_sysfs_root = "/sys/bus/usb/devices";
constexpr const char* device_node_folder = "/dev/";

// Names of the entries of a folder, sorted byte-wise; empty when the folder cannot be read.
std::vector<std::string> sorted_entry_names(const fs::path& folder)
{
    std::vector<std::string> names;
    std::error_code error;
    fs::directory_iterator entry(folder, error);
    for (; !error && entry != fs::directory_iterator(); entry.increment(error)) {
        names.push_back(entry->path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

bool is_folder(const fs::path& path)
{
    std::error_code error;
    return fs::is_directory(path, error);
}

std::string device_name(const usb_device& device)
{
    return fs::path(device.location).filename().string();
}

std::uint16_t read_id(const usb_device& device, const char* file_name)
{
    const auto fail = [&]() -> usb_error {
        return usb_error("Failed to read " + std::string(file_name) + " of USB device " + device_name(device) + ".");
    };
    std::ifstream file(fs::path(device.location) / file_name, std::ios::binary);
    if (!file) {
        throw fail();
    }
    // The kernel writes four hex digits and a line feed. The whole file is read, so that junk
    // after the number is noticed wherever it stands; a file that fills the buffer holds more
    // than an identity.
    char buffer[64];
    file.read(buffer, sizeof buffer);
    if (file.gcount() == static_cast<std::streamsize>(sizeof buffer)) {
        throw fail();
    }
    std::string_view text(buffer, static_cast<std::size_t>(file.gcount()));
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())) != 0) {
        text.remove_suffix(1);
    }
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())) != 0) {
        text.remove_prefix(1);
    }
    unsigned value = 0;
    const auto [end, result] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
    if (text.empty() || result != std::errc() || end != text.data() + text.size() || value > 0xFFFF) {
        throw fail();
    }
    return static_cast<std::uint16_t>(value);
}

// "<device>:<configuration>.<interface>" with a decimal configuration value.
bool names_interface(std::string_view entry, std::string_view device, unsigned interface_number)
{
    if (entry.size() <= device.size() + 1 || entry.substr(0, device.size()) != device || entry[device.size()] != ':') {
        return false;
    }
    entry.remove_prefix(device.size() + 1);
    const auto dot = entry.find('.');
    if (dot == 0 || dot == std::string_view::npos) {
        return false;
    }
    const std::string_view configuration = entry.substr(0, dot);
    if (!std::all_of(configuration.begin(), configuration.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return false;
    }
    const std::string_view number = entry.substr(dot + 1);
    unsigned value = 0;
    const auto [end, result] = std::from_chars(number.data(), number.data() + number.size(), value);
    return !number.empty() && result == std::errc() && end == number.data() + number.size()
        && value == interface_number;
}

std::optional<std::string> port_of_interface(const fs::path& interface_folder)
{
    // CDC ACM: <interface>/tty/ttyACM<n>.
    const auto tty_names = sorted_entry_names(interface_folder / "tty");
    if (!tty_names.empty()) {
        return device_node_folder + tty_names.front();
    }
    // USB serial converters: <interface>/ttyUSB<n>.
    for (const auto& name : sorted_entry_names(interface_folder)) {
        if (name.rfind("ttyUSB", 0) == 0) {
            return device_node_folder + name;
        }
    }
    return std::nullopt;
}

// The sysfs root of the running system.
fs::path default_usb_sysfs_root()
{
    const char* configured = std::getenv("VISTREL_SYSFS_ROOT");
    return configured != nullptr && configured[0] != '\0' ? fs::path(configured) : fs::path(system_sysfs_root);
}

}  // namespace

usb_sysfs_enumerator::usb_sysfs_enumerator(fs::path root) : root_(std::move(root)) {}

std::vector<usb_device> usb_sysfs_enumerator::list_connected_devices() const
{
    std::error_code error;
    const auto status = fs::status(root_, error);
    if (status.type() == fs::file_type::not_found) {
        return {};  // no USB bus on this machine
    }
    const auto fail = [&](const std::error_code& cause) {
        return usb_error("Failed to list the USB devices under " + root_.string() + ": " + cause.message() + ".");
    };
    if (error) {
        throw fail(error);
    }
    std::vector<std::string> names;
    fs::directory_iterator entry(root_, error);
    for (; !error && entry != fs::directory_iterator(); entry.increment(error)) {
        const std::string name = entry->path().filename().string();
        // Interfaces ("1-2:1.0") sit beside the devices; only devices are listed.
        if (name.find(':') == std::string::npos && is_folder(entry->path())) {
            names.push_back(name);
        }
    }
    if (error) {
        throw fail(error);
    }
    std::sort(names.begin(), names.end());
    std::vector<usb_device> devices;
    devices.reserve(names.size());
    for (const auto& name : names) {
        devices.push_back(usb_device{(root_ / name).string()});
    }
    return devices;
}

std::uint16_t usb_sysfs_enumerator::vendor_id(const usb_device& device) const
{
    return read_id(device, "idVendor");
}

std::uint16_t usb_sysfs_enumerator::product_id(const usb_device& device) const
{
    return read_id(device, "idProduct");
}

std::string usb_sysfs_enumerator::serial_port_name(const usb_device& device, std::uint8_t interface_number,
                                                   bool composite) const
{
    // A device's own port, when it is not composite, is that of its interface 0.
    const unsigned wanted = composite ? interface_number : 0U;
    const fs::path folder(device.location);
    const std::string name = device_name(device);
    for (const auto& entry : sorted_entry_names(folder)) {
        if (names_interface(entry, name, wanted) && is_folder(folder / entry)) {
            if (auto port = port_of_interface(folder / entry)) {
                return *port;
            }
            throw usb_error("No serial port on interface " + std::to_string(wanted) + " of USB device " + name + ".");
        }
    }
    throw usb_error("USB device " + name + " has no interface " + std::to_string(wanted) + ".");
}

const usb_enumerator& platform_usb_enumerator()
{
    static const usb_sysfs_enumerator enumerator(default_usb_sysfs_root());
    return enumerator;
}

}  // namespace vistrel
