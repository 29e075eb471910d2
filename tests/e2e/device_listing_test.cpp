// vistrel -l over fake sysfs trees: what it lists, and that a failed discovery lists nothing.
#include "tests/e2e/run_vistrel.hpp"
#include "tests/support/fake_usb_tree.hpp"

#include <gtest/gtest.h>

#include <fstream>

namespace vistrel::e2e {
namespace {

using test_support::fake_usb_tree;

// USB discovery on Windows asks SetupAPI, which finds no devices under Wine; the listing that
// results is among the command-line cases.
class device_listing : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (test_support::runs_on_windows()) {
            GTEST_SKIP() << "reads a fake Linux sysfs tree";
        }
    }
};

TEST_F(device_listing, lists_the_ports_of_matching_devices_in_order)
{
    fake_usb_tree tree;
    tree.add_device("1-1", 0x0483, 0x5740);
    tree.add_interface("1-1", 0, "");
    tree.add_interface("1-1", 2, "ttyACM1");
    tree.add_device("1-2", 0x046d, 0xc52b);  // another device with a serial port
    tree.add_interface("1-2", 0, "ttyUSB0");
    tree.add_device("2-1", 0x0483, 0x5740);
    tree.add_interface("2-1", 0, "ttyACM0");
    tree.add_interface("2-1", 3, "ttyACM4");

    const auto result = run_vistrel({"-l"}, tree.root().string());
    EXPECT_EQ(result.standard_output, "Found devices:\n/dev/ttyACM1\n/dev/ttyACM0\n/dev/ttyACM4\n\n");
    EXPECT_EQ(result.standard_error, "");
    EXPECT_EQ(result.exit_status, 0);
}

TEST_F(device_listing, an_empty_bus_lists_no_device)
{
    fake_usb_tree tree;
    tree.add_device("usb1", 0x1d6b, 0x0002);
    const auto result = run_vistrel({"-l"}, tree.root().string());
    EXPECT_EQ(result.standard_output, "Found devices:\n\n");
    EXPECT_EQ(result.exit_status, 0);
}

TEST_F(device_listing, a_failed_discovery_prints_nothing_and_ends_with_status_1)
{
    struct spoiled_tree {
        const char* what;
        void (*spoil)(fake_usb_tree&);
    };
    const spoiled_tree cases[] = {
        {"the device list cannot be read",
         [](fake_usb_tree& tree) {
             std::filesystem::remove_all(tree.root());
             std::ofstream(tree.root()) << "not a folder";
         }},
        {"a later device's vendor id cannot be read",
         [](fake_usb_tree& tree) {
             tree.add_device("1-2", 0x0483, 0x5740);
             tree.write_device_file("1-2", "idVendor", "garbage");
         }},
        {"a matching device has no serial port", [](fake_usb_tree& tree) { tree.add_device("1-2", 0x0483, 0x5740); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fake_usb_tree tree;
        tree.add_device("1-1", 0x0483, 0x5740);
        tree.add_interface("1-1", 0, "ttyACM0");
        c.spoil(tree);
        for (const std::vector<std::string>& arguments :
             {std::vector<std::string>{"-l"}, std::vector<std::string>{"-l", "system"}}) {
            const auto result = run_vistrel(arguments, tree.root().string());
            EXPECT_EQ(result.standard_output, "");
            EXPECT_EQ(result.standard_error, "");
            EXPECT_EQ(result.exit_status, 1);
        }
    }
}

}  // namespace
}  // namespace vistrel::e2e
