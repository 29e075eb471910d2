// A fuzzed sysfs USB tree through the Linux backend and the device discovery over it. The
// input describes a small tree, one line each, which is laid out in a fresh folder (on tmpfs
// when /dev/shm exists) and removed afterwards:
//   root file | root missing          the root is not a folder (by default it is one)
//   device NAME [HOW]                 a device entry in the root; HOW: folder (default), linked
//                                     (a folder elsewhere in the tree and a link to it, as on a
//                                     real machine), file, dangling (a link to nothing), loop
//   vendor TEXT | product TEXT        the last device's idVendor / idProduct: TEXT and a line feed
//   vendor-bytes TEXT | product-bytes TEXT    the same without the line feed
//   vendor-folder | product-folder    a folder in place of the file
//   interface NAME [file]             a folder (or a file) in the last device, linked from the root
//   acm NAME | serial NAME | entry NAME | tty-file    in the last interface: tty/NAME, a folder
//                                     NAME, a file NAME, tty as a file
//   ask N                             the interface asked of each device (default 0)
//   highest N                         the highest interface of the discovery (default 4)
// Other lines are left out, and so is what goes past 4 devices, 3 interfaces a device, 3 entries
// an interface, or names longer than 32 bytes. The backend must list exactly the device
// folders, read a well-formed identity as written, read no identity out of a file that does
// not hold one, and name only ports that are there; a usb_error is its answer to anything
// else. Any other exception escapes and is reported. Each process works in a folder of its own,
// named after its process ID; one left behind by a process that crashed is removed by the next.
#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include <signal.h>
#include <unistd.h>

#include "console/link/usb_discovery.hpp"
#include "console/link/usb_enumeration_linux.hpp"
#include "contract/device_contract.hpp"

namespace {
namespace fs = std::filesystem;

fs::path base;  // this process's own folder; each input's tree lives in it

void remove_base()
{
    std::error_code error;
    fs::remove_all(base, error);
}

void write_file(const fs::path& path, std::string_view text)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(text.data(), static_cast<std::streamsize>(text.size()));
}

bool taken(const fs::path& path)
{
    std::error_code error;
    return fs::symlink_status(path, error).type() != fs::file_type::not_found;
}

bool usable(std::string_view name)
{
    return !name.empty() && name.size() <= 32 && name != "." && name != ".."
        && name.find_first_of(std::string_view("/\0", 2)) == std::string_view::npos;
}

int hex_digit(char c)
{
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// What an identity file of the tree holds.
struct identity_file {
    bool present = false;  // a regular file
    std::string content;

    // Four hex digits and a line feed, as the kernel writes them.
    bool well_formed() const
    {
        return present && content.size() == 5 && content[4] == '\n'
            && std::all_of(content.begin(), content.end() - 1, [](char c) { return hex_digit(c) >= 0; });
    }

    // The identity the file holds: hex digits with white space around, at most 0xFFFF.
    std::optional<std::uint16_t> identity() const
    {
        if (!present) {
            return std::nullopt;
        }
        std::string_view text = content;
        while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())) != 0) {
            text.remove_prefix(1);
        }
        while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())) != 0) {
            text.remove_suffix(1);
        }
        if (text.empty()) {
            return std::nullopt;
        }
        unsigned long value = 0;
        for (const char c : text) {
            const int digit = hex_digit(c);
            if (digit < 0) {
                return std::nullopt;
            }
            value = value * 16 + static_cast<unsigned long>(digit);
            if (value > 0xFFFF) {
                return std::nullopt;
            }
        }
        return static_cast<std::uint16_t>(value);
    }
};

struct device_entry {
    std::string name;
    fs::path folder;  // where its files are; empty for an entry that is no folder
    identity_file vendor;
    identity_file product;
    int interfaces = 0;
    fs::path last_interface;  // empty when the last interface is not a folder
    int entries = 0;
    std::set<std::string> ports;  // "/dev/<name>" of every port entry on its interfaces
};

// The tree an input describes, laid out as it is read.
class tree_builder {
public:
    explicit tree_builder(const fs::path& tree) : root_(tree / "bus"), elsewhere_(tree / "devices")
    {
        fs::create_directories(elsewhere_);
    }

