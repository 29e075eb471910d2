// USB enumeration on Windows, through SetupAPI and the configuration manager.
//
// The devices are the present device nodes of the USB enumerator whose instance ID names a
// whole device ("USB\VID_0483&PID_5740\<serial>"). The interfaces of a composite device are
// its child nodes ("...&MI_02\..."). A node that is a serial port holds the port's name
// ("COM7") in the value "PortName" of its hardware registry key.
#include "console/link/usb_discovery.hpp"
#include "console/link/usb_instance_id.hpp"

#include <windows.h>

#include <cfgmgr32.h>
#include <setupapi.h>

#include <optional>
#include <string>
#include <vector>

namespace vistrel {

namespace {

class device_info_list {
public:
    explicit device_info_list(HDEVINFO handle) : handle_(handle) {}
    device_info_list(const device_info_list&) = delete;
    device_info_list& operator=(const device_info_list&) = delete;
    ~device_info_list()
    {
        if (handle_ != INVALID_HANDLE_VALUE) {
            SetupDiDestroyDeviceInfoList(handle_);
        }
    }
    HDEVINFO get() const { return handle_; }

private:
    HDEVINFO handle_;
};

class registry_key {
public:
    registry_key() = default;
    registry_key(const registry_key&) = delete;
    registry_key& operator=(const registry_key&) = delete;
    ~registry_key()
    {
        if (key_ != nullptr) {
            RegCloseKey(key_);
        }
    }
    HKEY* out() { return &key_; }
    HKEY get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

std::string error_number(DWORD code)
{
    return " (error " + std::to_string(code) + ")";
}

std::string instance_id(HDEVINFO list, SP_DEVINFO_DATA& data)
{
    DWORD size = 0;
    SetupDiGetDeviceInstanceIdA(list, &data, nullptr, 0, &size);
    std::vector<char> text(size + 1, '\0');
    if (!SetupDiGetDeviceInstanceIdA(list, &data, text.data(), static_cast<DWORD>(text.size()), nullptr)) {
        throw usb_error("Failed to get the instance ID of a USB device" + error_number(GetLastError()) + ".");
    }
    return text.data();
}

std::optional<std::string> node_id(DEVINST node)
{
    ULONG size = 0;
    if (CM_Get_Device_ID_Size(&size, node, 0) != CR_SUCCESS) {
        return std::nullopt;
    }
    std::vector<char> text(size + 1, '\0');
    if (CM_Get_Device_IDA(node, text.data(), static_cast<ULONG>(text.size()), 0) != CR_SUCCESS) {
        return std::nullopt;
    }
    return std::string(text.data());
}

// The "PortName" of a device node; nothing when the node is no serial port.
std::optional<std::string> port_name_of(DEVINST node)
{
    registry_key key;
    if (CM_Open_DevNode_Key(node, KEY_QUERY_VALUE, 0, RegDisposition_OpenExisting, key.out(), CM_REGISTRY_HARDWARE)
        != CR_SUCCESS) {
        return std::nullopt;
    }
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(key.get(), "PortName", nullptr, &type, nullptr, &size) != ERROR_SUCCESS || type != REG_SZ) {
        return std::nullopt;
    }
    std::vector<char> text(size + 1, '\0');
    if (RegQueryValueExA(key.get(), "PortName", nullptr, &type, reinterpret_cast<BYTE*>(text.data()), &size)
        != ERROR_SUCCESS) {
        return std::nullopt;
    }
    std::string name(text.data());  // the stored value may or may not end with its NUL
    if (name.empty()) {
        return std::nullopt;
    }
    return name;
}

usb_instance_id identity_of(const usb_device& device, const char* what)
{
    const auto identity = parse_usb_instance_id(device.location);
    if (!identity) {
        throw usb_error("Failed to read the " + std::string(what) + " of USB device " + device.location + ".");
    }
    return *identity;
}

class usb_setupapi_enumerator final : public usb_enumerator {
public:
    std::vector<usb_device> list_connected_devices() const override
    {
        const device_info_list list(SetupDiGetClassDevsA(nullptr, "USB", nullptr, DIGCF_ALLCLASSES | DIGCF_PRESENT));
        if (list.get() == INVALID_HANDLE_VALUE) {
            throw usb_error("Failed to list all USB devices" + error_number(GetLastError()) + ".");
        }
        std::vector<usb_device> devices;
        for (DWORD index = 0;; ++index) {
            SP_DEVINFO_DATA data{};
            data.cbSize = sizeof data;
            if (!SetupDiEnumDeviceInfo(list.get(), index, &data)) {
                const DWORD code = GetLastError();
                if (code == ERROR_NO_MORE_ITEMS) {
                    break;
                }
                throw usb_error("Failed to list all USB devices" + error_number(code) + ".");
            }
            std::string id = instance_id(list.get(), data);
            // Hubs and the interfaces of composite devices are no devices of their own here.
            const auto identity = parse_usb_instance_id(id);
            if (identity && !identity->interface_number) {
                devices.push_back(usb_device{std::move(id)});
            }
        }
        return devices;
    }

    std::uint16_t vendor_id(const usb_device& device) const override
    {
        return identity_of(device, "vendor ID").vendor_id;
    }

    std::uint16_t product_id(const usb_device& device) const override
    {
        return identity_of(device, "product ID").product_id;
    }

    std::string serial_port_name(const usb_device& device, std::uint8_t interface_number, bool composite) const override
    {
        DEVINST node = 0;
        std::string id = device.location;
        if (CM_Locate_DevNodeA(&node, id.data(), CM_LOCATE_DEVNODE_NORMAL) != CR_SUCCESS) {
            throw usb_error("USB device " + device.location + " is no longer connected.");
        }
        if (!composite) {
            if (auto port = port_name_of(node)) {
                return *port;
            }
            throw usb_error("No serial port on USB device " + device.location + ".");
        }
        const std::string interface_text = std::to_string(interface_number);
        DEVINST child = 0;
        for (CONFIGRET found = CM_Get_Child(&child, node, 0); found == CR_SUCCESS;
             found = CM_Get_Sibling(&child, child, 0)) {
            const auto child_id = node_id(child);
            const auto identity = child_id ? parse_usb_instance_id(*child_id) : std::nullopt;
            if (!identity || identity->interface_number != interface_number) {
                continue;
            }
            if (auto port = port_name_of(child)) {
                return *port;
            }
            throw usb_error("No serial port on interface " + interface_text + " of USB device " + device.location
                            + ".");
        }
        throw usb_error("USB device " + device.location + " has no interface " + interface_text + ".");
    }
};

}  // namespace

const usb_enumerator& platform_usb_enumerator()
{
    static const usb_setupapi_enumerator enumerator;
    return enumerator;
}

}  // namespace vistrel
