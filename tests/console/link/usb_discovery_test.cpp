// Which ports discovery reports, in which order, and which failures end it.
#include "console/link/usb_discovery.hpp"
#include "console/link/usb_enumeration_linux.hpp"
#include "contract/device_contract.hpp"
#include "tests/support/fake_usb_tree.hpp"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <stdexcept>
#include <tuple>

namespace vistrel {
namespace {

using test_support::fake_usb_tree;
using ports = std::vector<std::string>;

ports find_in(const fake_usb_tree& tree)
{
    return find_device_ports(usb_sysfs_enumerator(tree.root()), contract::vendor_id, contract::product_id,
                             contract::highest_interface);
}

TEST(find_device_ports_in_sysfs, no_usb_bus_or_no_device_finds_nothing)
{
    fake_usb_tree tree;
    EXPECT_EQ(find_in(tree), ports{});
    EXPECT_EQ(find_device_ports(usb_sysfs_enumerator(tree.root() / "missing"), 0x0483, 0x5740, 4), ports{});
}

TEST(find_device_ports_in_sysfs, finds_the_cdc_port_on_interface_two)
{
    fake_usb_tree tree;
    tree.add_device("1-3", 0x0483, 0x5740);
    tree.add_interface("1-3", 0, "");
    tree.add_interface("1-3", 1, "");
    tree.add_interface("1-3", 2, "ttyACM0");
    EXPECT_EQ(find_in(tree), ports{"/dev/ttyACM0"});
}

TEST(find_device_ports_in_sysfs, a_single_interface_device_is_listed_once)
{
    fake_usb_tree tree;
    tree.add_device("1-3", 0x0483, 0x5740);
    tree.add_interface("1-3", 0, "ttyUSB0");
    EXPECT_EQ(find_in(tree), ports{"/dev/ttyUSB0"});
}

TEST(find_device_ports_in_sysfs, devices_with_other_ids_are_never_listed)
{
    fake_usb_tree tree;
    tree.add_device("1-1", 0x0483, 0x5741);  // same vendor, other product
    tree.add_device("1-2", 0x0484, 0x5740);  // other vendor, same product
    tree.add_device("1-3", 0x5740, 0x0483);  // the two swapped
    for (const char* device : {"1-1", "1-2", "1-3"}) {
        tree.add_interface(device, 0, std::string("ttyACM") + device[2]);
    }
    EXPECT_EQ(find_in(tree), ports{});
}

TEST(find_device_ports_in_sysfs, two_devices_in_enumeration_order_each_in_interface_order)
{
    fake_usb_tree tree;
    tree.add_device("2-1", 0x0483, 0x5740);
    tree.add_interface("2-1", 4, "ttyACM1");
    tree.add_interface("2-1", 1, "ttyACM0");
    tree.add_device("1-4", 0x0483, 0x5740);
    tree.add_interface("1-4", 0, "ttyACM2");
    tree.add_device("1-5", 0x1d6b, 0x0002);
    tree.add_interface("1-5", 0, "ttyACM3");
    EXPECT_EQ(find_in(tree), (ports{"/dev/ttyACM2", "/dev/ttyACM0", "/dev/ttyACM1"}));
}

TEST(find_device_ports_in_sysfs, interfaces_above_the_highest_are_not_tried)
{
    fake_usb_tree tree;
    tree.add_device("1-1", 0x0483, 0x5740);
    tree.add_interface("1-1", 0, "ttyACM0");
    tree.add_interface("1-1", 5, "ttyACM5");
    EXPECT_EQ(find_in(tree), ports{"/dev/ttyACM0"});
}

TEST(find_device_ports_in_sysfs, failures_that_end_the_discovery)
{
    {
        SCOPED_TRACE("the device list cannot be read");
        fake_usb_tree tree;
        std::ofstream(tree.root() / "file") << "x";
        EXPECT_THROW(find_device_ports(usb_sysfs_enumerator(tree.root() / "file"), 0x0483, 0x5740, 4), usb_error);
    }
    {
        SCOPED_TRACE("a later device's vendor id is unreadable");
        fake_usb_tree tree;
        tree.add_device("1-1", 0x0483, 0x5740);
        tree.add_interface("1-1", 0, "ttyACM0");
        tree.add_device("1-2", 0x0483, 0x5740);
        tree.write_device_file("1-2", "idVendor", "junk");
        EXPECT_THROW(find_in(tree), usb_error);
    }
    {
        SCOPED_TRACE("a matching device's product id is unreadable");
        fake_usb_tree tree;
        tree.add_device("1-1", 0x0483, 0x5740);
        tree.write_device_file("1-1", "idProduct", "");
        EXPECT_THROW(find_in(tree), usb_error);
    }
    {
        SCOPED_TRACE("a matching device has no port at all");
        fake_usb_tree tree;
        tree.add_device("1-1", 0x0483, 0x5740);
        tree.add_interface("1-1", 0, "");
        EXPECT_THROW(find_in(tree), usb_error);
    }
}

TEST(find_device_ports_in_sysfs, another_devices_unreadable_product_id_is_never_read)
{
    fake_usb_tree tree;
    tree.add_device("1-1", 0x1d6b, 0x0002);
    tree.write_device_file("1-1", "idProduct", "junk");
    EXPECT_EQ(find_in(tree), ports{});
}

// An enumerator scripted per test, for the paths no Linux tree reaches: the port of a
// non-composite device that belongs to the device itself, and foreign exceptions.
class scripted_usb final : public usb_enumerator {
public:
    struct device_script {
        std::uint16_t vendor = 0x0483;
        std::uint16_t product = 0x5740;
        std::map<std::pair<unsigned, bool>, std::string> port_names;
        bool own_port_lookup_throws_foreign = false;
    };

