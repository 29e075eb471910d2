// The command line of vistrel as a user meets it: usage, option help, option errors and exit
// statuses, compared byte for byte.
#include "tests/e2e/expected_help.hpp"
#include "tests/e2e/run_vistrel.hpp"

#include <gtest/gtest.h>

#include <ostream>

namespace vistrel::e2e {
namespace {

const std::string no_devices = "Found devices:\n\n";

struct command_line_case {
    std::vector<std::string> arguments;
    std::string standard_output;
    std::string standard_error;
    int exit_status;
};

// Names a case by its arguments, shortened, with bytes outside printable ASCII as \xNN.
void PrintTo(const command_line_case& c, std::ostream* out)
{
    *out << "vistrel";
    for (const auto& argument : c.arguments) {
        *out << " [";
        for (std::size_t i = 0; i < argument.size() && i < 40; ++i) {
            const auto byte = static_cast<unsigned char>(argument[i]);
            if (byte >= 0x20 && byte < 0x7f) {
                *out << argument[i];
            } else {
                const char* digits = "0123456789abcdef";
                *out << "\\x" << digits[byte >> 4] << digits[byte & 0xf];
            }
        }
        *out << (argument.size() > 40 ? "...]" : "]");
    }
}

void expect_run(const command_line_case& c)
{
    const auto result = run_vistrel(c.arguments);
    EXPECT_EQ(result.standard_output, c.standard_output);
    EXPECT_EQ(result.standard_error, c.standard_error);
    EXPECT_EQ(result.exit_status, c.exit_status);
    EXPECT_EQ(result.killed_by_signal, 0);
}

class usage_and_help : public ::testing::TestWithParam<command_line_case> {};

TEST_P(usage_and_help, prints_exactly)
{
    if (const auto reason = test_support::words_the_platform_cannot_pass(GetParam().arguments)) {
        GTEST_SKIP() << *reason;
    }
    expect_run(GetParam());
}

INSTANTIATE_TEST_SUITE_P(
    registry, usage_and_help,
    ::testing::Values(
        // No command group: the usage, exit status 1.
        command_line_case{{}, "", usage_text("<empty>"), 1},
        command_line_case{{"-c", "COM3"}, "", usage_text("<empty>"), 1},
        command_line_case{{"-c=COM3"}, "", usage_text("<empty>"), 1},
        command_line_case{{"-c", "COM3", "-c", "COM4"}, "", usage_text("<empty>"), 1},
        command_line_case{{"-cCOM3", "system", "information"}, "", usage_text("-cCOM3"), 1},
        command_line_case{{"SYSTEM", "information"}, "", usage_text("SYSTEM"), 1},
        command_line_case{{"-x"}, "", usage_text("-x"), 1},
        command_line_case{{"-C", "COM3", "system"}, "", usage_text("-C"), 1},
        command_line_case{{"information"}, "", usage_text("information"), 1},
        command_line_case{{"_SERVICE"}, "", usage_text("_SERVICE"), 1},
        command_line_case{{"system=information"}, "", usage_text("system=information"), 1},
        // A group alone: its option help, exit status 0; the hidden group has none.
        command_line_case{{"system"}, "", system_help("<empty>"), 0},
        command_line_case{{"profile"}, "", profile_help("<empty>"), 0}, command_line_case{{"_service"}, "", "", 0},
        command_line_case{{"-c", "COM3", "system"}, "", system_help("<empty>"), 0},
        command_line_case{{"-c=COM3", "profile"}, "", profile_help("<empty>"), 0},
        // Words the group does not know: its option help naming the first of them, exit 0.
        command_line_case{{"profile", "-t", "5", "list"}, "", profile_help("-t"), 0},
        command_line_case{{"system", "-t=5", "information"}, "", system_help("-t=5"), 0},
        command_line_case{{"system", "info"}, "", system_help("info"), 0},
        command_line_case{{"profile", "LIST"}, "", profile_help("LIST"), 0},
        command_line_case{{"system", "-c", "COM3"}, "", system_help("-c"), 0},
        command_line_case{{"_service", "-t", "5"}, "", service_help("-t"), 0},
        command_line_case{{"_service", "information"}, "", service_help("information"), 0},
        // Option values missing or unreadable.
        command_line_case{{"-c"}, "", "std::runtime_error - incorrectly specified COM port\n", 1},
        command_line_case{{"-c", "COM3", "-c"}, "", "std::runtime_error - incorrectly specified COM port\n", 1},
        command_line_case{
            {"system", "information", "-t"}, "", "std::runtime_error - incorrectly specified timeout\n", 1},
        command_line_case{{"profile", "list", "-t"}, "", "std::runtime_error - incorrectly specified timeout\n", 1},
        command_line_case{{"system", "information", "-t", "abc"}, "", "", 1},
        command_line_case{{"system", "information", "-t=abc"}, "", "", 1},
        command_line_case{{"system", "information", "-t", "2147483648"}, "", "", 1},
        command_line_case{{"system", "information", "-t", "-2147483649"}, "", "", 1},
        command_line_case{{"profile", "upload", "-t", ""}, "", "", 1},
        // The device listing (no USB bus here) and what follows it.
        command_line_case{{"-l"}, no_devices, "", 0}, command_line_case{{"-c", "COM3", "-l"}, no_devices, "", 0},
        command_line_case{{"-l", "-c=COM3"}, no_devices, "", 0},
        command_line_case{{"-l", "-l"}, no_devices + no_devices, "", 0},
        command_line_case{{"-l", "system"}, no_devices, system_help("<empty>"), 0},
        command_line_case{{"-l", "_service"}, no_devices, "", 0},
        command_line_case{{"-l", "bogus"}, no_devices, usage_text("bogus"), 1},
        command_line_case{{"-l", "-c"}, no_devices, "std::runtime_error - incorrectly specified COM port\n", 1}));

// Whatever the words hold, the rules above decide: no crash, exit status 0 or 1.
INSTANTIATE_TEST_SUITE_P(
    unusual_words, usage_and_help,
    ::testing::Values(command_line_case{{""}, "", usage_text(""), 1}, command_line_case{{"="}, "", usage_text("="), 1},
                      command_line_case{{"=="}, "", usage_text("=="), 1},
                      command_line_case{{"", "system"}, "", usage_text(""), 1},
                      command_line_case{{"-c", ""}, "", usage_text("<empty>"), 1},
                      command_line_case{{"-c="}, "", usage_text("<empty>"), 1},
                      command_line_case{{"-c=", "system"}, "", system_help("<empty>"), 0},
                      command_line_case{{"-c=-c=-c="}, "", usage_text("<empty>"), 1},
                      // "-l=x" lists, then "x" is the next word.
                      command_line_case{{"-l=x"}, no_devices, usage_text("x"), 1},
                      command_line_case{{"-l="}, no_devices, usage_text(""), 1},
                      command_line_case{{"-l=-l"}, no_devices + no_devices, "", 0},
                      command_line_case{{"system", ""}, "", system_help(""), 0},
                      command_line_case{{"system", "="}, "", system_help("="), 0},
                      command_line_case{{"profile", "=list"}, "", profile_help("=list"), 0},
                      command_line_case{{"\xff\xfe\x80 \xc3\xa4"}, "", usage_text("\xff\xfe\x80 \xc3\xa4"), 1},
                      command_line_case{{"system", "\t\n"}, "", system_help("\t\n"), 0},
                      command_line_case{{std::string(100000, 'w')}, "", usage_text(std::string(100000, 'w')), 1},
                      command_line_case{{"-c", std::string(100000, 'p'), "profile", std::string(50000, 'q')},
                                        "",
                                        profile_help(std::string(50000, 'q')),
                                        0}));

TEST(program_name, comes_from_the_stem_of_argv0)
{
    if (test_support::runs_on_windows()) {
        GTEST_SKIP() << "sets argv[0] of a POSIX process; windows_program_name_test.cpp names "
                        "vistrel.exe by its file";
    }
    const struct {
        const char* argv0;
        const char* quoted;
    } cases[] = {
        {"vistrel.exe", "\"vistrel\""},
        {"/opt/tools/my.vistrel.bin", "\"my.vistrel\""},
        {".vistrel", "\".vistrel\""},
        {"..", "\"..\""},
        {"odd\"name\\x.y", "\"odd\\\"name\\\\x\""},
    };
    for (const auto& c : cases) {
        test_support::process_options options;
        options.argv0 = c.argv0;
        const auto result = run_vistrel({}, no_usb_bus, options);
        EXPECT_EQ(result.standard_error, usage_text("<empty>", c.quoted)) << c.argv0;
        EXPECT_EQ(result.exit_status, 1) << c.argv0;
    }
}

}  // namespace
}  // namespace vistrel::e2e