    void take(std::string_view line)
    {
        const auto space = line.find(' ');
        const std::string_view word = line.substr(0, space);
        const std::string_view rest = space == std::string_view::npos ? std::string_view() : line.substr(space + 1);
        if (word == "root") {
            root_kind_ = rest == "file" ? kind::file : rest == "missing" ? kind::missing : kind::folder;
        } else if (word == "ask") {
            ask_ = static_cast<std::uint8_t>(std::atoi(std::string(rest).c_str()));
        } else if (word == "highest") {
            highest_ = static_cast<std::uint8_t>(std::atoi(std::string(rest).c_str()));
        } else if (word == "device") {
            add_device(rest);
        } else if (devices_.empty() || devices_.back().folder.empty()) {
            // Nothing goes into a device entry that is no folder.
        } else if (word == "vendor" || word == "vendor-bytes" || word == "vendor-folder") {
            set_identity(devices_.back().vendor, "idVendor", word.substr(6), rest);
        } else if (word == "product" || word == "product-bytes" || word == "product-folder") {
            set_identity(devices_.back().product, "idProduct", word.substr(7), rest);
        } else if (word == "interface") {
            add_interface(rest);
        } else if (word == "acm" || word == "serial" || word == "entry" || word == "tty-file") {
            add_port_entry(word, rest);
        }
    }

    // Lays out the root, then lets the backend read the tree and checks what it says.
    void check()
    {
        std::error_code error;
        if (root_kind_ == kind::folder) {
            fs::create_directories(root_, error);
        } else {
            fs::remove_all(root_, error);
            if (root_kind_ == kind::file) {
                write_file(root_, "not a folder");
            }
        }
        const vistrel::usb_sysfs_enumerator usb(root_);
        std::vector<vistrel::usb_device> listed;
        try {
            listed = usb.list_connected_devices();
        } catch (const vistrel::usb_error&) {
            if (root_kind_ != kind::file) {
                std::abort();  // only a root that is no folder cannot be listed
            }
            return;
        }
        if (root_kind_ == kind::file) {
            std::abort();
        }
        // Device folders, by name; interfaces and entries that are no folders are not listed.
        std::map<std::string, const device_entry*> expected;
        if (root_kind_ == kind::folder) {
            for (const auto& device : devices_) {
                if (!device.folder.empty() && device.name.find(':') == std::string::npos) {
                    expected.emplace(device.name, &device);
                }
            }
        }
        if (listed.size() != expected.size()) {
            std::abort();
        }
        auto device = expected.begin();
        std::set<std::string> all_ports;
        for (const auto& usb_device : listed) {
            if (usb_device.location != (root_ / device->first).string()) {
                std::abort();
            }
            const device_entry& entry = *device->second;
            check_identity(entry.vendor, [&] { return usb.vendor_id(usb_device); });
            check_identity(entry.product, [&] { return usb.product_id(usb_device); });
            for (const bool composite : {true, false}) {
                try {
                    check_port(entry.ports, usb.serial_port_name(usb_device, ask_, composite));
                } catch (const vistrel::usb_error&) {
                }
            }
            all_ports.insert(entry.ports.begin(), entry.ports.end());
            ++device;
        }
        try {
            for (const auto& port : vistrel::find_device_ports(usb, vistrel::contract::vendor_id,
                                                               vistrel::contract::product_id, highest_)) {
                check_port(all_ports, port);
            }
        } catch (const vistrel::usb_error&) {
        }
    }

private:
    enum class kind { folder, file, missing };

    void add_device(std::string_view line)
    {
        const auto space = line.find(' ');
        const std::string name(line.substr(0, space));
        const std::string_view how = space == std::string_view::npos ? std::string_view() : line.substr(space + 1);
        if (devices_.size() >= 4 || !usable(name) || taken(root_ / name) || taken(elsewhere_ / name)) {
            return;
        }
        std::error_code error;
        fs::create_directories(root_, error);
        device_entry device;
        device.name = name;
        if (how == "file") {
            write_file(root_ / name, "not a folder");
        } else if (how == "dangling") {
            fs::create_symlink("missing-" + name, root_ / name, error);
        } else if (how == "loop") {
            fs::create_symlink(name, root_ / name, error);
        } else if (how == "linked") {
            device.folder = elsewhere_ / name;
            fs::create_directory(device.folder, error);
            fs::create_directory_symlink(fs::path("..") / "devices" / name, root_ / name, error);
        } else {
            device.folder = root_ / name;
            fs::create_directory(device.folder, error);
        }
        devices_.push_back(std::move(device));
    }

    void set_identity(identity_file& file, const char* file_name, std::string_view form, std::string_view text)
    {
        const fs::path path = devices_.back().folder / file_name;
        std::error_code error;
        fs::remove_all(path, error);
        file = identity_file();
        if (form == "-folder") {
            fs::create_directory(path, error);
            return;
        }
        file.present = true;
        file.content = std::string(text.substr(0, 64)) + (form == "-bytes" ? "" : "\n");
        write_file(path, file.content);
    }

