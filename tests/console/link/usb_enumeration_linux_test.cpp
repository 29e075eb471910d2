// The Linux backend over fake sysfs trees: which folders are devices, how identities are read,
// and where a device interface's serial port is found.
#include "console/link/usb_enumeration_linux.hpp"
#include "tests/support/fake_usb_tree.hpp"

#include <gtest/gtest.h>

#include <fstream>
#include <optional>
#include <string>

namespace vistrel {
namespace {

using test_support::fake_usb_tree;

std::vector<std::string> names_of(const std::vector<usb_device>& devices)
{
    std::vector<std::string> names;
    for (const auto& device : devices) {
        names.push_back(std::filesystem::path(device.location).filename().string());
    }
    return names;
}

TEST(usb_sysfs_enumerator, a_machine_without_a_usb_bus_has_no_devices)
{
    fake_usb_tree tree;
    const usb_sysfs_enumerator usb(tree.root() / "missing");
    EXPECT_TRUE(usb.list_connected_devices().empty());
}

TEST(usb_sysfs_enumerator, a_root_that_cannot_be_read_fails_the_listing)
{
    fake_usb_tree tree;
    std::ofstream(tree.root() / "plain-file") << "x";
    const usb_sysfs_enumerator usb(tree.root() / "plain-file");
    EXPECT_THROW(usb.list_connected_devices(), usb_error);
}

TEST(usb_sysfs_enumerator, lists_device_folders_by_name_and_skips_interfaces_and_files)
{
    fake_usb_tree tree;
    tree.add_device("1-2", 0x0483, 0x5740);
    tree.add_device("usb1", 0x1d6b, 0x0002);
    tree.add_device("1-10", 0x0483, 0x5740);
    tree.add_device("1-1.4", 0x046d, 0xc52b);
    tree.add_interface("1-2", 0, "ttyACM0");
    std::ofstream(tree.root() / "stray-file") << "x";

    const usb_sysfs_enumerator usb(tree.root());
    EXPECT_EQ(names_of(usb.list_connected_devices()), (std::vector<std::string>{"1-1.4", "1-10", "1-2", "usb1"}));
}

TEST(usb_sysfs_enumerator, reads_vendor_and_product_ids)
{
    fake_usb_tree tree;
    tree.add_device("1-2", 0x0483, 0x5740);
    const usb_sysfs_enumerator usb(tree.root());
    const auto devices = usb.list_connected_devices();
    ASSERT_EQ(devices.size(), 1u);
    EXPECT_EQ(usb.vendor_id(devices[0]), 0x0483);
    EXPECT_EQ(usb.product_id(devices[0]), 0x5740);
}

TEST(usb_sysfs_enumerator, an_unreadable_identity_is_a_usb_error)
{
    const struct {
        const char* content;  // nullptr: the file is missing
        bool readable;
    } cases[] = {
        {"0483\n", true}, {"ABCD", true},  {" ffff \n", true}, {nullptr, false},   {"", false},
        {"\n", false},    {"zz\n", false}, {"12345\n", false}, {"04 83\n", false}, {"-483\n", false},
    };
    for (const auto& c : cases) {
        fake_usb_tree tree;
        tree.add_device("1-2", 0x0483, 0x5740);
        if (c.content == nullptr) {
            std::filesystem::remove(tree.root() / "1-2" / "idVendor");
        } else {
            tree.write_device_file("1-2", "idVendor", c.content);
        }
        const usb_sysfs_enumerator usb(tree.root());
        const auto devices = usb.list_connected_devices();
        const std::string label = c.content == nullptr ? "<missing>" : c.content;
        if (c.readable) {
            EXPECT_NO_THROW(usb.vendor_id(devices.at(0))) << label;
        } else {
            EXPECT_THROW(usb.vendor_id(devices.at(0)), usb_error) << label;
        }
        EXPECT_EQ(usb.product_id(devices.at(0)), 0x5740) << label;
    }
}

TEST(usb_sysfs_enumerator, an_identity_is_read_from_the_whole_file)
{
    const struct {
        std::string content;
        std::optional<std::uint16_t> identity;  // nothing: a usb_error
    } cases[] = {
        {"0000000000000000000000000000000483\n", 0x0483},  // past the first 16 bytes
        {"0483            junk\n", std::nullopt},  // junk past the first 16 bytes
        {std::string(60, ' ') + "0483", std::nullopt},  // more than an identity file holds
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.content);
        fake_usb_tree tree;
        tree.add_device("1-2", 0x0483, 0x5740);
        tree.write_device_file("1-2", "idVendor", c.content);
        const usb_sysfs_enumerator usb(tree.root());
        const auto devices = usb.list_connected_devices();
        if (c.identity) {
            EXPECT_EQ(usb.vendor_id(devices.at(0)), *c.identity);
        } else {
            EXPECT_THROW(usb.vendor_id(devices.at(0)), usb_error);
        }
    }
}

class usb_sysfs_port_lookup : public ::testing::Test {
protected:
    usb_sysfs_port_lookup()
    {
        tree.add_device("3-1", 0x0483, 0x5740);
        tree.add_interface("3-1", 0, "");  // CDC control without a port
        tree.add_interface("3-1", 2, "ttyACM3");  // the port
        tree.add_interface("3-1", 3, "ttyUSB1");  // a converter's port
        tree.add_interface("3-1", 4, "ttyACM9", 2);  // another configuration value
    }

    usb_device device() const { return usb.list_connected_devices().at(0); }

    fake_usb_tree tree;
    usb_sysfs_enumerator usb{tree.root()};
};

TEST_F(usb_sysfs_port_lookup, names_the_device_node_of_each_interface_port)
{
    EXPECT_EQ(usb.serial_port_name(device(), 2, true), "/dev/ttyACM3");
    EXPECT_EQ(usb.serial_port_name(device(), 3, true), "/dev/ttyUSB1");
    EXPECT_EQ(usb.serial_port_name(device(), 4, true), "/dev/ttyACM9");
}

TEST_F(usb_sysfs_port_lookup, an_interface_that_is_missing_or_has_no_port_is_a_usb_error)
{
    EXPECT_THROW(usb.serial_port_name(device(), 0, true), usb_error);
    EXPECT_THROW(usb.serial_port_name(device(), 1, true), usb_error);
    EXPECT_THROW(usb.serial_port_name(device(), 12, true), usb_error);
}

TEST_F(usb_sysfs_port_lookup, a_non_composite_lookup_resolves_interface_zero)
{
    EXPECT_THROW(usb.serial_port_name(device(), 2, false), usb_error);
    tree.add_device("3-2", 0x0483, 0x5740);
    tree.add_interface("3-2", 0, "ttyACM5");
    const auto second = usb.list_connected_devices().at(1);
    EXPECT_EQ(usb.serial_port_name(second, 0, false), "/dev/ttyACM5");
    EXPECT_EQ(usb.serial_port_name(second, 3, false), "/dev/ttyACM5");
}

TEST_F(usb_sysfs_port_lookup, another_devices_interface_is_not_taken_for_this_ones)
{
    // "3-1.1" begins with "3-1" but is a different device.
    tree.add_device("3-1.1", 0x0483, 0x5740);
    tree.add_interface("3-1.1", 1, "ttyACM7");
    EXPECT_THROW(usb.serial_port_name(device(), 1, true), usb_error);
}

}  // namespace
}  // namespace vistrel
