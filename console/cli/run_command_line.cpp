#include "console/cli/run_command_line.hpp"

#include "console/cli/help_texts.hpp"
#include "console/cli/registry.hpp"
#include "console/cli/system_commands.hpp"
#include "console/link/failure_report.hpp"

#include <cstdio>
#include <iostream>
#include <stdexcept>
#include <string_view>

namespace vistrel {
namespace {

constexpr std::string_view no_word = "<empty>";

int walk_command_line(int argc, arg_vector args)
{
    const arg_cursor program = -argc;
    arg_cursor cursor = argc > 0 ? 1 - argc : 0;

    while (match_option(global_options, cursor, args)) {
    }
    if (cursor == 0) {
        if (devices_listed) {
            return 0;
        }
        print_usage(std::cerr, program, 0, args);
        return 1;
    }

    const auto group = command_groups.find(std::string_view(args[cursor]));
    if (group == command_groups.end()) {
        print_usage(std::cerr, program, cursor, args);
        return 1;
    }
    const std::string& group_name = group->first;
    const option_map& level = *group->second;
    ++cursor;
    if (cursor == 0 && level.help_if_empty) {
        print_option_help(std::cerr, group_name, level, no_word);
        return 0;
    }

    while (match_option(level, cursor, args)) {
    }
    if (cursor != 0) {
        print_option_help(std::cerr, group_name, level, args[cursor]);
    }
    return 0;
}

// Results that could not be written (a full disk, a closed descriptor) are lost; the run
// has failed then, whatever the command did.
bool results_written()
{
    std::cout.flush();
    return !std::cout.fail() && std::fflush(stdout) == 0 && std::ferror(stdout) == 0;
}

int run_commands(int argc, char** argv)
{
    try {
        return walk_command_line(argc, argv + (argc > 0 ? argc : 0));
    } catch (const failure_reported&) {
        return 1;  // the failure was printed where it happened
    } catch (const std::runtime_error& error) {
        std::cerr << "std::runtime_error - " << error.what() << std::endl;
        return 1;
    } catch (...) {
        return 1;
    }
}

}  // namespace

int run_command_line(int argc, char** argv)
{
    devices_listed = false;
    const int status = run_commands(argc, argv);
    if (!results_written()) {
        std::cerr << "Cannot write standard output." << std::endl;
        return 1;
    }
    return status;
}

}  // namespace vistrel