    void add_interface(std::string_view line)
    {
        device_entry& device = devices_.back();
        const auto space = line.find(' ');
        const std::string name(line.substr(0, space));
        device.last_interface.clear();
        device.entries = 0;
        if (device.interfaces >= 3 || !usable(name) || taken(device.folder / name)) {
            return;
        }
        ++device.interfaces;
        const fs::path folder = device.folder / name;
        if (space != std::string_view::npos && line.substr(space + 1) == "file") {
            write_file(folder, "not a folder");
            return;
        }
        std::error_code error;
        fs::create_directory(folder, error);
        // The root lists interfaces beside the devices; their names always hold a colon.
        if (name.find(':') != std::string::npos && !taken(root_ / name)) {
            fs::create_directories(root_, error);
            fs::create_directory_symlink(folder, root_ / name, error);
        }
        device.last_interface = folder;
    }

    void add_port_entry(std::string_view word, std::string_view name_text)
    {
        device_entry& device = devices_.back();
        const std::string name(name_text);
        if (device.last_interface.empty() || device.entries >= 3 || (word != "tty-file" && !usable(name))) {
            return;
        }
        ++device.entries;
        const fs::path& interface = device.last_interface;
        std::error_code error;
        if (word == "tty-file") {
            if (!taken(interface / "tty")) {
                write_file(interface / "tty", "");
            }
        } else if (word == "acm") {
            fs::create_directory(interface / "tty", error);
            if (fs::is_directory(interface / "tty", error)) {
                fs::create_directory(interface / "tty" / name, error);
                device.ports.insert("/dev/" + name);
            }
        } else if (!taken(interface / name)) {
            if (word == "serial") {
                fs::create_directory(interface / name, error);
            } else {
                write_file(interface / name, "");
            }
            device.ports.insert("/dev/" + name);
        }
    }

    // A well-formed identity reads as written; any other reads as what the file holds, or fails.
    template <class Read>
    static void check_identity(const identity_file& file, Read read)
    {
        try {
            if (read() != file.identity()) {
                std::abort();
            }
        } catch (const vistrel::usb_error&) {
            if (file.well_formed()) {
                std::abort();
            }
        }
    }

    static void check_port(const std::set<std::string>& ports, const std::string& port)
    {
        if (ports.count(port) == 0) {
            std::abort();
        }
    }

    fs::path root_;
    fs::path elsewhere_;
    kind root_kind_ = kind::folder;
    std::uint8_t ask_ = 0;
    std::uint8_t highest_ = vistrel::contract::highest_interface;
    std::vector<device_entry> devices_;
};

// Removes the folders that processes of this target which ended by a crash left behind.
void remove_stale_folders(const fs::path& parent)
{
    constexpr std::string_view prefix = "vistrel-fuzz-usb-";
    std::error_code error;
    for (fs::directory_iterator entry(parent, error); !error && entry != fs::directory_iterator();
         entry.increment(error)) {
        const std::string name = entry->path().filename().string();
        if (name.rfind(prefix, 0) != 0) {
            continue;
        }
        const long pid = std::strtol(name.c_str() + prefix.size(), nullptr, 10);
        if (pid > 0 && ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH) {
            std::error_code ignored;
            fs::remove_all(entry->path(), ignored);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    std::error_code error;
    const fs::path parent = fs::is_directory("/dev/shm", error) ? fs::path("/dev/shm") : fs::temp_directory_path();
    remove_stale_folders(parent);
    std::string folder = (parent / ("vistrel-fuzz-usb-" + std::to_string(::getpid()) + "-XXXXXX")).string();
    if (::mkdtemp(folder.data()) == nullptr) {
        std::perror("mkdtemp");
        std::abort();
    }
    base = folder;
    std::atexit(remove_base);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const fs::path tree = base / "tree";
    {
        tree_builder builder(tree);
        std::string_view input(reinterpret_cast<const char*>(data), size);
        while (!input.empty()) {
            const auto end = input.find('\n');
            builder.take(input.substr(0, end));
            input.remove_prefix(end == std::string_view::npos ? input.size() : end + 1);
        }
        builder.check();
    }
    // Nothing of this input's tree may reach the next one.
    std::error_code error;
    fs::remove_all(tree, error);
    if (error || !fs::is_empty(base)) {
        std::abort();
    }
    return 0;
}
