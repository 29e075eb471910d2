// Device instance IDs of USB devices as Windows names them:
//   "USB\VID_0483&PID_5740\<serial>"            a whole device,
//   "USB\VID_0483&PID_5740&MI_02\<instance>"    interface 2 of a composite device.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace vistrel {

struct usb_instance_id {
    std::uint16_t vendor_id = 0;
    std::uint16_t product_id = 0;
    // The interface of a composite device ("MI_xx", hex); none for a whole device.
    std::optional<std::uint8_t> interface_number;
};

// The identity in a device instance ID of the USB enumerator; letters in any case. Nothing
// when the ID does not start with "USB\", lacks the vendor or the product ID, or holds an
// identity part that cannot be read (four hex digits each, two for the interface).
std::optional<usb_instance_id> parse_usb_instance_id(std::string_view id);

}  // namespace vistrel
