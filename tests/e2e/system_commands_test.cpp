// "system information" against the simulator, and the local "_service check" copy.
#include "tests/e2e/profile_fixture.hpp"
#include "tests/support/temporary_folder.hpp"

#include <filesystem>

namespace vistrel::e2e {
namespace {

namespace fs = std::filesystem;

const std::string information_request =
    "{\"category\":\"system\",\"case\":\"get\",\"sort\":\"information\"}\n";

TEST(system_information, prints_the_five_lines)
{
    const sim_case cases[] = {
        {"defaults", {"system", "information"}, {}, {information_request},
         "system information:\n"
         "hardware version: 1.3.B\n"
         "firmware version: 2.7\n"
         "json schema version: 1.1\n"
         "schema url: https://vistrel.example/schema/device-1.1.json\n",
         "", 0},
        {"other versions", {"system", "information", "information"},
         {"--hardware", "10.0", "--firmware", "3.12.rc1", "--schema", "2.0", "--schema-url", "urn:vistrel:2"},
         {information_request, information_request},
         std::string("system information:\n"
                     "hardware version: 10.0\n"
                     "firmware version: 3.12.rc1\n"
                     "json schema version: 2.0\n"
                     "schema url: urn:vistrel:2\n") +
             "system information:\n"
             "hardware version: 10.0\n"
             "firmware version: 3.12.rc1\n"
             "json schema version: 2.0\n"
             "schema url: urn:vistrel:2\n",
         "", 0},
        {"no answer", {"system", "information", "-t", "1"}, {"--fault", R"({"reply":"silent"})"},
         {information_request}, "", "std::runtime_error - waiting for result timeouted\n", 1},
    };
    for (const auto& c : cases) {
        run_sim_case(c);
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
    expect_result(check({"taken.bin"}), "",
                  "std::runtime_error - Cannot open file taken.bin.D for writing.\n", 1);
    expect_result(check({}), "", "std::runtime_error - missing file name\n", 1);
}

}  // namespace
}  // namespace vistrel::e2e
