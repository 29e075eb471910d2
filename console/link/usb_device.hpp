// One connected USB device, as the platform's enumeration names it.
#pragma once

#include <string>

namespace vistrel {

struct usb_device {
    // Where the platform backend finds the device again: the device's folder under the
    // sysfs root on Linux, its device instance ID ("USB\VID_0483&PID_5740\<serial>") on
    // Windows.
    std::string location;
};

}  // namespace vistrel
