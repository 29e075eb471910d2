// "system information" against the simulator, and the local "_service check" copy.
#include "tests/e2e/profile_fixture.hpp"
#include "tests/support/temporary_folder.hpp"

#include <filesystem>

namespace vistrel::e2e {
namespace {

namespace fs = std::filesystem;

const std::string information_request = "{\"category\":\"system\",\"case\":\"get\",\"sort\":\"information\"}\n";

TEST(system_information, prints_the_five_lines)
{
    const sim_case cases[] = {
        {"defaults",
         {"system", "information"},
         {},
         {information_request},
         "system information:\n"
         "hardware version: 1.3.B\n"
         "firmware version: 2.7\n"
         "json schema version: 1.1\n"
         "schema url: https://vistrel.example/schema/device-1.1.json\n",
         "",
         0},
        {"other versions",
         {"system", "information", "information"},
         {"--hardware", "10.0", "--firmware", "3.12.rc1", "--schema", "2.0", "--schema-url", "urn:vistrel:2"},
         {information_request, information_request},
         std::string("system information:\n"
                     "hardware version: 10.0\n"
                     "firmware version: 3.12.rc1\n"
                     "json schema version: 2.0\n"
                     "schema url: urn:vistrel:2\n")
             + "system information:\n"
               "hardware version: 10.0\n"
               "firmware version: 3.12.rc1\n"
               "json schema version: 2.0\n"
               "schema url: urn:vistrel:2\n",
         "",
         0},
        {"no answer",
         {"system", "information", "-t", "1"},
         {"--fault", R"({"reply":"silent"})"},
         {information_request},
         "",
         "std::runtime_error - waiting for result timeouted\n",
         1},
    };
    for (const auto& c : cases) {
        run_sim_case(c);
    }
}

std::string information_reply_of(const std::string& items)
{
    return "{\"category\":\"system\",\"case\":\"state\",\"sort\":\"information\",\"data\":[" + items + "]}";
}

std::string information_lines(const std::string& hardware, const std::string& firmware, const std::string& schema,
                              const std::string& url)
{
    return "system information:\nhardware version: " + hardware + "\nfirmware version: " + firmware
        + "\njson schema version: " + schema + "\nschema url: " + url + "\n";
}

// Each item object gives at most the one version its own "item" names; nothing of an item
// carries over to the next one.
TEST(system_information, takes_each_version_only_from_its_own_item)
{
    const std::string hardware = R"({"item":"hardware","version":{"major":1,"minor":3,"note":"B"}})";
    const std::string firmware = R"({"item":"firmware","version":{"major":2,"minor":7}})";
    const std::string schema = R"({"item":"JSON schema","version":{"major":1,"minor":1},"url":"urn:s"})";
    struct item_case {
        const char* name;
        std::string items;
        std::string output;
    };
    const item_case cases[] = {
        {"an unknown item first",
         R"({"item":"bootloader","version":{"major":9,"minor":4}},)" + hardware + "," + firmware + "," + schema,
         information_lines("1.3.B", "2.7", "1.1", "urn:s")},
        {"an unknown item with its version first",
         R"({"version":{"major":9,"minor":4,"note":"x"},"item":"bootloader"},)" + firmware + "," + hardware + ","
             + schema,
         information_lines("1.3.B", "2.7", "1.1", "urn:s")},
        {"an unknown item between",
         hardware + R"(,{"item":"bootloader","version":{"major":9,"minor":4}},)" + firmware + "," + schema,
         information_lines("1.3.B", "2.7", "1.1", "urn:s")},
        {"schema without url before firmware",
         hardware + R"(,{"item":"JSON schema","version":{"major":1,"minor":1}},)" + firmware,
         information_lines("1.3.B", "2.7", "0.0", "")},
        {"url in another item",
         R"({"item":"hardware","url":"urn:wrong","version":{"major":1,"minor":3}},)"
         R"({"item":"JSON schema","version":{"major":1,"minor":1}})",
         information_lines("1.3", "0.0", "0.0", "")},
        {"note of a version 0.0", R"({"item":"hardware","version":{"major":0,"minor":0,"note":"x"}},)" + firmware,
         information_lines("0.0", "2.7", "0.0", "")},
        {"version 0.0, then a version without item",
         R"({"item":"firmware","version":{"major":0,"minor":0}},{"version":{"major":4,"minor":2}})",
         information_lines("0.0", "0.0", "0.0", "")},
        {"item name alone, then its version alone",
         R"({"item":"hardware"},{"version":{"major":1,"minor":3}},)" + firmware,
         information_lines("0.0", "2.7", "0.0", "")},
        {"version first in its item", R"({"version":{"major":2,"minor":7},"item":"firmware"})",
         information_lines("0.0", "2.7", "0.0", "")},
        {"only the hardware", hardware, information_lines("1.3.B", "0.0", "0.0", "")},
    };
    for (const auto& c : cases) {
        run_sim_case({c.name,
                      {"system", "information"},
                      {"--fault", test_support::text_reply_rule(information_reply_of(c.items))},
                      {information_request},
                      c.output,
                      "",
                      0});
    }
}

class service_check : public ::testing::Test {
protected:
    test_support::process_result check(const std::vector<std::string>& words)
    {
        std::vector<std::string> arguments = {"_service", "check"};
        arguments.insert(arguments.end(), words.begin(), words.end());
        test_support::process_options options;
        options.working_directory = folder.path().string();
        return run_vistrel(arguments, no_usb_bus, options);
    }
    std::string at(const std::string& name) const { return (folder.path() / name).string(); }

    test_support::temporary_folder folder;
};

TEST_F(service_check, copies_the_first_256_bytes_to_the_d_file)
{
    const std::string bytes = numbered_bytes(300, 7);
    put_file(at("screen.bin"), bytes);
    expect_result(check({"screen.bin"}), "", "", 0);
    EXPECT_EQ(file_bytes(at("screen.bin.D")), bytes.substr(0, 256));
    EXPECT_EQ(file_bytes(at("screen.bin")), bytes);
}

TEST_F(service_check, fails_without_writing_on_files_it_cannot_use)
{
    put_file(at("short.bin"), numbered_bytes(128, 7));
    put_file(at("taken.bin"), numbered_bytes(256, 7));
    fs::create_directory(at("taken.bin.D"));
    const std::string stream_failure = "std::runtime_error - " + stream_failure_text() + "\n";

    expect_result(check({"short.bin"}), "", stream_failure, 1);
    EXPECT_FALSE(fs::exists(at("short.bin.D")));
    expect_result(check({"missing.bin"}), "", stream_failure, 1);
    EXPECT_FALSE(fs::exists(at("missing.bin.D")));
    expect_result(check({"taken.bin"}), "", "std::runtime_error - Cannot open file taken.bin.D for writing.\n", 1);
    expect_result(check({}), "", "std::runtime_error - missing file name\n", 1);
}

}  // namespace
}  // namespace vistrel::e2e