    std::vector<device_script> devices;
    mutable std::vector<std::tuple<std::size_t, unsigned, bool>> lookups;

    std::vector<usb_device> list_connected_devices() const override
    {
        std::vector<usb_device> result;
        for (std::size_t i = 0; i < devices.size(); ++i) {
            result.push_back(usb_device{std::to_string(i)});
        }
        return result;
    }
    std::uint16_t vendor_id(const usb_device& device) const override { return script(device).vendor; }
    std::uint16_t product_id(const usb_device& device) const override { return script(device).product; }
    std::string serial_port_name(const usb_device& device, std::uint8_t interface_number, bool composite) const override
    {
        lookups.emplace_back(std::stoul(device.location), interface_number, composite);
        const auto& s = script(device);
        if (s.own_port_lookup_throws_foreign) {
            throw std::runtime_error("not a USB failure");
        }
        const auto found = s.port_names.find({interface_number, composite});
        if (found == s.port_names.end()) {
            throw usb_error("no port");
        }
        return found->second;
    }

private:
    const device_script& script(const usb_device& device) const { return devices.at(std::stoul(device.location)); }
};

TEST(find_device_ports_over_an_enumerator, a_non_composite_device_is_found_by_the_fallback)
{
    scripted_usb usb;
    usb.devices.push_back({0x0483, 0x5740, {{{0, false}, "COM7"}}, false});
    EXPECT_EQ(find_device_ports(usb, 0x0483, 0x5740, 4), ports{"COM7"});
    using lookup = std::tuple<std::size_t, unsigned, bool>;
    EXPECT_EQ(
        usb.lookups,
        (std::vector<lookup>{{0, 0, true}, {0, 1, true}, {0, 2, true}, {0, 3, true}, {0, 4, true}, {0, 0, false}}));
}

TEST(find_device_ports_over_an_enumerator, the_fallback_is_skipped_once_an_interface_has_a_port)
{
    scripted_usb usb;
    usb.devices.push_back({0x0483, 0x5740, {{{3, true}, "COM4"}, {{0, false}, "COM9"}}, false});
    EXPECT_EQ(find_device_ports(usb, 0x0483, 0x5740, 4), ports{"COM4"});
}

TEST(find_device_ports_over_an_enumerator, a_name_found_twice_is_kept_twice)
{
    scripted_usb usb;
    usb.devices.push_back({0x0483, 0x5740, {{{0, true}, "COM3"}, {{1, true}, "COM3"}}, false});
    usb.devices.push_back({0x0483, 0x5740, {{{2, true}, "COM3"}}, false});
    EXPECT_EQ(find_device_ports(usb, 0x0483, 0x5740, 4), (ports{"COM3", "COM3", "COM3"}));
}

TEST(find_device_ports_over_an_enumerator, the_fallbacks_failure_ends_the_discovery)
{
    scripted_usb usb;
    usb.devices.push_back({0x0483, 0x5740, {{{0, true}, "COM3"}}, false});
    usb.devices.push_back({0x0483, 0x5740, {}, false});
    EXPECT_THROW(find_device_ports(usb, 0x0483, 0x5740, 4), usb_error);
}

TEST(find_device_ports_over_an_enumerator, only_usb_errors_of_an_interface_lookup_are_swallowed)
{
    scripted_usb usb;
    usb.devices.push_back({0x0483, 0x5740, {}, true});
    EXPECT_THROW(find_device_ports(usb, 0x0483, 0x5740, 4), std::runtime_error);
    EXPECT_EQ(usb.lookups.size(), 1u);
}

TEST(find_device_ports_over_an_enumerator, the_highest_interface_is_inclusive_even_at_255)
{
    scripted_usb usb;
    usb.devices.push_back({0x0483, 0x5740, {{{255, true}, "COM255"}}, false});
    EXPECT_EQ(find_device_ports(usb, 0x0483, 0x5740, 255), ports{"COM255"});
    EXPECT_EQ(usb.lookups.size(), 256u);
}

}  // namespace
}  // namespace vistrel
