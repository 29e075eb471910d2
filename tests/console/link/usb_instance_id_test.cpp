// Reading the identity out of Windows device instance IDs.
#include "console/link/usb_instance_id.hpp"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace vistrel {
namespace {

struct id_case {
    const char* id;
    std::optional<usb_instance_id> expected;
};

usb_instance_id identity(std::uint16_t vendor, std::uint16_t product,
                         std::optional<std::uint8_t> interface_number = std::nullopt)
{
    usb_instance_id result;
    result.vendor_id = vendor;
    result.product_id = product;
    result.interface_number = interface_number;
    return result;
}

TEST(usb_instance_id, reads_devices_and_interfaces_and_refuses_the_rest)
{
    const id_case cases[] = {
        // Whole devices, as listed.
        {R"(USB\VID_0483&PID_5740\205F3582524B)", identity(0x0483, 0x5740)},
        {R"(usb\vid_0483&pid_5740\6&2a3b&0&1)", identity(0x0483, 0x5740)},
        {R"(USB\VID_FFFF&PID_0000\X)", identity(0xFFFF, 0x0000)},
        {R"(USB\VID_0483&PID_5740)", identity(0x0483, 0x5740)},
        {R"(USB\PID_5740&VID_0483\X)", identity(0x0483, 0x5740)},
        // Interfaces of composite devices; the interface number is hex.
        {R"(USB\VID_0483&PID_5740&MI_00\7&1C2B&0&0000)", identity(0x0483, 0x5740, 0)},
        {R"(USB\VID_0483&PID_5740&MI_02\7&1C2B&0&0002)", identity(0x0483, 0x5740, 2)},
        {R"(USB\VID_0483&PID_5740&MI_0a\X)", identity(0x0483, 0x5740, 10)},
        // Parts that are no identity are passed over.
        {R"(USB\VID_0483&PID_5740&REV_0200\X)", identity(0x0483, 0x5740)},
        // Not a USB device of its own, or an identity that cannot be read.
        {R"(USB\ROOT_HUB30\4&1B2D&0&0)", std::nullopt},
        {R"(HID\VID_0483&PID_5740\X)", std::nullopt},
        {R"(USBSTOR\VID_0483&PID_5740\X)", std::nullopt},
        {R"(USB\VID_0483\X)", std::nullopt},
        {R"(USB\PID_5740\X)", std::nullopt},
        {R"(USB\VID_483&PID_5740\X)", std::nullopt},
        {R"(USB\VID_04830&PID_5740\X)", std::nullopt},
        {R"(USB\VID_04G3&PID_5740\X)", std::nullopt},
        {R"(USB\VID_+483&PID_5740\X)", std::nullopt},
        {R"(USB\VID_0483&PID_5740&MI_2\X)", std::nullopt},
        {R"(USB\VID_0483&PID_5740&MI_002\X)", std::nullopt},
        {R"(USB\VID_0483&VID_0484&PID_5740\X)", std::nullopt},
        // The identity ends at the backslash: the instance part is never read as one.
        {R"(USB\VID_0483\PID_5740)", std::nullopt},
        {R"(USB\ROOT_HUB\VID_0483&PID_5740)", std::nullopt},
        {"USB\\", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id);
        const auto parsed = parse_usb_instance_id(c.id);
        ASSERT_EQ(parsed.has_value(), c.expected.has_value());
        if (parsed) {
            EXPECT_EQ(parsed->vendor_id, c.expected->vendor_id);
            EXPECT_EQ(parsed->product_id, c.expected->product_id);
            EXPECT_EQ(parsed->interface_number, c.expected->interface_number);
        }
    }
}

}  // namespace
}  // namespace vistrel
