// Entry-point paths that a launched program cannot show: an empty argument vector, and the
// devices_listed flag of an earlier run.
#include "console/cli/run_command_line.hpp"
#include "console/cli/system_commands.hpp"
#include "tests/console/cli/argument_list.hpp"

#include <gtest/gtest.h>

#include <iostream>
#include <sstream>

namespace vistrel {
namespace {

// Collects what is written to standard error while it lives.
class captured_stderr {
public:
    captured_stderr() : previous_(std::cerr.rdbuf(text_.rdbuf())) {}
    ~captured_stderr() { std::cerr.rdbuf(previous_); }
    std::string text() const { return text_.str(); }

private:
    std::ostringstream text_;
    std::streambuf* previous_;
};

TEST(run_command_line, an_empty_argument_vector_prints_the_usage_without_a_name)
{
    char* argv[] = {nullptr};
    captured_stderr err;
    EXPECT_EQ(run_command_line(0, argv), 1);
    EXPECT_EQ(err.text(),
              "\"\", version 1.2 - unrecognized command: <empty>\n"
              "Usage: \"\" [-c <com_port_device> | -l] profile <options...> | system <options...>\n"
              "\n");
}

TEST(run_command_line, a_listing_of_an_earlier_run_does_not_count)
{
    devices_listed = true;
    argument_list args({"-c", "COM1"});
    captured_stderr err;
    EXPECT_EQ(run_command_line(args.argc(), args.argv()), 1);
    EXPECT_NE(err.text().find("unrecognized command: <empty>"), std::string::npos);
}

}  // namespace
}  // namespace vistrel
